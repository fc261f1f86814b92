#include "memoryFaults.h"

#include <cstdlib>

#include "importPatch.h"

namespace kivhost {

memoryFaults& memoryFaults::get() {
    static memoryFaults faults;
    return faults;
}

void* __cdecl memoryFaults::allocate(size_t size) {
    return get().refused(size) ? nullptr : malloc(size);
}

void* __cdecl memoryFaults::allocateZeroed(size_t count, size_t size) {
    return get().refused(count * size) ? nullptr : calloc(count, size);
}

void* __cdecl memoryFaults::reallocate(void* block, size_t size) {
    return get().refused(size) ? nullptr : realloc(block, size);
}

// The module shares this program's C runtime (msvcrt.dll), so what passes through is its own.
void installMemoryFaults(HMODULE module) {
    patchImport(module, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&memoryFaults::allocate));
    patchImport(module, "msvcrt.dll", "calloc", reinterpret_cast<void*>(&memoryFaults::allocateZeroed));
    patchImport(module, "msvcrt.dll", "realloc", reinterpret_cast<void*>(&memoryFaults::reallocate));
}

}  // namespace kivhost
