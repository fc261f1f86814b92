// Scheme files as the skin reads them: defaults, list rules, paths, fonts, and who frees bitmaps.
#include <doctest.h>

#include <cstring>

#include "moduleFixture.h"
#include "pictures.h"
#include "scheme/skin.h"
#include "base/text.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

struct schemeFixture : moduleFixture {
    std::string folder = scratchFolder("skin");
    schemeFixture() { kiv::copyText(kiv::plugin.hostFolder, folder.c_str()); }

    std::string write(const char* name, const std::string& body) {
        writeFile(folder + name, "[skin]\r\n" + body);
        return name;
    }
    void bitmapFile(const std::string& relative, int width, int height) {
        writeBmpFile(folder + relative, width, height, [](int, int) { return RGB(10, 20, 30); });
    }
};

SIZE sizeOf(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return {-1, -1};
    return {info.bmWidth, info.bmHeight};
}

bool sameRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
    return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

LOGFONTA sampleFont(const char* face, LONG height) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = EASTEUROPE_CHARSET;
    kiv::copyText(font.lfFaceName, face);
    return font;
}

}  // namespace

TEST_CASE_FIXTURE(schemeFixture, "a missing scheme file leaves the defaults and no bitmaps") {
    kiv::skin look;
    look.load(folder.c_str(), "missing.kivs");
    CHECK(look.width == 250);
    CHECK(look.smallHeight == 24);
    CHECK(look.colorKey == 0xFF00FF);
    CHECK(look.bitmap == nullptr);
    CHECK(look.smallBitmap == nullptr);
    CHECK(sameRect(look.cut, 1, 2, 1, 2));  // "1,1,2,2" is x1, x2, y1, y2
    CHECK(sameRect(look.descRect, 5, 23, 225, 46));
}

TEST_CASE_FIXTURE(schemeFixture, "keys: cut order, short lists keep earlier members, auto-height on for any non-zero") {
    kiv::skin look;
    look.load(folder.c_str(), write("first.kivs", "window_size=180,70\r\nid_rect=1,2,3,4\r\n").c_str());
    CHECK(look.width == 180);
    CHECK(look.height == 70);

    write("second.kivs",
          "window_size=300\r\nwindow_sizesmall=120 ,9\r\nbitmap_cut=10,240,5,45\r\nbitmap_cutsmall=7\r\n"
          "icon_pos=9\r\nid_rect=11,12\r\ndesc_rect=6, 7, 8, 9\r\nwindow_bgcolor=255\r\nbitmap_colorkey=65280\r\n"
          "id_color=123\r\ndesc_color=456\r\n");
    look.load(folder.c_str(), "second.kivs");
    CHECK(look.width == 300);
    CHECK(look.height == 70);  // kept from the first file
    CHECK(look.smallWidth == 120);
    CHECK(look.smallHeight == 24);  // a space may come before a number, not before a comma
    CHECK(look.cut.left == 10);
    CHECK(look.cut.right == 240);
    CHECK(look.cut.top == 5);
    CHECK(look.cut.bottom == 45);
    CHECK(sameRect(look.smallCut, 7, 2, 1, 2));
    CHECK(look.iconPos.x == 9);
    CHECK(look.iconPos.y == 4);
    CHECK(sameRect(look.idRect, 11, 12, 3, 4));
    CHECK(sameRect(look.descRect, 6, 7, 8, 9));
    CHECK(look.backgroundColor == 255);
    CHECK(look.colorKey == 65280);
    CHECK(look.idColor == 123);
    CHECK(look.descColor == 456);

    look.load(folder.c_str(), write("off.kivs", "window_autoheight=0\r\n").c_str());
    CHECK_FALSE(look.autoHeight);
    look.load(folder.c_str(), write("seven.kivs", "window_autoheight=7\r\n").c_str());
    CHECK(look.autoHeight);
}

