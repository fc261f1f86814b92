#include "scheme/skinBitmap.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/scopedGdi.h"
#include "base/text.h"
#include "base/wholeFile.h"
#include "scheme/schemeFaults.h"

namespace kiv {

namespace {

constexpr size_t largestBitmapFile = 64u << 20;
constexpr size_t fileHeaderSize = 14;

// The headers and colour table go to aligned memory; the pixels are read where the file header
// puts them, which bitmapFault has checked lies within the bytes.
HBITMAP fromCheckedBytes(const std::string& bytes) {
    uint32_t pixelsAt;
    memcpy(&pixelsAt, bytes.data() + 10, sizeof pixelsAt);
    std::vector<uint32_t> format((pixelsAt - fileHeaderSize + 3) / 4);
    memcpy(format.data(), bytes.data() + fileHeaderSize, pixelsAt - fileHeaderSize);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(format.data());
    windowDC screen(nullptr);
    if (!screen) return nullptr;
    return CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, bytes.data() + pixelsAt, info, DIB_RGB_COLORS);
}

}  // namespace

// What follows a "#" is checked as the scheme wrote it: the host's folder before it is the
// user's own, and ends in a backslash, so the two joined stay under it.
const char* skinBitmapPath(const char* value, const char* hostFolder, char* path, size_t size) {
    const bool underHost = value[0] == '#';
    const char* written = underHost ? value + 1 : value;
    if (const char* fault = pathFault(written)) return fault;
    copyText(path, size, underHost ? hostFolder : "");
    if (!appendText(path, size, written)) return "a path longer than the plug-in holds";
    return nullptr;
}

HBITMAP loadSkinBitmap(const char* path, const char** fault) {
    std::string bytes;
    const char* why = readWholeFile(path, bytes, largestBitmapFile) == fileState::read ? bitmapFault(bytes)
                                                                                       : "cannot read the bitmap file";
    HBITMAP bitmap = why ? nullptr : fromCheckedBytes(bytes);
    if (!why && !bitmap) why = "the system cannot make a bitmap of it";
    if (fault) *fault = why;
    return bitmap;
}

}  // namespace kiv
