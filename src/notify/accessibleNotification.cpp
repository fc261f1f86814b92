#include "notify/accessibleNotification.h"

#include <string>
#include <utility>

#include "notify/oleAccess.h"

namespace kiv {

namespace {

VARIANT childId(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

VARIANT nothing() {
    VARIANT none;
    VariantInit(&none);
    return none;
}

}  // namespace

accessibleNotification* accessibleNotification::create(HWND window, const oleAccess& functions) {
    IAccessible* standard = functions.standardClient(window);
    return standard ? new accessibleNotification(window, standard, functions) : nullptr;
}

accessibleNotification::accessibleNotification(HWND window, IAccessible* standard, const oleAccess& functions)
    : window_(window), standard_(standard), functions_(&functions) {}

accessibleNotification::~accessibleNotification() {
    if (standard_) standard_->Release();
}

void accessibleNotification::setContent(accessibleContent content) {
    content_ = std::move(content);
}

void accessibleNotification::detach() {
    if (!functions_) return;
    functions_->disconnect(this);
    functions_ = nullptr;
    if (standard_) std::exchange(standard_, nullptr)->Release();
}

void accessibleRelease::operator()(accessibleNotification* object) const {
    object->detach();
    object->Release();
}

// What a child id names; none for anything that is not one of ours.
accessibleNotification::part accessibleNotification::partOf(const VARIANT& child) const {
    if (child.vt != VT_I4) return none;
    if (child.lVal == CHILDID_SELF) return self;
    const auto buttons = static_cast<LONG>(content_.buttons.size());
    if (child.lVal > 0 && child.lVal <= buttons) return button;
    if (child.lVal == buttons + 1 && content_.progress >= 0) return bar;
    return none;
}

// The buttons, then the bar when there is one.
LONG accessibleNotification::children() const {
    return static_cast<LONG>(content_.buttons.size()) + (content_.progress < 0 ? 0 : 1);
}

// An empty text is no text: S_FALSE with a null string, as the interface asks.
HRESULT accessibleNotification::answer(const std::wstring& text, BSTR* out) const {
    if (text.empty()) return S_FALSE;
    *out = functions_->text(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A text of the notification, of a button, or none for the bar.
HRESULT accessibleNotification::text(VARIANT child, const std::wstring& ofSelf, const std::wstring& ofButton,
                                     BSTR* out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!functions_) return RPC_E_DISCONNECTED;
    switch (partOf(child)) {
    case self:
        return answer(ofSelf, out);
    case button:
        return answer(ofButton, out);
    case bar:
        return S_FALSE;
    default:
        return E_INVALIDARG;
    }
}

// In screen coordinates, as a reader places its cursor: the window may have moved since.
RECT accessibleNotification::placeOf(const VARIANT& child) const {
    RECT place = partOf(child) == bar ? content_.progressPlace : content_.buttons[child.lVal - 1].place;
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// ---- IUnknown and IDispatch ------------------------------------------------------------------

HRESULT accessibleNotification::QueryInterface(REFIID id, void** object) {
    if (!object) return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG accessibleNotification::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG accessibleNotification::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT accessibleNotification::GetTypeInfoCount(UINT*) {
    return E_NOTIMPL;
}

HRESULT accessibleNotification::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT accessibleNotification::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT accessibleNotification::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

// ---- what kiv answers itself -----------------------------------------------------------------

HRESULT accessibleNotification::get_accName(VARIANT child, BSTR* name) {
    const std::wstring& caption = partOf(child) == button ? content_.buttons[child.lVal - 1].caption : L"";
    return text(child, content_.name, caption, name);
}

HRESULT accessibleNotification::get_accDescription(VARIANT child, BSTR* description) {
    return text(child, content_.description, L"", description);
}

HRESULT accessibleNotification::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    if (!functions_) return RPC_E_DISCONNECTED;
    static constexpr LONG roles[] = {0, ROLE_SYSTEM_ALERT, ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_PROGRESSBAR};
    const part named = partOf(child);
    if (named == none) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = roles[named];
    return S_OK;
}

HRESULT accessibleNotification::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    if (!functions_) return RPC_E_DISCONNECTED;
    *count = children();
    return S_OK;
}

// Simple elements have no object of their own: the reader asks this one about them by their id.
HRESULT accessibleNotification::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!functions_) return RPC_E_DISCONNECTED;
    const part named = partOf(child);
    return named == button || named == bar ? S_FALSE : E_INVALIDARG;
}

HRESULT accessibleNotification::get_accValue(VARIANT child, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (!functions_) return RPC_E_DISCONNECTED;
    switch (partOf(child)) {
    case self:
        return standard_->get_accValue(child, value);
    case bar:
        return answer(std::to_wstring(content_.progress) + L"%", value);
    case button:
        return S_FALSE;
    default:
        return E_INVALIDARG;
    }
}

HRESULT accessibleNotification::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    if (!functions_) return RPC_E_DISCONNECTED;
    const part named = partOf(child);
    if (named == self) return standard_->get_accState(child, state);
    if (named == none) return E_INVALIDARG;
    state->vt = VT_I4;
    state->lVal = named == bar ? STATE_SYSTEM_READONLY : 0;  // 0: a button in its normal state
    return S_OK;
}

