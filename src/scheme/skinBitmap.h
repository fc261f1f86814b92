// A skin bitmap named by a scheme, which may come from a stranger: a path on the network or a
// device is never opened, and the bitmap is read once and made from the very bytes that were
// checked, so a file changed on disk meanwhile cannot reach the platform unchecked.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kiv {

// Fills path with the file a scheme's bitmap value names: "#" stands for hostFolder (the host's
// own folder, ending in a backslash), any other value is the path as written. Returns null, or why
// the value names no file that may be opened (the network, a device, a path past the buffer).
const char* skinBitmapPath(const char* value, const char* hostFolder, char* path, size_t size);

// The bitmap in the file at path, a device-dependent one as the platform's image loader makes,
// or null; fault, when given, gets null or why not.
HBITMAP loadSkinBitmap(const char* path, const char** fault = nullptr);

}  // namespace kiv
