#include "importPatch.h"

namespace kivhost {

void* patchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    if (!module) return nullptr;
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return nullptr;
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; descriptor->Name; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
        if (!descriptor->OriginalFirstThunk) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* targets = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++targets) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD oldProtection;
            VirtualProtect(&targets->u1.Function, sizeof targets->u1.Function, PAGE_READWRITE, &oldProtection);
            auto* previous = reinterpret_cast<void*>(targets->u1.Function);
            targets->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&targets->u1.Function, sizeof targets->u1.Function, oldProtection, &oldProtection);
            return previous;
        }
    }
    return nullptr;
}

}  // namespace kivhost
