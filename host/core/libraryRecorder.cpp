#include "libraryRecorder.h"

#include "importPatch.h"

namespace kivhost {

libraryRecorder& libraryRecorder::get() {
    static libraryRecorder recorder;
    return recorder;
}

void libraryRecorder::install(HMODULE module) {
    patchImport(module, "KERNEL32.dll", "LoadLibraryA", reinterpret_cast<void*>(&loadLibraryA));
    patchImport(module, "KERNEL32.dll", "LoadLibraryW", reinterpret_cast<void*>(&loadLibraryW));
    patchImport(module, "KERNEL32.dll", "LoadLibraryExA", reinterpret_cast<void*>(&loadLibraryExA));
    patchImport(module, "KERNEL32.dll", "LoadLibraryExW", reinterpret_cast<void*>(&loadLibraryExW));
}

void libraryRecorder::note(LPCSTR name) {
    asked_.push_back(name ? name : "(null)");
}

void libraryRecorder::note(LPCWSTR name) {
    char ansi[MAX_PATH * 2] = "(null)";
    if (name) WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, nullptr, nullptr);
    ansi[sizeof ansi - 1] = '\0';
    asked_.push_back(ansi);
}

HMODULE WINAPI libraryRecorder::loadLibraryA(LPCSTR name) {
    get().note(name);
    return LoadLibraryA(name);
}

HMODULE WINAPI libraryRecorder::loadLibraryW(LPCWSTR name) {
    get().note(name);
    return LoadLibraryW(name);
}

HMODULE WINAPI libraryRecorder::loadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
    get().note(name);
    return LoadLibraryExA(name, file, flags);
}

HMODULE WINAPI libraryRecorder::loadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
    get().note(name);
    return LoadLibraryExW(name, file, flags);
}

}  // namespace kivhost
