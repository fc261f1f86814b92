// What a screen reader reads of one notification: the contact line as its name, the text as its
// description, the role of an alert; its children, simple elements numbered from 1, are the
// caller's buttons (pressed as their default action) and then its progress bar, whose value is the
// percentage. Where the notification is, its state, parent and hit-testing come from the
// platform's own object for the window's client area. The object holds a copy of what it tells,
// never the window's object: a client may keep it after the window is gone, and from then on
// every call fails.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kiv {

class oleAccess;

// What the object tells of the notification, copied from the window whenever it changes. Places
// are in the window's client coordinates.
struct accessibleContent {
    struct button {
        std::wstring caption;
        RECT place;
    };
    std::wstring name;
    std::wstring description;
    std::vector<button> buttons;
    int32_t progress = -1;  // -1: no bar
    RECT progressPlace = {0, 0, 0, 0};
};

class accessibleNotification final : public IAccessible {
public:
    // With one reference, the caller's; null when the platform has no object for the window.
    static accessibleNotification* create(HWND window, const oleAccess& functions);

    // The default action of button k (from 0) posts this to the window with k as wParam.
    static constexpr UINT pressMessage = WM_APP + 1;

    void setContent(accessibleContent content);
    // The window is going: references marshalled to clients are cut, the platform's object released.
    void detach();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    accessibleNotification(HWND window, IAccessible* standard, const oleAccess& functions);
    ~accessibleNotification();
    enum part { none, self, button, bar };
    part partOf(const VARIANT& child) const;
    LONG children() const;
    HRESULT answer(const std::wstring& text, BSTR* out) const;
    HRESULT text(VARIANT child, const std::wstring& ofSelf, const std::wstring& ofButton, BSTR* out) const;
    RECT placeOf(const VARIANT& child) const;

    LONG references_ = 1;
    HWND window_;                 // only for coordinates and posting; may name a window that is gone
    IAccessible* standard_;       // null once detached
    const oleAccess* functions_;  // null once detached: the libraries may go before the client does
    accessibleContent content_;
};

// The window's own reference: detached and released when the window goes.
struct accessibleRelease {
    void operator()(accessibleNotification* object) const;
};
using accessibleOwner = std::unique_ptr<accessibleNotification, accessibleRelease>;

}  // namespace kiv
