// The libraries the plug-in loads at run time, seen through its import table: LoadLibraryA/W and
// LoadLibraryExA/W record the name or path as given and pass the call on. Installed by pluginLoader.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivhost {

class libraryRecorder {
public:
    static libraryRecorder& get();
    void install(HMODULE module);

    // The names and paths asked for since the last clear, in order, wide ones as ANSI.
    const std::vector<std::string>& asked() const { return asked_; }
    void clear() { asked_.clear(); }

    static HMODULE WINAPI loadLibraryA(LPCSTR name);
    static HMODULE WINAPI loadLibraryW(LPCWSTR name);
    static HMODULE WINAPI loadLibraryExA(LPCSTR name, HANDLE file, DWORD flags);
    static HMODULE WINAPI loadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags);

private:
    libraryRecorder() = default;
    void note(LPCSTR name);
    void note(LPCWSTR name);

    std::vector<std::string> asked_;
};

}  // namespace kivhost
