// Quiet hours on the module's clock and the people who always get through: what is shown, heard,
// written to kiv.log and summed up, through the built plug-in.
#include <doctest.h>

#include "chatWindow.h"
#include "notifySupport.h"
#include "popupMenus.h"

using namespace kivtest;

namespace {

// Ala is a priority contact with a sound of her own; Olek takes everything from the global filter.
const char* const quietFilters =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_offline=1\r\nwindow_onlineonly=0\r\nwindow_eventmessage=1\r\n"
    "sound_inherit=0\r\nsound_filemessage={profile}olek.wav\r\nsound_fileoffline={profile}olek.wav\r\n"
    "[contact:ala@tlen.pl]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_filemessage={profile}ala.wav\r\n"
    "sound_fileoffline={profile}ala.wav\r\npriority=1\r\n";

constexpr DWORD visibleTime = 2000;  // visibletime=2

struct quietScene {
    kivSession session;
    logFollower log;

    quietScene(const std::string& name, const std::string& settings)
        : session(name, false), log(session.profile + "kiv.log") {
        kivhost::contactList& contacts = session.host.contacts;
        contacts.clear();
        int work = contacts.addGroup("Praca");
        contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
        contacts.addContact("12345", "Olek", work, "GG");
        for (const char* wav : {"ala.wav", "olek.wav"}) writeFile(session.profile + wav, "RIFF");
        writeFile(session.settingsFile, settings);
        writeFile(session.filtersFile, inProfile(quietFilters, session.profile));
        freezeClock();
        session.start();
        moveClock(60000);  // past the quiet period of start-up
        kivhost::soundRecorder::get().clear();
    }
    ~quietScene() {
        session.unload();
        session.host.contacts.clear();
        kivhost::moduleClock::get().reset();
    }

    // A message from each, and the host's sound for each, as the messenger raises them.
    void messages() {
        kivhost::raiseMessage("GG", "12345", 2, "od Olka");
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "od Ali");
        session.host.raiseSoundEvent(2, "12345");
        session.host.raiseSoundEvent(2, "ala@tlen.pl");
    }

    // The sounds played since the last call, by file name.
    std::vector<std::string> sounds() const {
        std::vector<std::string> names;
        for (const auto& sound : kivhost::soundRecorder::get().played)
            names.push_back(sound.file.substr(profile().size()));
        kivhost::soundRecorder::get().clear();
        return names;
    }

    const std::string& profile() const { return session.profile; }
};

SYSTEMTIME at(WORD hour, WORD minute) {
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 9;
    time.wHour = hour;
    time.wMinute = minute;
    return time;
}

// Each window on screen as its contact line and text, the contact line marked "*" when it is
// drawn underlined and bold; the windows are then left to close.
std::vector<std::string> shownThenClosed(size_t expected) {
    std::vector<std::string> shown;
    for (HWND window : settle(expected)) {
        kivhost::paintedWindow paint = paintOf(window);
        if (paint.texts.empty()) continue;
        const LOGFONTA& font = paint.styles[0].font;
        const bool marked = font.lfUnderline && font.lfWeight >= FW_BOLD;
        shown.push_back(paint.texts[0] + (marked ? "*" : "") + ": " + (paint.texts.size() > 1 ? paint.texts[1] : ""));
    }
    std::sort(shown.begin(), shown.end());
    moveClock(visibleTime + 500);
    kivhost::pumpMessages(300);
    waitForCount(0);
    return shown;
}

using texts = std::vector<std::string>;

}  // namespace

