#include "base/callerModule.h"

#include "base/unloadWatch.h"

namespace kiv {

callerModule callerModule::of(const void* address) {
    callerModule caller;
    HMODULE module = nullptr;
    if (address && GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                      static_cast<LPCSTR>(address), &module)) {
        caller.module_ = module;
        caller.identity_ = identityOf(module);
        caller.unloads_ = unloads.unloadsAt(module);
    }
    return caller;
}

// A file loaded later at the same base address is a different file: its headers tell.
callerModule::identity callerModule::identityOf(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return {nt->FileHeader.TimeDateStamp, nt->OptionalHeader.SizeOfImage, nt->OptionalHeader.AddressOfEntryPoint};
}

HMODULE callerModule::pin(const void* address) const {
    HMODULE loaded = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCSTR>(address), &loaded)) return nullptr;
    if (loaded == module_ && identityOf(loaded) == identity_ && unloads.unloadsAt(loaded) == unloads_) return loaded;
    FreeLibrary(loaded);
    return nullptr;
}

}  // namespace kiv
