#include "notify/accessibleNotification.h"

#include <utility>

#include "notify/oleAccess.h"

namespace kiv {

namespace {

bool self(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

}  // namespace

accessibleNotification* accessibleNotification::create(HWND window, const oleAccess& functions) {
    IAccessible* standard = functions.standardClient(window);
    return standard ? new accessibleNotification(standard, functions) : nullptr;
}

accessibleNotification::accessibleNotification(IAccessible* standard, const oleAccess& functions)
    : standard_(standard), functions_(&functions) {}

accessibleNotification::~accessibleNotification() {
    if (standard_) standard_->Release();
}

void accessibleNotification::setTexts(std::wstring name, std::wstring description) {
    name_ = std::move(name);
    description_ = std::move(description);
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

// An empty text is no text: S_FALSE with a null string, as the interface asks.
HRESULT accessibleNotification::answer(VARIANT child, const std::wstring& text, BSTR* out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!functions_) return RPC_E_DISCONNECTED;
    if (!self(child)) return E_INVALIDARG;
    if (text.empty()) return S_FALSE;
    *out = functions_->text(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
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
    return answer(child, name_, name);
}

HRESULT accessibleNotification::get_accDescription(VARIANT child, BSTR* description) {
    return answer(child, description_, description);
}

HRESULT accessibleNotification::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    if (!functions_) return RPC_E_DISCONNECTED;
    if (!self(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_ALERT;
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

HRESULT accessibleNotification::get_accChildCount(long* count) {
    return standard_ ? standard_->get_accChildCount(count) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accChild(VARIANT child, IDispatch** object) {
    return standard_ ? standard_->get_accChild(child, object) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accValue(VARIANT child, BSTR* value) {
    return standard_ ? standard_->get_accValue(child, value) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accState(VARIANT child, VARIANT* state) {
    return standard_ ? standard_->get_accState(child, state) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accHelp(VARIANT child, BSTR* help) {
    return standard_ ? standard_->get_accHelp(child, help) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    return standard_ ? standard_->get_accHelpTopic(file, child, topic) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return standard_ ? standard_->get_accKeyboardShortcut(child, shortcut) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accFocus(VARIANT* focus) {
    return standard_ ? standard_->get_accFocus(focus) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accSelection(VARIANT* selection) {
    return standard_ ? standard_->get_accSelection(selection) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::get_accDefaultAction(VARIANT child, BSTR* action) {
    return standard_ ? standard_->get_accDefaultAction(child, action) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::accSelect(long flags, VARIANT child) {
    return standard_ ? standard_->accSelect(flags, child) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    return standard_ ? standard_->accLocation(left, top, width, height, child) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::accNavigate(long direction, VARIANT start, VARIANT* end) {
    return standard_ ? standard_->accNavigate(direction, start, end) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::accHitTest(long left, long top, VARIANT* child) {
    return standard_ ? standard_->accHitTest(left, top, child) : RPC_E_DISCONNECTED;
}

HRESULT accessibleNotification::accDoDefaultAction(VARIANT child) {
    return standard_ ? standard_->accDoDefaultAction(child) : RPC_E_DISCONNECTED;
}

}  // namespace kiv
