// A settings or filter file read in one piece and replaced in one step, so that a save that fails
// part-way (a full disk, a file held by another program, a stopped process) leaves either the old
// file exactly as it was or the new one complete.
#pragma once

#include <cstddef>
#include <string>

namespace kiv {

enum class fileState { missing, read, unreadable };

// The whole file into bytes. A file that exists but cannot be read (held by another program,
// denied) or is larger than `largest` is unreadable, which is not the same as missing: its
// contents are still the user's.
fileState readWholeFile(const char* path, std::string& bytes, size_t largest = 0x3FFFFFFF);

// Writes bytes to a temporary file beside path, flushes it and moves it over path. On any failure
// path is left untouched and the temporary file is removed; a read-only file is never replaced.
bool replaceWholeFile(const char* path, const std::string& bytes);

}  // namespace kiv
