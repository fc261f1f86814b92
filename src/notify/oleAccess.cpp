#include "notify/oleAccess.h"

#include "base/systemLibrary.h"

namespace kiv {

namespace {

template <class Function>
Function find(const libraryHandle& library, const char* name) {
    if (!library.valid()) return nullptr;
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library.get()), name)));
}

}  // namespace

oleAccess::oleAccess()
    : oleacc_(loadSystemLibrary("oleacc.dll")),
      ole32_(loadSystemLibrary("ole32.dll")),
      oleaut32_(loadSystemLibrary("oleaut32.dll")) {
    createStdAccessibleObject_ = find<createStdAccessibleObjectFn>(oleacc_, "CreateStdAccessibleObject");
    lresultFromObject_ = find<lresultFromObjectFn>(oleacc_, "LresultFromObject");
    coDisconnectObject_ = find<coDisconnectObjectFn>(ole32_, "CoDisconnectObject");
    sysAllocString_ = find<sysAllocStringFn>(oleaut32_, "SysAllocString");
    // Objects of oleacc's own that a reader got through ours (the window's object, as the parent)
    // may outlive the module: once loaded, oleacc stays for the process's life.
    HMODULE pinned = nullptr;
    if (oleacc_.valid())
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           static_cast<LPCSTR>(oleacc_.get()), &pinned);
}

bool oleAccess::ready() const {
    return createStdAccessibleObject_ && lresultFromObject_ && coDisconnectObject_ && sysAllocString_;
}

IAccessible* oleAccess::standardClient(HWND window) const {
    void* object = nullptr;
    if (FAILED(createStdAccessibleObject_(window, OBJID_CLIENT, __uuidof(IAccessible), &object))) return nullptr;
    return static_cast<IAccessible*>(object);
}

LRESULT oleAccess::resultFor(IAccessible* object, WPARAM flags) const {
    return lresultFromObject_(__uuidof(IAccessible), flags, object);
}

void oleAccess::disconnect(IUnknown* object) const {
    coDisconnectObject_(object, 0);
}

BSTR oleAccess::text(const wchar_t* value) const {
    return sysAllocString_(value);
}

}  // namespace kiv
