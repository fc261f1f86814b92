#include "fileOpenRecorder.h"

#include "importPatch.h"

namespace kivhost {

fileOpenRecorder& fileOpenRecorder::get() {
    static fileOpenRecorder recorder;
    return recorder;
}

void fileOpenRecorder::install(HMODULE module) {
    patchImport(module, "KERNEL32.dll", "CreateFileA", reinterpret_cast<void*>(&createFileA));
    patchImport(module, "KERNEL32.dll", "CreateFileW", reinterpret_cast<void*>(&createFileW));
    patchImport(module, "KERNEL32.dll", "GetFileAttributesA", reinterpret_cast<void*>(&getFileAttributesA));
    void* previous = patchImport(module, "USER32.dll", "LoadImageA", reinterpret_cast<void*>(&loadImageA));
    if (previous) loadImageA_ = reinterpret_cast<loadImageFn>(previous);
}

void fileOpenRecorder::clear() {
    lockHeld held(lock_);
    paths_.clear();
}

std::vector<std::string> fileOpenRecorder::paths() const {
    lockHeld held(lock_);
    return paths_;
}

int fileOpenRecorder::countEndingWith(const std::string& end) const {
    int count = 0;
    for (const std::string& path : paths())
        count += path.size() >= end.size() && lstrcmpiA(path.c_str() + path.size() - end.size(), end.c_str()) == 0;
    return count;
}

void fileOpenRecorder::record(const std::string& path) {
    lockHeld held(lock_);
    paths_.push_back(path);
}

HANDLE WINAPI fileOpenRecorder::createFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                            DWORD disposition, DWORD flags, HANDLE model) {
    get().record(path ? path : "");
    return CreateFileA(path, access, share, security, disposition, flags, model);
}

HANDLE WINAPI fileOpenRecorder::createFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                            DWORD disposition, DWORD flags, HANDLE model) {
    char ansi[4096] = "";
    if (path) WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, sizeof ansi - 1, nullptr, nullptr);
    get().record(ansi);
    return CreateFileW(path, access, share, security, disposition, flags, model);
}

DWORD WINAPI fileOpenRecorder::getFileAttributesA(LPCSTR path) {
    get().record(path ? path : "");
    return GetFileAttributesA(path);
}

HANDLE WINAPI fileOpenRecorder::loadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if ((flags & LR_LOADFROMFILE) && name && !IS_INTRESOURCE(name)) get().record(name);
    return get().loadImageA_(instance, name, type, cx, cy, flags);
}

}  // namespace kivhost
