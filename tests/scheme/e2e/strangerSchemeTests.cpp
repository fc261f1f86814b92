// What a scheme from someone the user does not know can make the plug-in do: open a path on the
// network or a device (which hands the user's Windows credentials to whoever answers), read a
// bitmap other than the one it checked, or shape a window beyond what the system can take.
#include <doctest.h>

#include <string>
#include <vector>

#include "badInput.h"
#include "fileOpenRecorder.h"
#include "schemeCheck.h"
#include "skinScenes.h"

using namespace kivtest;

namespace {

bool hasErrorOnLine(const kivhost::schemeCheck& check, int line, const std::string& text) {
    for (const kivhost::schemeFinding& finding : check.errors())
        if (finding.line == line && finding.text.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST_CASE("a scheme's bitmap path on the network or a device is never opened; a local one is read once") {
    // Every path below ends in "tlo.bmp", so what the plug-in opens of it can be counted.
    const std::string local = scratchFolder("stranger-bitmaps") + "tlo.bmp";
    REQUIRE(CopyFileA((schemeFolder() + "standard.bmp").c_str(), local.c_str(), FALSE));
    const std::string besideSchemes = schemeFolder() + "kivtest-tlo.bmp";
    REQUIRE(CopyFileA((schemeFolder() + "standard.bmp").c_str(), besideSchemes.c_str(), FALSE));
    std::string forwardSlashes = local;
    for (char& c : forwardSlashes) c = c == '\\' ? '/' : c;

    struct pathForm {
        const char* what;
        std::string value;
        bool local;
    };
    const pathForm forms[] = {
        {"network share", "\\\\192.0.2.1\\skins\\tlo.bmp", false},
        {"WebDAV over SSL", "\\\\host@SSL\\DavWWWRoot\\skins\\tlo.bmp", false},
        {"long UNC", "\\\\?\\UNC\\192.0.2.1\\skins\\tlo.bmp", false},
        {"long form of a local file", "\\\\?\\" + local, false},
        {"forward slashes", "//192.0.2.1/skins/tlo.bmp", false},
        {"mixed slashes", "/\\192.0.2.1/skins\\tlo.bmp", false},
        {"named pipe", "\\\\.\\pipe\\tlo.bmp", false},
        {"object manager path", "\\??\\UNC\\192.0.2.1\\skins\\tlo.bmp", false},
        {"# and a network share", "#\\\\192.0.2.1\\skins\\tlo.bmp", false},
        {"# and a device name", "#plugins\\kiv.scheme\\con.tlo.bmp", false},
        {"# and a local path", "#plugins\\kiv.scheme\\kivtest-tlo.bmp", true},
        {"absolute local path", local, true},
        {"local path with forward slashes", forwardSlashes, true},
    };
    kivhost::fileOpenRecorder& opens = kivhost::fileOpenRecorder::get();
    for (const pathForm& form : forms) {
        CAPTURE(form.what);
        CAPTURE(form.value);
        testScheme scheme("kivtest-stranger.kivs", skinSchemeKeys(form.value));
        opens.clear();
        notifySession session("stranger-paths", settingsWith(scheme.name, lines({"visibletime=30"})));
        REQUIRE(session.plugin->running());
        CHECK(opens.countEndingWith("tlo.bmp") == (form.local ? 1 : 0));
        HWND shown = showOne(session, popupRequest());
        REQUIRE(shown);
        CHECK(kivhost::shapeOf(shown).hasShape == form.local);  // refused: as a missing bitmap

        // The preview names the line and says why, without opening the path either.
        kivhost::schemeCheck check(scheme.path, kivhost::programFolder());
        CHECK(hasErrorOnLine(check, 2, "never opens") == !form.local);
    }
    DeleteFileA(besideSchemes.c_str());
}

TEST_CASE("a skin too detailed for a window shape gets a simpler one, and the window shows") {
    struct shapeCase {
        skinPattern pattern;
        const char* what;
        bool holeCut;  // the key's hole in the middle stays out of the window
    };
    const shapeCase cases[] = {
        {skinPattern::frame, "a frame round a hole: the exact shape", true},
        {skinPattern::checkerboard, "a one-pixel checkerboard: its outline, holes filled", false},
    };
    for (const shapeCase& c : cases) {
        CAPTURE(c.what);
        const std::string bitmap = scratchFolder("stranger-skins") + "skin.bmp";
        writeSkin(bitmap, c.pattern);
        testScheme scheme("kivtest-shape.kivs", skinSchemeKeys(bitmap));
        notifySession session("stranger-shape", settingsWith(scheme.name, lines({"visibletime=30"})));
        HWND shown = showOne(session, popupRequest());
        REQUIRE(shown);
        const kivhost::windowShape shape = kivhost::shapeOf(shown);
        CHECK(shape.hasShape);
        CHECK(shape.rects.size() <= 8192);
        CHECK(shape.contains(0, 0));
        CHECK(shape.contains(240, 160) == !c.holeCut);
        CHECK(stillShowsNotifications(session));
    }
}
