// The paths the module hands the system to open or look up, seen at its import table: CreateFileA
// and W, GetFileAttributesA, and LoadImageA from a file (which opens it inside the system). Tests
// see through it that a path named by a stranger was never touched, and how often a file is read.
// Installed by pluginLoader on every plug-in it loads.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "criticalSection.h"

namespace kivhost {

class fileOpenRecorder {
public:
    static fileOpenRecorder& get();
    void install(HMODULE module);
    void clear();
    // Every path since the last clear, in order; wide ones in the ANSI code page.
    std::vector<std::string> paths() const;
    // How many of them end with the text, letters compared in any case.
    int countEndingWith(const std::string& end) const;

private:
    void record(const std::string& path);
    static HANDLE WINAPI createFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                     DWORD disposition, DWORD flags, HANDLE model);
    static HANDLE WINAPI createFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                     DWORD disposition, DWORD flags, HANDLE model);
    static DWORD WINAPI getFileAttributesA(LPCSTR path);
    static HANDLE WINAPI loadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);

    mutable criticalSection lock_;
    std::vector<std::string> paths_;
    // What the import pointed at before: another recorder's wrapper, or the system.
    using loadImageFn = HANDLE(WINAPI*)(HINSTANCE, LPCSTR, UINT, int, int, UINT);
    loadImageFn loadImageA_ = &LoadImageA;
};

}  // namespace kivhost
