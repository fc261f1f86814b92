#include "base/wholeFile.h"

#include <windows.h>

#include "base/scopedHandle.h"

namespace kiv {

fileState readWholeFile(const char* path, std::string& bytes, size_t largest) {
    bytes.clear();
    fileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? fileState::missing
                                                                               : fileState::unreadable;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file.get(), &high);
    bool whole = size != INVALID_FILE_SIZE && high == 0 && size <= largest;
    DWORD read = 0;
    if (whole) {
        bytes.resize(size);
        whole = size == 0 || (ReadFile(file.get(), &bytes[0], size, &read, nullptr) && read == size);
    }
    if (!whole) bytes.clear();
    return whole ? fileState::read : fileState::unreadable;
}

namespace {

bool writeAndFlush(const char* path, const std::string& bytes) {
    fileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    DWORD written = 0;
    bool complete = bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                                nullptr) &&
                                      written == bytes.size());
    complete = complete && FlushFileBuffers(file.get());
    return file.close() && complete;
}

}  // namespace

bool replaceWholeFile(const char* path, const std::string& bytes) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::string temporary = std::string(path) + ".tmp";
    if (writeAndFlush(temporary.c_str(), bytes) &&
        MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

}  // namespace kiv
