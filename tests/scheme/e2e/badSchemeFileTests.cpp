// Schemes the user (or a crash, or another program) damaged: random bytes, hostile values, windows
// of no size, cut lines outside the bitmap, damaged bitmaps and absurd font records. The plug-in
// must start, keep working and draw without what it cannot use.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "badInput.h"
#include "schemeValues.h"

using namespace kivtest;

namespace {

std::string fontValue(const LOGFONTA& font) {
    return kivhost::structText(&font, sizeof font);
}

// Any 60 bytes with a right checksum: sizes from nothing to enormous, no terminated face name.
std::string randomFont(garbage& g) {
    LOGFONTA font;
    auto* bytes = reinterpret_cast<unsigned char*>(&font);
    for (size_t i = 0; i < sizeof font; ++i) bytes[i] = static_cast<unsigned char>(g.below(256));
    const LONG heights[] = {0, 12, -12, 100000, -100000, INT32_MAX, INT32_MIN, 3000};
    font.lfHeight = heights[g.below(8)];
    font.lfWidth = heights[g.below(8)];
    std::string value = fontValue(font);
    switch (g.below(4)) {
    case 0: return value.substr(0, static_cast<size_t>(g.below(static_cast<int>(value.size()))));  // cut short
    case 1: return value + "00";  // too long
    default: return value;
    }
}

std::string schemeKeys(garbage& g) {
    static const char* const numberKeys[] = {"window_autoheight", "window_bgcolor", "window_framecolor",
                                             "bitmap_colorkey",   "id_color",       "desc_color"};
    static const char* const listKeys[] = {"window_size", "window_sizesmall", "bitmap_cut", "bitmap_cutsmall",
                                           "icon_pos",    "id_rect",          "desc_rect"};
    std::string text;
    for (const char* key : listKeys) text += std::string(key) + "=" + g.value() + "\r\n";
    for (const char* key : numberKeys) text += std::string(key) + "=" + g.number() + "\r\n";
    static const char* const bitmaps[] = {"#plugins\\kiv.scheme\\standard.bmp", "#plugins\\kiv.scheme\\rounded_small.bmp",
                                          "C:\\nie\\ma\\takiego.bmp", ""};
    text += std::string("bitmap_source=") + (g.below(3) ? bitmaps[g.below(4)] : g.value().c_str()) + "\r\n";
    text += std::string("bitmap_sourcesmall=") + bitmaps[g.below(4)] + "\r\n";
    text += "id_font=" + randomFont(g) + "\r\n";
    text += "desc_font=" + randomFont(g) + "\r\n";
    return text;
}

// Both sizes of window, painted, then the plug-in unloads; nothing it drew leaks.
void survivesScheme(const std::string& name, const std::string& body) {
    CAPTURE(name);
    testScheme scheme("kivtest-bad.kivs", body);
    const objectCounts before = liveObjects();
    {
        notifySession session(name, settingsWith(scheme.name, lines({"visibletime=30"})));
        REQUIRE(session.plugin->running());
        CHECK(stillShowsNotifications(session, "opis, który zawija się w kilka wierszy, bo jest długi i ma słowa"));
        CHECK(letAllGo(30000));  // a window as tall as the screen leaves no room for the next
        CHECK(stillShowsNotifications(session, ""));
        CHECK(heapsIntact());
    }
    CHECK(liveObjects() == before);
}

// The shipped bitmap with its bytes changed or cut, for a scheme to name.
std::string damagedBitmap(const std::string& name, size_t length, size_t at = 0, uint32_t value = 0) {
    std::string bytes = readFile(schemeFolder() + "standard.bmp").substr(0, length);
    if (at + 4 <= bytes.size()) memcpy(&bytes[at], &value, sizeof value);
    std::string path = scratchFolder("damaged-" + name) + name + ".bmp";
    writeFile(path, bytes);
    return path;
}

LOGFONTA tahoma(LONG height) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfCharSet = EASTEUROPE_CHARSET;
    strcpy(font.lfFaceName, "Tahoma");
    return font;
}

}  // namespace