HRESULT accessibleNotification::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action) return E_POINTER;
    *action = nullptr;
    if (!functions_) return RPC_E_DISCONNECTED;
    if (partOf(child) == self) return standard_->get_accDefaultAction(child, action);
    return text(child, L"", L"Naciśnij", action);
}

// The press waits for the window's own turn: the caller's callback may take its time or open a
// dialog, and the reader's call returns at once. A window gone by then takes no message.
HRESULT accessibleNotification::accDoDefaultAction(VARIANT child) {
    if (!functions_) return RPC_E_DISCONNECTED;
    switch (partOf(child)) {
    case self:
        return standard_->accDoDefaultAction(child);
    case button:
        return PostMessageW(window_, pressMessage, static_cast<WPARAM>(child.lVal - 1), 0) ? S_OK : E_FAIL;
    case bar:
        return DISP_E_MEMBERNOTFOUND;
    default:
        return E_INVALIDARG;
    }
}

HRESULT accessibleNotification::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    if (!functions_) return RPC_E_DISCONNECTED;
    const part named = partOf(child);
    if (named == self) return standard_->accLocation(left, top, width, height, child);
    if (named == none) return E_INVALIDARG;
    const RECT place = placeOf(child);
    *left = place.left;
    *top = place.top;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

// Among the children, in their order; from the notification, to its first or last child.
HRESULT accessibleNotification::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    *end = nothing();
    if (!functions_) return RPC_E_DISCONNECTED;
    const LONG count = children();
    const part from = partOf(start);
    LONG to = 0;
    if (from == self && direction == NAVDIR_FIRSTCHILD) to = count > 0 ? 1 : 0;
    else if (from == self && direction == NAVDIR_LASTCHILD) to = count;
    else if (from == self) return standard_->accNavigate(direction, start, end);
    else if (from == none) return E_INVALIDARG;
    else if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) to = start.lVal < count ? start.lVal + 1 : 0;
    else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) to = start.lVal - 1;
    if (to <= 0) return S_FALSE;
    *end = childId(to);
    return S_OK;
}

// The platform finds the notification; a point on a child is that child's.
HRESULT accessibleNotification::accHitTest(long left, long top, VARIANT* child) {
    if (!child) return E_POINTER;
    if (!standard_) return RPC_E_DISCONNECTED;
    const HRESULT found = standard_->accHitTest(left, top, child);
    if (found != S_OK || child->vt != VT_I4 || child->lVal != CHILDID_SELF) return found;
    const POINT at = {left, top};
    for (LONG id = 1; id <= children(); ++id) {
        const RECT place = placeOf(childId(id));
        if (PtInRect(&place, at)) {
            *child = childId(id);
            break;
        }
    }
    return S_OK;
}

HRESULT accessibleNotification::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT accessibleNotification::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

// ---- what the platform's object answers ------------------------------------------------------

HRESULT accessibleNotification::get_accParent(IDispatch** parent) {
    return standard_ ? standard_->get_accParent(parent) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accHelp(VARIANT child, BSTR* help) {
    if (!standard_) return RPC_E_DISCONNECTED;
    return partOf(child) == self ? standard_->get_accHelp(child, help) : text(child, L"", L"", help);
}

HRESULT accessibleNotification::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    return standard_ ? standard_->get_accHelpTopic(file, child, topic) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!standard_) return RPC_E_DISCONNECTED;
    return partOf(child) == self ? standard_->get_accKeyboardShortcut(child, shortcut)
                                 : text(child, L"", L"", shortcut);
}

HRESULT accessibleNotification::get_accFocus(VARIANT* focus) {
    return standard_ ? standard_->get_accFocus(focus) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accSelection(VARIANT* selection) {
    return standard_ ? standard_->get_accSelection(selection) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::accSelect(long flags, VARIANT child) {
    return standard_ ? standard_->accSelect(flags, child) : RPC_E_DISCONNECTED;
}

}  // namespace kiv
