// Damaged skin bitmaps and font records, generated and from the field: every sound bitmap still
// loads, with the pixels the platform's image loader gives, every damaged one is stopped before
// the platform sees it, and font records are kept only within what a notification can draw.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pictures.h"
#include "scheme/schemeFaults.h"
#include "scheme/skinBitmap.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

void put32(std::string& bytes, size_t at, uint32_t value) {
    memcpy(&bytes[at], &value, sizeof value);
}

void put16(std::string& bytes, size_t at, uint16_t value) {
    memcpy(&bytes[at], &value, sizeof value);
}

struct bitmapShape {
    uint16_t bitCount;
    uint32_t compression;
    int32_t width = 7;
    int32_t height = 5;
};

// A sound bitmap file of the shape: file header, 40-byte header, masks, colour table, pixels.
std::string bitmapFile(const bitmapShape& shape) {
    const uint32_t colours = shape.bitCount <= 8 ? 1u << shape.bitCount : 0;
    const uint32_t masks = shape.compression == BI_BITFIELDS ? 12 : 0;
    const uint32_t offset = 14 + 40 + masks + colours * 4;
    const uint32_t rowBytes = (static_cast<uint32_t>(shape.width) * shape.bitCount + 31) / 32 * 4;
    const uint32_t rows = static_cast<uint32_t>(shape.height < 0 ? -shape.height : shape.height);
    const bool runLength = shape.compression == BI_RLE8 || shape.compression == BI_RLE4;
    const uint32_t data = runLength ? 2 : rowBytes * rows;
    std::string bytes(offset + data, '\x5a');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    put32(bytes, 6, 0);
    put32(bytes, 10, offset);
    put32(bytes, 14, 40);
    put32(bytes, 18, static_cast<uint32_t>(shape.width));
    put32(bytes, 22, static_cast<uint32_t>(shape.height));
    put16(bytes, 26, 1);
    put16(bytes, 28, shape.bitCount);
    put32(bytes, 30, shape.compression);
    put32(bytes, 34, data);
    for (size_t at = 38; at < 54; ++at) bytes[at] = 0;
    if (masks) {
        const uint32_t fields[3] = {shape.bitCount == 16 ? 0xF800u : 0xFF0000u, shape.bitCount == 16 ? 0x07E0u : 0xFF00u,
                                    shape.bitCount == 16 ? 0x001Fu : 0xFFu};
        for (int i = 0; i < 3; ++i) put32(bytes, 54 + 4 * i, fields[i]);
    }
    if (runLength) {
        bytes[offset] = 0;  // end of the bitmap
        bytes[offset + 1] = 1;
    }
    return bytes;
}

const bitmapShape soundShapes[] = {
    {1, BI_RGB},          {4, BI_RGB},          {8, BI_RGB},         {16, BI_RGB},        {24, BI_RGB},
    {32, BI_RGB},         {8, BI_RLE8},         {4, BI_RLE4},        {16, BI_BITFIELDS},  {32, BI_BITFIELDS},
    {24, BI_RGB, 7, -5},  {32, BI_RGB, 1, 1},   {1, BI_RGB, 33, 2},
};

std::string describe(const bitmapShape& shape) {
    return std::to_string(shape.bitCount) + " bits, compression " + std::to_string(shape.compression) + ", " +
           std::to_string(shape.width) + " x " + std::to_string(shape.height);
}

// The picture stored bottom-up: the generated shapes have every row alike, so it is the same
// picture, and the platform's image loader under Wine draws a top-down one black.
std::string bottomUp(std::string bytes) {
    int32_t height;
    memcpy(&height, &bytes[22], sizeof height);
    put32(bytes, 22, static_cast<uint32_t>(height < 0 ? -height : height));
    return bytes;
}

// The fault for these bytes. Without one, the bitmap made of a file of them must show the pixels
// the platform's own image loader gives.
const char* faultOf(const std::string& folder, const std::string& bytes, bool& loads) {
    const char* fault = kiv::bitmapFault(bytes);
    loads = false;
    if (!fault) {
        const std::string file = folder + "skin.bmp", reference = folder + "reference.bmp";
        writeFile(file, bytes);
        writeFile(reference, bottomUp(bytes));
        HBITMAP made = kiv::loadSkinBitmap(file.c_str());
        HANDLE loaded = LoadImageA(nullptr, reference.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        loads = made && loaded &&
                samePicture(kivhost::captureBitmap(made), kivhost::captureBitmap(static_cast<HBITMAP>(loaded)));
        if (made) DeleteObject(made);
        if (loaded) DeleteObject(loaded);
    }
    return fault;
}

LOGFONTA soundFont() {
    LOGFONTA font = {};
    font.lfHeight = -11;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = EASTEUROPE_CHARSET;
    strcpy(font.lfFaceName, "Tahoma");
    return font;
}

}  // namespace

TEST_CASE("every bit depth and compression the loader knows passes the check and loads") {
    std::string folder = scratchFolder("bitmaps-sound");
    for (const bitmapShape& shape : soundShapes) {
        CAPTURE(describe(shape));
        bool loads = false;
        const char* fault = faultOf(folder, bitmapFile(shape), loads);
        CHECK(fault == nullptr);
        CHECK(loads);
    }
}

