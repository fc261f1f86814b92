#include "scheme/schemeFaults.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace kiv {

namespace {

constexpr int32_t largestSide = 32767;
constexpr size_t fileHeaderSize = 14;

uint32_t read32(const std::string& bytes, size_t at) {
    uint32_t value;
    memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

uint16_t read16(const std::string& bytes, size_t at) {
    uint16_t value;
    memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

struct header {
    int64_t width = 0;
    int64_t height = 0;  // negative: rows from the top
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t imageSize = 0;
    uint32_t coloursUsed = 0;
    size_t colourEntry = 4;  // RGBQUAD; RGBTRIPLE in the old core header
    size_t masks = 0;        // bytes of colour masks after a 40-byte header with bit fields
};

const char* readHeader(const std::string& bytes, header& h) {
    const uint32_t size = read32(bytes, fileHeaderSize);
    if (size != 12 && size != 40 && size != 52 && size != 56 && size != 108 && size != 124)
        return "unknown bitmap header size";
    if (fileHeaderSize + size > bytes.size()) return "bitmap header cut short";
    const size_t at = fileHeaderSize;
    if (size == 12) {
        h.width = read16(bytes, at + 4);
        h.height = read16(bytes, at + 6);
        h.planes = read16(bytes, at + 8);
        h.bitCount = read16(bytes, at + 10);
        h.colourEntry = 3;
        return nullptr;
    }
    h.width = static_cast<int32_t>(read32(bytes, at + 4));
    h.height = static_cast<int32_t>(read32(bytes, at + 8));
    h.planes = read16(bytes, at + 12);
    h.bitCount = read16(bytes, at + 14);
    h.compression = read32(bytes, at + 16);
    h.imageSize = read32(bytes, at + 20);
    h.coloursUsed = read32(bytes, at + 32);
    if (size == 40 && h.compression == BI_BITFIELDS) h.masks = 12;
    return nullptr;
}

const char* checkFormat(const header& h) {
    if (h.width <= 0 || h.width > largestSide) return "bitmap width out of range";
    if (h.height == 0 || h.height > largestSide || h.height < -largestSide) return "bitmap height out of range";
    if (h.planes != 1) return "bitmap planes not 1";
    switch (h.compression) {
    case BI_RGB:
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 &&
            h.bitCount != 32)
            return "unknown bits per pixel";
        return nullptr;
    case BI_RLE8:
    case BI_RLE4:
        if (h.bitCount != (h.compression == BI_RLE8 ? 8u : 4u)) return "run-length bits per pixel wrong";
        if (h.height < 0) return "run-length bitmap stored top-down";
        return nullptr;
    case BI_BITFIELDS:
        if (h.bitCount != 16 && h.bitCount != 32) return "bit fields need 16 or 32 bits per pixel";
        return nullptr;
    default:
        return "unknown bitmap compression";
    }
}

bool isSlash(char c) {
    return c == '\\' || c == '/';
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, in any folder and with any extension, name
// devices rather than files; so do CONIN$ and CONOUT$.
bool isDeviceName(const char* path) {
    const char* name = path;
    for (const char* at = path; *at; ++at)
        if (isSlash(*at) || *at == ':') name = at + 1;
    std::string stem(name, strcspn(name, "."));
    stem.erase(stem.find_last_not_of(' ') + 1);
    for (char& c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
           stem[3] <= '9';
}

}  // namespace

// Two slashes of either kind at the start are a server's share (\\server\share, WebDAV's
// \\host@SSL\...) or the platform's device namespaces (\\?\, \\.\); \??\ passes a path to the
// object manager as it stands. Leading blanks are skipped, in case something trims them.
const char* pathFault(const char* path) {
    const char* at = path + strspn(path, " \t");
    const bool twoSlashes = isSlash(at[0]) && isSlash(at[1]);
    const bool objectManager = isSlash(at[0]) && at[1] == '?' && at[2] == '?' && isSlash(at[3]);
    if (twoSlashes || objectManager) return "a path on the network or a device";
    if (isDeviceName(at)) return "a device name (CON, NUL, COM1...), not a file";
    return nullptr;
}

// Every offset is checked against the real size of the bytes; the file header's own size field is
// not trusted, as the platform does not trust it either.
const char* bitmapFault(const std::string& bytes) {
    if (bytes.size() < fileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') return "not a bitmap file";
    header h;
    if (const char* fault = readHeader(bytes, h)) return fault;
    if (const char* fault = checkFormat(h)) return fault;

    const uint64_t palette = h.bitCount <= 8 ? 1ull << h.bitCount : 0;
    if (h.coloursUsed > (palette ? palette : 1u << 16)) return "colour table larger than the bits allow";
    const uint64_t colours = h.coloursUsed ? h.coloursUsed : palette;
    const uint64_t tableEnd = fileHeaderSize + read32(bytes, fileHeaderSize) + h.masks + colours * h.colourEntry;
    const uint64_t pixels = read32(bytes, 10);
    if (tableEnd > bytes.size()) return "colour table past the end of the file";
    if (pixels < tableEnd) return "pixel offset inside the headers";
    if (pixels >= bytes.size()) return "pixel offset past the end of the file";

    const uint64_t rowBytes = (static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
    const uint64_t rows = static_cast<uint64_t>(h.height < 0 ? -h.height : h.height);
    const bool runLength = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    const uint64_t data = runLength ? h.imageSize : rowBytes * rows;
    if (runLength && data == 0) return "run-length bitmap without its data size";
    if (pixels + data > bytes.size()) return "pixel data past the end of the file";
    return nullptr;
}

const char* fontFault(const LOGFONTA& font) {
    const auto within = [](LONG value, LONG lowest, LONG highest) { return value >= lowest && value <= highest; };
    if (!within(font.lfHeight, -200, 200) || !within(font.lfWidth, -200, 200)) return "height or width beyond 200";
    if (!within(font.lfEscapement, 0, 3600) || !within(font.lfOrientation, 0, 3600))
        return "escapement or orientation outside 0 to 3600";
    if (!within(font.lfWeight, 0, 1000)) return "weight outside 0 to 1000";
    if (font.lfItalic > 1 || font.lfUnderline > 1 || font.lfStrikeOut > 1)
        return "italic, underline or strike-out not 0 or 1";
    if (!memchr(font.lfFaceName, '\0', sizeof font.lfFaceName)) return "face name without its terminator";
    return nullptr;
}

}  // namespace kiv
