// What kivhost --preview tells a scheme author: the shipped schemes pass; misspelt keys, values
// of the wrong form, a missing bitmap, cut lines outside the bitmap, a broken font record and a
// font without the Polish character set are errors that name the key and its line.
#include <doctest.h>

#include <algorithm>

#include "pictures.h"
#include "schemeCheck.h"
#include "schemeValues.h"
#include "testSupport.h"

using kivhost::programFolder;
using kivhost::schemeCheck;
using kivhost::schemeFinding;

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
        font.lfCharSet = EASTEUROPE_CHARSET;
        lstrcpyA(font.lfFaceName, "Tahoma");
        if (skinKeys.find("id_font") == std::string::npos)
            WritePrivateProfileStructA("skin", "id_font", &font, sizeof font, (folder + "t.kivs").c_str());
        WritePrivateProfileStructA("skin", "desc_font", &font, sizeof font, (folder + "t.kivs").c_str());
        return folder + "t.kivs";
    }
    std::string folder;
};

bool mentions(const std::vector<schemeFinding>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const schemeFinding& line) { return line.text.find(text) != std::string::npos; });
}

// The finding on that line, or an empty one.
schemeFinding onLine(const std::vector<schemeFinding>& findings, int line) {
    for (const schemeFinding& finding : findings)
        if (finding.line == line) return finding;
    return {};
}

std::string fontValue(std::vector<std::string> words) {
    std::string value, error;
    REQUIRE(kivhost::fontValue(words, value, error));
    return value;
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
    CHECK(check.errors()[0].text.rfind("bitmap_sourcesmall=#plugins\\kiv.scheme\\nowhere.bmp: cannot load the bitmap " +
                                           scheme.folder + "nowhere.bmp",
                                       0) == 0);
    CHECK(check.errors()[0].line == 4);
}

