// What a screen reader reads of one notification: the contact line as its name, the text as its
// description, the role of an alert. Where it is, its state, parent and hit-testing come from the
// platform's own object for the window's client area. A client may keep the object after the
// window is gone; from then on every call fails.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>

namespace kiv {

class oleAccess;

class accessibleNotification final : public IAccessible {
public:
    // With one reference, the caller's; null when the platform has no object for the window.
    static accessibleNotification* create(HWND window, const oleAccess& functions);

    void setTexts(std::wstring name, std::wstring description);
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
    accessibleNotification(IAccessible* standard, const oleAccess& functions);
    ~accessibleNotification();
    HRESULT answer(VARIANT child, const std::wstring& text, BSTR* out) const;

    LONG references_ = 1;
    IAccessible* standard_;       // null once detached
    const oleAccess* functions_;  // null once detached: the libraries may go before the client does
    std::wstring name_;
    std::wstring description_;
};

// The window's own reference: detached and released when the window goes.
struct accessibleRelease {
    void operator()(accessibleNotification* object) const;
};
using accessibleOwner = std::unique_ptr<accessibleNotification, accessibleRelease>;

}  // namespace kiv