TEST_CASE("quiet hours hold back all but a priority contact, across midnight, and the summary comes when they end") {
    quietScene s("quiet-hours", settingsWith("none.kivs", "visibletime=2\r\n",
                                             "[extra]\r\nhistory=20\r\nmissedsummary=1\r\neventlog=1\r\n"
                                             "quietfrom=1320\r\nquietto=420\r\n"));
    struct moment {
        WORD hour, minute;
        bool quiet;
    };
    const moment day[] = {{21, 59, false}, {22, 0, true}, {23, 59, true}, {0, 30, true}, {6, 59, true}, {7, 0, false}};
    int held = 0;
    for (const moment& m : day) {
        CAPTURE(m.hour);
        CAPTURE(m.minute);
        kivhost::moduleClock::get().localTimeAt(at(m.hour, m.minute));
        if (!m.quiet && held > 0) CHECK(shownThenClosed(1) == texts{"kiv: Gdy kiv milczał: 4 wiadomości"});
        s.log.newLines();
        s.messages();
        const std::string olek = m.quiet ? "pominięte: cisza nocna" : "pokazane";
        const std::string ala = m.quiet ? "pokazane mimo ciszy: kontakt priorytetowy" : "pokazane";
        const std::string olekSound = m.quiet ? "cisza: cisza nocna" : "odtworzono " + s.profile() + "olek.wav";
        const std::string alaSound =
            "odtworzono " + s.profile() + "ala.wav" + (m.quiet ? "; mimo ciszy: kontakt priorytetowy" : "");
        const std::string rule = "; filtr globalny: window_eventmessage=1";
        CHECK(s.log.newLines() == texts{"GG\t12345\twiadomość\t" + olek + rule,
                                        "TLEN\tala@tlen.pl\twiadomość\t" + ala + rule,
                                        "\t12345\tdźwięk: wiadomość\t" + olekSound,
                                        "\tala@tlen.pl\tdźwięk: wiadomość\t" + alaSound});
        CHECK(s.sounds() == (m.quiet ? texts{"ala.wav"} : texts{"olek.wav", "ala.wav"}));
        CHECK(shownThenClosed(m.quiet ? 1 : 2) ==
              (m.quiet ? texts{"Ala (ala@tlen.pl)*: od Ali"}
                       : texts{"Ala (ala@tlen.pl)*: od Ali", "Olek (12345): od Olka"}));
        held += m.quiet;
    }

    // Going offline in the quiet hours: the offline sound too is the priority contact's alone. The
    // schedule leaves the silent switch as it was.
    kivhost::moduleClock::get().localTimeAt(at(3, 0));
    CHECK(s.session.service("kiv/getsilent") == 0);
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 1));
    kivhost::raiseStatusChange(change("GG", "12345", 2, 1));
    CHECK(s.sounds() == texts{"ala.wav"});
    CHECK(shownThenClosed(1) == texts{"Ala (ala@tlen.pl)*: "});
}

TEST_CASE("a priority contact gets through silent and the full-screen program, but not the rules after them") {
    quietScene s("quiet-priority", "[window]\r\nscheme=none.kivs\r\nvisibletime=2\r\nmsgshowwhenbgonly=1\r\n"
                                   "[hidden]\r\nloginignoretime=10\r\n");
    SUBCASE("silent") {
        s.session.service("kiv/setsilent", 1);
        s.messages();
        CHECK(s.sounds() == texts{"ala.wav"});
        CHECK(shownThenClosed(1) == texts{"Ala (ala@tlen.pl)*: od Ali"});
        CHECK(s.session.service("kiv/getsilent") == 1);
    }
    SUBCASE("a full-screen program in front") {
        fullScreenApp cover;
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == cover.get(); }, 2000));
        s.messages();
        CHECK(s.sounds() == texts{"ala.wav"});
        CHECK(shownThenClosed(1) == texts{"Ala (ala@tlen.pl)*: od Ali"});
    }
    SUBCASE("ignored, after a log-in, or with her chat window in front") {
        s.session.service("kiv/setsilent", 1);
        REQUIRE(kivhost::choose("Tlen/CL/Element", {{"ala@tlen.pl", "TLEN"}}, "kiv/menu/contact/ignore"));
        s.messages();
        REQUIRE(kivhost::choose("Tlen/CL/Element", {{"ala@tlen.pl", "TLEN"}}, "kiv/menu/contact/ignore"));
        kivhost::raiseLogin("TLEN");
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "po zalogowaniu");
        moveClock(10000);
        {
            kivhost::chatWindow chat("Ala (ala@tlen.pl) - Dostępny");
            chat.bringToFront();
            REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == chat.handle(); }, 2000));
            kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "w czacie");
        }
        SetForegroundWindow(s.session.host.mainWindow());
        CHECK(s.sounds().empty());
        CHECK(shownThenClosed(0).empty());
    }
}