TEST_CASE("cut lines outside the bitmap, or crossed, are errors with the bitmap's size") {
    schemeFolder scheme;
    for (const char* cut : {"4,41,2,20", "4,20,2,31", "30,10,2,20", "-1,10,2,20", "4,10,20,2"}) {
        CAPTURE(cut);
        schemeCheck check(scheme.write(std::string("bitmap_cut=") + cut + "\r\n"), programFolder());
        REQUIRE(check.errors().size() == 1);
        CHECK(check.errors()[0].text == std::string("bitmap_cut=") + cut +
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
    CHECK(shortRecord.errors()[0].text.rfind("id_font is not a font record", 0) == 0);

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
    kivtest::writeFile(scheme.folder + "empty.kivs", "[info]\r\ntitle=x\r\n[Skins]\r\nver=2\r\n");
    schemeCheck empty(scheme.folder + "empty.kivs", programFolder());
    CHECK(mentions(empty.errors(), "no [skin] section"));
    CHECK(onLine(empty.warnings(), 3).text == "[Skins]: the plug-in reads no such section; did you mean [skin]?");
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

TEST_CASE("a window larger than the screen is a note with the size the plug-in shows it at") {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const std::string screen = std::to_string(area.right - area.left) + " x " + std::to_string(area.bottom - area.top);
    schemeCheck check(programFolder() + "fixtures\\bad-inputs\\scheme-window-32767.kivs", programFolder());
    CHECK_FALSE(mentions(check.errors(), "window_size"));
    CHECK(onLine(check.warnings(), 3).text == "window_size=32767,32767 is larger than this screen's work area (" +
                                                  screen + "): the plug-in shows the window at " + screen);
    CHECK_FALSE(mentions(check.warnings(), "window_sizesmall"));
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
    CHECK(mentions(check.errors(), damaged + " is damaged (pixel offset past the end"));
    CHECK(mentions(check.errors(), "id_font: height or width beyond 200"));
}

TEST_CASE("what a new author gets wrong is an error on its line, with the key or value meant") {
    schemeFolder scheme;
    std::string path = scheme.folder + "new.kivs";
    kivtest::writeFile(path, "; my first scheme\r\n[skin]\r\nwindow_bgcolour=16777215\r\ndesc_colr=0\r\n"
                             "window_size=250x50\r\nid_color=#FF0000\r\nver=2\r\n[info]\r\ntitle=Nowy\r\n");
    schemeCheck check(path, programFolder());
    CHECK(check.errors().size() == 4);
    CHECK(onLine(check.errors(), 3).text == "window_bgcolour: the plug-in reads no such key in [skin]; did you mean window_bgcolor?");
    CHECK(onLine(check.errors(), 4).text == "desc_colr: the plug-in reads no such key in [skin]; did you mean desc_color?");
    CHECK(onLine(check.errors(), 5).text == "window_size=250x50 is not two numbers width,height (as 250,50): the plug-in "
                                            "reads only 250 and stops at 'x50'");
    CHECK(onLine(check.errors(), 6).text.rfind("id_color=#FF0000 is not a colour: colours are decimal numbers 0x00BBGGRR, "
                                               "0 to 16777215; for #FF0000 write 255 (./kiv scheme-colour '#FF0000')",
                                               0) == 0);
}

TEST_CASE("keys and lines the plug-in never reads are reported, a title's neighbours only as notes") {
    schemeFolder scheme;
    std::string path = scheme.folder + "odd.kivs";
    kivtest::writeFile(path, "[skin]\r\nver=2\r\nwindow_size 250,50\r\nver=3\r\ntitle=x\r\nzzzzzz=1\r\n"
                             "[skn]\r\n[info]\r\ntitle=A\r\nauthor=Ala\r\n");
    schemeCheck check(path, programFolder());
    CHECK(onLine(check.errors(), 3).text == "'window_size 250,50' in [skin] is not KEY=VALUE");
    CHECK(onLine(check.warnings(), 4).text == "ver is set again (first on line 2): the plug-in reads only the first");
    CHECK(onLine(check.errors(), 5).text == "title: the plug-in reads no such key in [skin]; it belongs in [info]");
    CHECK(onLine(check.errors(), 6).text == "zzzzzz: the plug-in reads no such key in [skin]");
    CHECK(onLine(check.warnings(), 7).text == "[skn]: the plug-in reads no such section; did you mean [skin]?");
    CHECK(onLine(check.warnings(), 10).text == "author: the plug-in reads no such key in [info]");
    CHECK(check.errors().size() == 3);
}

TEST_CASE("numbers and colours are read as the plug-in reads them") {
    schemeFolder scheme;
    // Spaces before a number are part of the form; what follows a full list is ignored.
    schemeCheck fine(scheme.write("icon_pos= 4, 5\r\nwindow_autoheight=0\r\nid_color=16777215\r\nprogresscolor=255\r\n"),
                     programFolder());
    CHECK(fine.usable());
    CHECK(fine.warnings().empty());
    schemeCheck odd(scheme.write("icon_pos=4,5px\r\nwindow_autoheight=yes\r\nid_color=0x0000FF\r\n"
                                 "desc_color=16777216\r\nid_rect=,4\r\nactionframe=#FF0000\r\n"),
                    programFolder());
    CHECK(mentions(odd.warnings(), "icon_pos=4,5px: the plug-in reads 4,5 and ignores 'px'"));
    CHECK(mentions(odd.errors(), "window_autoheight=yes is not a whole number (as 1): the plug-in reads 0"));
    CHECK(mentions(odd.errors(), "id_color=0x0000FF is not a colour"));
    CHECK(mentions(odd.errors(), "desc_color=16777216 is not a colour"));
    CHECK(mentions(odd.errors(), "actionframe=#FF0000 is not a colour"));
    CHECK(mentions(odd.errors(), "id_rect=,4 is not four numbers left,top,right,bottom (as 30,4,225,20): the plug-in "
                                 "keeps 30,4,225,20"));
}

TEST_CASE("a font outside the Polish character set is an error naming the font") {
    schemeFolder scheme;
    LOGFONTA font = {};
    font.lfHeight = -12;
    font.lfWeight = FW_BOLD;
    lstrcpyA(font.lfFaceName, "Verdana");
    std::string path = scheme.write("id_font=" + kivhost::structText(&font, sizeof font) + "\r\n");
    schemeCheck check(path, programFolder());
    REQUIRE(check.errors().size() == 1);
    CHECK(check.errors()[0].line == 4);
    CHECK(check.errors()[0].text.rfind("id_font (Verdana 9 bold, character set 0) is not in character set 238", 0) == 0);
    schemeCheck made(scheme.write("id_font=" + fontValue({"Verdana", "9", "bold"}) + "\r\n"), programFolder());
    CHECK(made.usable());
}

TEST_CASE("a # bitmap is looked up where it will be once installed, a relative one where the messenger runs") {
    schemeFolder scheme;
    // Beside the scheme, as plugins\kiv.scheme\ will hold both.
    schemeCheck beside(scheme.write("bitmap_sourcesmall=#plugins/kiv.scheme/skin.bmp\r\n"), programFolder());
    CHECK(beside.usable());
    REQUIRE(beside.resolvedBitmaps().size() == 1);
    CHECK(beside.resolvedBitmaps()[0].second == scheme.folder + "skin.bmp");
    // Elsewhere under the messenger's folder: kivhost's own folder stands for it.
    schemeCheck elsewhere(scheme.write("bitmap_sourcesmall=#skins\\skin.bmp\r\n"), programFolder());
    CHECK(mentions(elsewhere.errors(), "cannot load the bitmap " + programFolder() + "skins\\skin.bmp (\"#\" is the "
                                       "messenger's folder, here " + programFolder() + ")"));
    // A scheme already in a messenger's plugins\kiv.scheme\ resolves from that messenger's folder.
    std::string messenger = kivtest::scratchFolder("scheme-check-messenger");
    std::string installed = messenger + "plugins\\kiv.scheme\\";
    CreateDirectoryA((messenger + "plugins").c_str(), nullptr);
    CreateDirectoryA(installed.c_str(), nullptr);
    CopyFileA((scheme.folder + "skin.bmp").c_str(), (messenger + "skin.bmp").c_str(), FALSE);
    kivtest::writeFile(installed + "i.kivs", "[skin]\r\nbitmap_source=#skin.bmp\r\nbitmap_cut=1,2,1,2\r\n");
    schemeCheck inPlace(installed + "i.kivs", programFolder());
    CHECK(inPlace.usable());
    // A relative path names the folder it was looked up in, which is not the scheme's.
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    schemeCheck relative(scheme.write("bitmap_sourcesmall=skin.bmp\r\n"), programFolder());
    CHECK(mentions(relative.errors(), "bitmap_sourcesmall=skin.bmp: cannot load the bitmap skin.bmp: a path without "
                                      "\"#\" or a drive is looked up in the messenger's current folder (here " +
                                          std::string(current)));
    CHECK(mentions(relative.errors(), "write #plugins\\kiv.scheme\\skin.bmp for a bitmap beside it"));
}

TEST_CASE("scheme values from their readable form, read back by the platform") {
    std::string value, error;
    CHECK(kivhost::colourValue("#FF0000", value, error));
    CHECK(value == "255");
    CHECK(kivhost::colourValue("102030", value, error));
    CHECK(value == "3153936");  // 0x302010
    CHECK(kivhost::describeColour(3153936) == "#102030");
    for (const char* bad : {"#FF00", "#GG0000", "red", "#-F0000"}) {
        CAPTURE(bad);
        CHECK_FALSE(kivhost::colourValue(bad, value, error));
        CHECK(error == "'" + std::string(bad) + "' is not a colour: expected #RRGGBB, six hexadecimal digits, as #FF0000 for red");
    }

    std::string file = kivtest::scratchFolder("scheme-values") + "f.ini";
    WritePrivateProfileStringA("skin", "id_font", fontValue({"Tahoma", "11", "bold", "italic"}).c_str(), file.c_str());
    LOGFONTA font;
    REQUIRE(GetPrivateProfileStructA("skin", "id_font", &font, sizeof font, file.c_str()));
    CHECK(font.lfHeight == -15);
    CHECK(font.lfWeight == FW_BOLD);
    CHECK(font.lfItalic == TRUE);
    CHECK(font.lfCharSet == EASTEUROPE_CHARSET);
    CHECK(std::string(font.lfFaceName) == "Tahoma");
    CHECK(kivhost::describeFont(font) == "Tahoma 11 bold italic, character set 238");
    // A face of several words needs no quotes.
    WritePrivateProfileStringA("skin", "desc_font", fontValue({"Times", "New", "Roman", "10"}).c_str(), file.c_str());
    REQUIRE(GetPrivateProfileStructA("skin", "desc_font", &font, sizeof font, file.c_str()));
    CHECK(kivhost::describeFont(font) == "Times New Roman 10, character set 238");

    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"Tahoma"}, "expected FACE SIZE [bold] [italic], as Tahoma 8 bold"},
        {{"Tahoma", "8pt"}, "'8pt' is not a size: expected whole points from 1 to 200, as 8"},
        {{"Tahoma", "0"}, "'0' is not a size: expected whole points from 1 to 200, as 8"},
        {{"Tahoma", "8", "heavy"}, "'heavy' is not a size: expected whole points from 1 to 200, as 8"},
        {{"8", "bold"}, "expected FACE SIZE [bold] [italic], as Tahoma 8 bold"},
        {{std::string(32, 'A'), "8"}, "'" + std::string(32, 'A') + "' is not a face name: expected 1 to 31 characters"},
    };
    for (const auto& entry : bad) {
        CAPTURE(entry.second);
        CHECK_FALSE(kivhost::fontValue(entry.first, value, error));
        CHECK(error == entry.second);
    }
}