TEST_SUITE("bad input") {

TEST_CASE("scheme files of random bytes and hostile values") {
    SUBCASE("random bytes") {
        for (unsigned seed = 41; seed <= 43; ++seed)
            survivesScheme("bad-scheme-random-" + std::to_string(seed), garbage(seed).bytes(2000));
    }
    SUBCASE("every key with a hostile value, fonts cut short or enormous") {
        for (unsigned seed = 51; seed <= 58; ++seed) {
            garbage g(seed);
            survivesScheme("bad-scheme-values-" + std::to_string(seed), schemeKeys(g));
        }
    }
}

TEST_CASE("schemes with windows of no size or less, and cut lines outside the bitmap") {
    const std::string skinned = "bitmap_source=#plugins\\kiv.scheme\\standard.bmp\r\nwindow_autoheight=0\r\n";
    for (const char* size : {"0,0", "-50,-20", "1,1", "-2147483648,-2147483648", "250,0", "0,50"}) {
        survivesScheme(std::string("bad-scheme-size ") + size,
                       skinned + "window_size=" + size + "\r\nwindow_sizesmall=" + size + "\r\n");
    }
    for (const char* cut : {"-100,5000,-7,99999", "300,2,60,1", "2147483647,-2147483648,0,0"}) {
        survivesScheme(std::string("bad-scheme-cut ") + cut,
                       skinned + "bitmap_cut=" + cut + "\r\nbitmap_cutsmall=" + cut + "\r\n");
    }
}

TEST_CASE("damaged skin bitmaps and absurd font records: drawn without them, no crash") {
    SUBCASE("bitmaps found in the field and made from the shipped one") {
        const std::string fixtures = kivhost::programFolder() + "fixtures\\damaged-skins\\";
        const size_t whole = readFile(schemeFolder() + "standard.bmp").size();
        const std::vector<std::string> bitmaps = {
            fixtures + "offset-past-end.bmp", fixtures + "cut-short-32bpp.bmp",
            damagedBitmap("header-cut", 30), damagedBitmap("pixels-cut", whole / 2),
            damagedBitmap("offset", whole, 10, 0xFFFFFFF0u), damagedBitmap("width", whole, 18, 0x7FFFFFFFu),
            damagedBitmap("bits", whole, 28, 0x00010011u)};
        for (const std::string& bitmap : bitmaps)
            survivesScheme("bad-scheme-bitmap " + bitmap,
                           "bitmap_source=" + bitmap + "\r\nbitmap_sourcesmall=" + bitmap + "\r\n");
    }
    SUBCASE("font records with every field at its extremes") {
        std::vector<LOGFONTA> fonts;
        LOGFONTA font = tahoma(-11);
        font.lfWidth = INT32_MIN;
        font.lfWeight = 0x6F3C77C6;
        fonts.push_back(font);
        for (LONG height : {32767, -32767}) fonts.push_back(tahoma(height));
        font = tahoma(-11);
        font.lfEscapement = font.lfOrientation = 0x7FFFFFFF;
        fonts.push_back(font);
        font = tahoma(-11);
        font.lfItalic = font.lfUnderline = font.lfStrikeOut = 0xFF;
        memset(font.lfFaceName, 'T', sizeof font.lfFaceName);
        fonts.push_back(font);
        for (const LOGFONTA& f : fonts)
            survivesScheme("bad-scheme-font", "id_font=" + fontValue(f) + "\r\ndesc_font=" + fontValue(f) + "\r\n");
    }
}

TEST_CASE("a window grown by its text stays within the work area") {
    testScheme scheme("kivtest-tall.kivs", hugeFontScheme());
    notifySession session("bad-scheme-tall", settingsWith(scheme.name, lines({"autoheightrows=1000"})));
    REQUIRE(session.plugin->running());
    popupRequest request;
    const std::string text = manyLines();
    request.text = text.c_str();
    HWND shown = showOne(session, request);
    REQUIRE(shown);
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT rect = kivhost::windowRect(shown);
    CHECK(rect.bottom - rect.top > 200);
    CHECK(rect.bottom - rect.top <= area.bottom - area.top);
}

TEST_CASE("a scheme found in the field, of 32767 x 32767, gives windows no larger than the work area") {
    const std::string fixtures = kivhost::programFolder() + "fixtures\\bad-inputs\\";
    const std::string scheme = schemeFolder() + "kivtest-32767.kivs";
    REQUIRE(CopyFileA((fixtures + "scheme-window-32767.kivs").c_str(), scheme.c_str(), FALSE));
    {
        notifySession session("bad-scheme-32767", settingsWith("kivtest-32767.kivs", lines({"visibletime=30"})));
        const RECT area = workArea();
        for (const std::string text : {"Ala ma kota", ""}) {
            CAPTURE(text);
            popupRequest request;
            request.text = text.c_str();
            HWND shown = showOne(session, request);
            REQUIRE(shown);
            RECT rect = kivhost::windowRect(shown);
            CHECK(rect.right - rect.left <= area.right - area.left);
            CHECK(rect.bottom - rect.top <= area.bottom - area.top);
            CHECK(letAllGo(30000));
        }
        CHECK(heapsIntact());
    }
    DeleteFileA(scheme.c_str());
}

}  // TEST_SUITE
