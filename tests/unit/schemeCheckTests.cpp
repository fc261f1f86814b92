// What kivhost --preview tells a scheme author: the shipped schemes pass; a missing bitmap, cut
// lines outside the bitmap and a broken font record are errors that name the key.
#include <doctest.h>

#include <algorithm>

#include "pictures.h"
#include "schemeCheck.h"
#include "testSupport.h"

using kivhost::programFolder;
using kivhost::schemeCheck;

namespace {

// A 40 x 30 bitmap and a scheme using it, in a folder of their own.
struct schemeFolder {
    schemeFolder() : folder(kivtest::scratchFolder("scheme-check")) {
        kivtest::writeBmpFile(folder + "skin.bmp", 40, 30, [](int, int) { return RGB(0x7f, 0x7f, 0x7f); });
    }
    std::string write(const std::string& skinKeys) {
        kivtest::writeFile(folder + "t.kivs", "[skin]\r\nver=2\r\nbitmap_source=" + folder + "skin.bmp\r\n" + skinKeys +
                                                  "[info]\r\ntitle=Test\r\n");
        // Fonts as the platform writes them, so the record and its checksum are real.
        LOGFONTA font = {};
        font.lfHeight = -11;
        lstrcpyA(font.lfFaceName, "Tahoma");
        if (skinKeys.find("id_font") == std::string::npos)
            WritePrivateProfileStructA("skin", "id_font", &font, sizeof font, (folder + "t.kivs").c_str());
        WritePrivateProfileStructA("skin", "desc_font", &font, sizeof font, (folder + "t.kivs").c_str());
        return folder + "t.kivs";
    }
    std::string folder;
};

bool mentions(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

}  // namespace

TEST_CASE("every shipped scheme is usable, resolved from the host's folder") {
    for (const char* name : {"standard.kivs", "rounded.kivs", "dark.kivs"}) {
        CAPTURE(name);
        schemeCheck check(programFolder() + "plugins\\kiv.scheme\\" + name, programFolder());
        CHECK(check.errors().empty());
        CHECK(check.warnings().empty());
    }
}

TEST_CASE("a scheme whose keys fit its bitmap passes") {
    schemeFolder scheme;
    schemeCheck check(scheme.write("bitmap_cut=0,40,0,30\r\nbitmap_sourcesmall=" + scheme.folder + "skin.bmp\r\n"
                                   "bitmap_cutsmall=5,35,5,25\r\n"),
                      programFolder());
    CHECK(check.usable());
    CHECK(check.warnings().empty());
}

TEST_CASE("a bitmap that cannot be loaded is named with the path the plug-in would use") {
    schemeFolder scheme;
    schemeCheck check(scheme.write("bitmap_sourcesmall=#plugins\\kiv.scheme\\nowhere.bmp\r\n"), programFolder());
    REQUIRE(check.errors().size() == 1);
    CHECK(check.errors()[0].rfind("bitmap_sourcesmall: cannot load the bitmap " + programFolder() +
                                      "plugins\\kiv.scheme\\nowhere.bmp",
                                  0) == 0);
}

TEST_CASE("cut lines outside the bitmap, or crossed, are errors with the bitmap's size") {
    schemeFolder scheme;
    for (const char* cut : {"4,41,2,20", "4,20,2,31", "30,10,2,20", "-1,10,2,20", "4,10,20,2"}) {
        CAPTURE(cut);
        schemeCheck check(scheme.write(std::string("bitmap_cut=") + cut + "\r\n"), programFolder());
        REQUIRE(check.errors().size() == 1);
        CHECK(check.errors()[0] == std::string("bitmap_cut=") + cut +
                                       " lies outside the 40 x 30 bitmap: the cut columns need 0 <= x1 <= x2 <= 40 "
                                       "and the cut rows 0 <= y1 <= y2 <= 30");
    }
    // A small cut is checked against the small bitmap only when there is one.
    schemeCheck small(scheme.write("bitmap_cutsmall=100,200,100,200\r\n"), programFolder());
    CHECK(small.usable());
}

TEST_CASE("a font record that the platform cannot read back is an error; a missing one a note") {
    schemeFolder scheme;
    std::string path = scheme.write("id_font=F5FFFFFF00\r\n");
    schemeCheck shortRecord(path, programFolder());
    REQUIRE(shortRecord.errors().size() == 1);
    CHECK(shortRecord.errors()[0].rfind("id_font is not a font record", 0) == 0);

    // One digit changed: the checksum no longer matches.
    std::string good = kivtest::iniValue(path, "skin", "desc_font");
    good[0] = good[0] == '0' ? '1' : '0';
    WritePrivateProfileStringA("skin", "desc_font", good.c_str(), path.c_str());
    schemeCheck badSum(path, programFolder());
    CHECK(mentions(badSum.errors(), "desc_font is not a font record"));

    WritePrivateProfileStringA("skin", "desc_font", nullptr, path.c_str());
    schemeCheck missing(path, programFolder());
    CHECK(mentions(missing.warnings(), "no desc_font"));
}

TEST_CASE("a file without a skin section, or none at all, is unusable") {
    schemeFolder scheme;
    kivtest::writeFile(scheme.folder + "empty.kivs", "[info]\r\ntitle=x\r\n");
    schemeCheck empty(scheme.folder + "empty.kivs", programFolder());
    CHECK(mentions(empty.errors(), "no [skin] section"));
    schemeCheck none(scheme.folder + "none.kivs", programFolder());
    CHECK(mentions(none.errors(), "no such file"));
}

TEST_CASE("what the plug-in copes with is a note: an old version, no title, no bitmap, a short list") {
    schemeFolder scheme;
    std::string path = scheme.write("bitmap_cut=3,30\r\nid_rect=0,0,300,20\r\nwindow_size=0,50\r\n");
    WritePrivateProfileStringA("skin", "ver", "1", path.c_str());
    WritePrivateProfileStringA("info", "title", nullptr, path.c_str());
    schemeCheck check(path, programFolder());
    CHECK(mentions(check.warnings(), "ver is 1"));
    CHECK(mentions(check.warnings(), "no [info] title"));
    CHECK(mentions(check.warnings(), "bitmap_cut=3,30 is not four numbers"));
    CHECK(mentions(check.errors(), "window_size=0,50: expected a positive width and height"));
    WritePrivateProfileStringA("skin", "bitmap_source", nullptr, path.c_str());
    WritePrivateProfileStringA("skin", "window_size", nullptr, path.c_str());
    schemeCheck plain(path, programFolder());
    CHECK(plain.usable());
    CHECK(mentions(plain.warnings(), "no bitmap_source"));
    CHECK(mentions(plain.warnings(), "id_rect=0,0,300,20 reaches outside the 250 x 50 window"));
}

TEST_CASE("a damaged bitmap and a font record beyond use are errors that say why") {
    schemeFolder scheme;
    const std::string damaged = programFolder() + "fixtures\\damaged-skins\\offset-past-end.bmp";
    LOGFONTA font = {};
    font.lfHeight = -32767;
    lstrcpyA(font.lfFaceName, "Tahoma");
    std::string file = scheme.write("bitmap_sourcesmall=" + damaged + "\r\nid_font=0\r\n");
    WritePrivateProfileStructA("skin", "id_font", &font, sizeof font, file.c_str());
    schemeCheck check(file, programFolder());
    CHECK(mentions(check.errors(), "bitmap_sourcesmall: " + damaged + " is damaged (pixel offset past the end"));
    CHECK(mentions(check.errors(), "id_font: height or width beyond 200"));
}
