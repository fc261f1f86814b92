// The platform's accessibility functions a notification answers screen readers with, and the COM
// ones its answers need, looked up when the first screen reader asks: a user without one never
// loads oleacc.dll, and the module imports none of these functions.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include "base/scopedHandle.h"

namespace kiv {

class oleAccess {
public:
    // Loads the libraries; ready() says whether every function was found.
    oleAccess();
    oleAccess(const oleAccess&) = delete;
    oleAccess& operator=(const oleAccess&) = delete;

    bool ready() const;
    // The platform's own object for the client area of window, null when it has none.
    IAccessible* standardClient(HWND window) const;
    // The answer to WM_GETOBJECT: the object marshalled for the asking client.
    LRESULT resultFor(IAccessible* object, WPARAM flags) const;
    // Ends every reference marshalled to a client: its later calls fail instead of reaching object.
    void disconnect(IUnknown* object) const;
    // A copy the client frees; null when memory is short.
    BSTR text(const wchar_t* value) const;

private:
    using createStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using lresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using coDisconnectObjectFn = HRESULT(WINAPI*)(LPUNKNOWN, DWORD);
    using sysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

    libraryHandle oleacc_;
    libraryHandle ole32_;
    libraryHandle oleaut32_;
    createStdAccessibleObjectFn createStdAccessibleObject_ = nullptr;
    lresultFromObjectFn lresultFromObject_ = nullptr;
    coDisconnectObjectFn coDisconnectObject_ = nullptr;
    sysAllocStringFn sysAllocString_ = nullptr;
};

}  // namespace kiv
