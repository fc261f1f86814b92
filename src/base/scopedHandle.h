// Owners of kernel handles: an open file, a file search, a loaded library and an open registry
// key, each closed once, by its owner.
#pragma once

#include <windows.h>

#include <utility>

namespace kiv {

template <class Closer>
class scopedHandle {
public:
    explicit scopedHandle(HANDLE handle) : handle_(handle) {}
    ~scopedHandle() { close(); }
    scopedHandle(const scopedHandle&) = delete;
    scopedHandle& operator=(const scopedHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    // Closes the one it holds and takes the next.
    void reset(HANDLE handle) {
        close();
        handle_ = handle;
    }
    // Closes it now; false when the system could not (a write it had not finished, say).
    bool close() {
        if (!valid()) return true;
        return Closer::close(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
    }

private:
    HANDLE handle_;
};

struct fileCloser {
    static BOOL close(HANDLE handle) { return CloseHandle(handle); }
};
struct findCloser {
    static BOOL close(HANDLE handle) { return FindClose(handle); }
};
struct libraryCloser {
    static BOOL close(HANDLE handle) { return FreeLibrary(static_cast<HMODULE>(handle)); }
};

using fileHandle = scopedHandle<fileCloser>;
using findHandle = scopedHandle<findCloser>;
using libraryHandle = scopedHandle<libraryCloser>;

// A key of the registry opened for reading; null when it could not be opened.
class registryKey {
public:
    registryKey(HKEY parent, const char* path) {
        if (RegOpenKeyExA(parent, path, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~registryKey() {
        if (key_) RegCloseKey(key_);
    }
    registryKey(const registryKey&) = delete;
    registryKey& operator=(const registryKey&) = delete;

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace kiv