TEST_CASE("a bitmap cut short anywhere, or pointing past its file, never reaches the loader") {
    std::string folder = scratchFolder("bitmaps-damaged");
    bool loads = false;
    for (const bitmapShape& shape : soundShapes) {
        const std::string whole = bitmapFile(shape);
        for (size_t length = 0; length < whole.size(); ++length) {
            CAPTURE(describe(shape));
            CAPTURE(length);
            CHECK(faultOf(folder, whole.substr(0, length), loads) != nullptr);
        }
        for (uint32_t offset : {0u, 20u, static_cast<uint32_t>(whole.size()), 0xFFFFFFF0u}) {
            std::string moved = whole;
            put32(moved, 10, offset);
            CAPTURE(offset);
            CHECK(faultOf(folder, moved, loads) != nullptr);
        }
    }
}

TEST_CASE("headers that contradict themselves are refused") {
    std::string folder = scratchFolder("bitmaps-headers");
    bool loads = false;
    struct change {
        const char* what;
        size_t at;
        uint32_t value;
        bool wide;
    };
    const change changes[] = {
        {"header size", 14, 41, true},      {"header size past the file", 14, 124, true},
        {"width 0", 18, 0, true},           {"width negative", 18, 0xFFFFFFF0u, true},
        {"width huge", 18, 100000, true},   {"height 0", 22, 0, true},
        {"height huge", 22, 0x80000000u, true}, {"planes 2", 26, 2, false},
        {"bits 7", 28, 7, false},           {"bits 0", 28, 0, false},
        {"JPEG inside", 30, BI_JPEG, true}, {"PNG inside", 30, BI_PNG, true},
        {"compression 99", 30, 99, true},   {"run-length at 24 bits", 30, BI_RLE8, true},
        {"colour table of 4 billion", 46, 0xFFFFFFFFu, true}, {"not BM", 0, 0x4142, false},
    };
    for (const change& c : changes) {
        std::string bytes = bitmapFile({24, BI_RGB});
        if (c.wide) put32(bytes, c.at, c.value);
        else put16(bytes, c.at, static_cast<uint16_t>(c.value));
        CAPTURE(c.what);
        CHECK(faultOf(folder, bytes, loads) != nullptr);
    }
    std::string missingData = bitmapFile({8, BI_RLE8});
    put32(missingData, 34, 0);
    CHECK(faultOf(folder, missingData, loads) != nullptr);
}

TEST_CASE("the damaged bitmaps found in the field are refused") {
    const std::string fixtures = kivhost::programFolder() + "fixtures\\damaged-skins\\";
    for (const char* name : {"offset-past-end.bmp", "cut-short-32bpp.bmp"}) {
        CAPTURE(name);
        REQUIRE(fileExists(fixtures + name));
        CHECK(kiv::bitmapFault(readFile(fixtures + name)) != nullptr);
        CHECK(kiv::loadSkinBitmap((fixtures + name).c_str()) == nullptr);
    }
    const char* fault = nullptr;
    CHECK(kiv::loadSkinBitmap((fixtures + "no such.bmp").c_str(), &fault) == nullptr);
    CHECK(fault != nullptr);
}

TEST_CASE("font records are kept only within what a notification can draw") {
    CHECK(kiv::fontFault(soundFont()) == nullptr);
    LOGFONTA edge = soundFont();
    edge.lfHeight = -200;
    edge.lfWidth = 200;
    edge.lfEscapement = 3600;
    edge.lfOrientation = 0;
    edge.lfWeight = 1000;
    edge.lfItalic = edge.lfUnderline = edge.lfStrikeOut = 1;
    CHECK(kiv::fontFault(edge) == nullptr);

    struct change {
        const char* what;
        void (*apply)(LOGFONTA&);
    };
    const change changes[] = {
        {"height 201", [](LOGFONTA& f) { f.lfHeight = 201; }},
        {"height -32767", [](LOGFONTA& f) { f.lfHeight = -32767; }},
        {"width INT_MIN", [](LOGFONTA& f) { f.lfWidth = INT32_MIN; }},
        {"weight 0x6F3C77C6", [](LOGFONTA& f) { f.lfWeight = 0x6F3C77C6; }},
        {"weight -1", [](LOGFONTA& f) { f.lfWeight = -1; }},
        {"escapement 3601", [](LOGFONTA& f) { f.lfEscapement = 3601; }},
        {"escapement huge", [](LOGFONTA& f) { f.lfEscapement = 0x7FFFFFFF; }},
        {"orientation -1", [](LOGFONTA& f) { f.lfOrientation = -1; }},
        {"italic 2", [](LOGFONTA& f) { f.lfItalic = 2; }},
        {"underline 255", [](LOGFONTA& f) { f.lfUnderline = 255; }},
        {"strike-out 7", [](LOGFONTA& f) { f.lfStrikeOut = 7; }},
        {"face name unterminated", [](LOGFONTA& f) { memset(f.lfFaceName, 'A', sizeof f.lfFaceName); }},
    };
    for (const change& c : changes) {
        LOGFONTA font = soundFont();
        c.apply(font);
        CAPTURE(c.what);
        CHECK(kiv::fontFault(font) != nullptr);
    }
}