TEST_CASE_FIXTURE(schemeFixture, "bitmap paths: # means the host's folder, other paths are used as written") {
    CreateDirectoryA((folder + "art").c_str(), nullptr);
    bitmapFile("art\\normal.bmp", 32, 50);
    bitmapFile("small.bmp", 20, 24);
    kiv::skin look;
    look.load(folder.c_str(),
              write("paths.kivs", "bitmap_source=#art\\normal.bmp\r\nbitmap_sourcesmall=" + folder + "small.bmp\r\n")
                  .c_str());
    CHECK(sizeOf(look.bitmap).cx == 32);
    CHECK(sizeOf(look.bitmap).cy == 50);
    CHECK(sizeOf(look.smallBitmap).cx == 20);

    // A # path too long for its buffer names no file at all, rather than a cut one.
    std::string deep(1000, 'd');
    look.load(folder.c_str(), write("long.kivs", "bitmap_source=#" + deep + "\r\nbitmap_sourcesmall=nowhere.bmp\r\n").c_str());
    CHECK(look.bitmap == nullptr);
    CHECK(look.smallBitmap == nullptr);
}

TEST_CASE_FIXTURE(schemeFixture, "fonts are 60-byte structs; a damaged one leaves the font as it was") {
    std::string file = folder + write("fonts.kivs", "ver=2\r\n");
    LOGFONTA id = sampleFont("Tahoma", -11);
    LOGFONTA desc = sampleFont("Verdana", -9);
    REQUIRE(WritePrivateProfileStructA("skin", "id_font", &id, sizeof id, file.c_str()));
    REQUIRE(WritePrivateProfileStructA("skin", "desc_font", &desc, sizeof desc, file.c_str()));
    kiv::skin look;
    look.load(folder.c_str(), "fonts.kivs");
    CHECK(memcmp(&look.idFont, &id, sizeof id) == 0);
    CHECK(memcmp(&look.descFont, &desc, sizeof desc) == 0);

    std::string value = iniValue(file, "skin", "id_font");
    REQUIRE(value.size() == 122);
    std::string badChecksum = value.substr(0, 120) + (value.substr(120) == "00" ? "01" : "00");
    write("damaged.kivs", "id_font=" + badChecksum + "\r\ndesc_font=" + value.substr(0, 100) + "\r\n");
    look.load(folder.c_str(), "damaged.kivs");
    CHECK(memcmp(&look.idFont, &id, sizeof id) == 0);
    CHECK(memcmp(&look.descFont, &desc, sizeof desc) == 0);
}

TEST_CASE_FIXTURE(schemeFixture, "copies share the source bitmaps; a reload leaves them to the copies; the last owner frees them") {
    bitmapFile("a.bmp", 8, 8);
    bitmapFile("b.bmp", 6, 6);
    write("a.kivs", "bitmap_source=#a.bmp\r\nbitmap_sourcesmall=#a.bmp\r\n");
    write("b.kivs", "bitmap_source=#b.bmp\r\n");
    auto* shared = new kiv::skin;
    shared->load(folder.c_str(), "a.kivs");
    HBITMAP first = shared->bitmap;
    HBITMAP firstSmall = shared->smallBitmap;
    REQUIRE(first);

    {
        kiv::skin copy;
        copy.copyFrom(*shared);
        CHECK(copy.bitmap == first);
    }
    CHECK(GetObjectType(first) == OBJ_BITMAP);  // the copy left the shared bitmap alone

    // A window's copy made before a reload still composes from the first scheme's bitmaps.
    auto* windowCopy = new kiv::skin;
    windowCopy->copyFrom(*shared);
    shared->load(folder.c_str(), "b.kivs");
    HBITMAP second = shared->bitmap;
    CHECK(sizeOf(second).cx == 6);
    CHECK(shared->smallBitmap == nullptr);
    CHECK(GetObjectType(first) == OBJ_BITMAP);
    CHECK(GetObjectType(firstSmall) == OBJ_BITMAP);
    CHECK(sizeOf(windowCopy->bitmap).cx == 8);
    delete windowCopy;
    CHECK(GetObjectType(first) == 0);
    CHECK(GetObjectType(firstSmall) == 0);

    delete shared;
    CHECK(GetObjectType(second) == 0);
}
