// kiv.log: why each protocol event, sound event and kiv/popup request was shown, held back or
// dropped, read off the file the built plug-in writes.
#include <doctest.h>

#include "chatWindow.h"
#include "dialogDriving.h"
#include "notifySupport.h"
#include "optionsWindow.h"
#include "popupMenus.h"

using namespace kivtest;

namespace {

// Praca hides messages; Ewa's own filter hides her going away; Olek and Ewa are in Znajomi,
// which takes everything from the global filter.
const char* const logFilters =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_offline=1\r\nwindow_onlineonly=0\r\nwindow_eventmessage=1\r\n"
    "window_eventmessagechat=1\r\nsound_inherit=0\r\nsound_filemessage=\r\n"
    "[group:Praca]\r\nwindow_inherit=0\r\nwindow_eventmessage=0\r\nwindow_status_online=1\r\nsound_inherit=0\r\n"
    "sound_filemessage={profile}praca.wav\r\n"
    "[contact:ewa@tlen.pl]\r\nwindow_inherit=0\r\nwindow_status_away=0\r\nwindow_eventmessage=1\r\n"
    "sound_inherit=1\r\n";

struct logScene {
    kivSession session;
    std::string logFile;
    logFollower log;

    logScene(const std::string& name, const std::string& settings)
        : session(name, false), logFile(session.profile + "kiv.log"), log(logFile) {
        kivhost::contactList& contacts = session.host.contacts;
        contacts.clear();
        int work = contacts.addGroup("Praca");
        int friends = contacts.addGroup("Znajomi");
        contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
        contacts.addContact("12345", "Olek", friends, "GG");
        contacts.addContact("ewa@tlen.pl", "Ewa", friends, "TLEN");
        writeFile(session.profile + "praca.wav", "RIFF");
        writeFile(session.settingsFile, inProfile(settings, session.profile));
        writeFile(session.filtersFile, inProfile(logFilters, session.profile));
        session.start();
        kivhost::moduleClock::get().advance(60000);
    }
    ~logScene() {
        session.unload();
        session.host.contacts.clear();
        kivhost::moduleClock::get().reset();
    }

    // The lines written since the last call, each without its time and line end.
    std::vector<std::string> newLines() { return log.newLines(); }
};

std::string withLog(const std::string& windowKeys = "") {
    return settingsWith("none.kivs", windowKeys, "[hidden]\r\nloginignoretime=10\r\n[extra]\r\neventlog=1\r\n");
}

using logLines = std::vector<std::string>;

// Whether another program could have the file to itself for reading: not while the module holds
// it open for writing.
bool readableAlone(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void applyLogOption(kivSession& session, bool on) {
    kivhost::optionsWindow options(session.host);
    setCheck(options.pageWindow(), 1065, on);  // the page's eventlog box
    options.apply();
}

}  // namespace

TEST_CASE("kiv.log says which filter level and key decided, or what else held an event back") {
    logScene s("log-reasons", withLog("maxonscreen=1\r\nmsgshowwhenbgonly=1\r\n"));
    kivhost::raiseMessage("GG", "12345", 2, "a");
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "b");
    kivhost::raiseStatusChange(change("TLEN", "ewa@tlen.pl", 2, 5));
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2));
    kivhost::raiseMessage("GG", "12345", 4, "c");
    kivhost::raiseMessage("TLEN", "obcy@tlen.pl", 2, "d");
    CHECK(s.newLines() ==
          logLines{"GG\t12345\twiadomość\tpokazane; filtr globalny: window_eventmessage=1",
                "TLEN\tala@tlen.pl\twiadomość\tpominięte; filtr grupy Praca: window_eventmessage=0",
                "TLEN\tewa@tlen.pl\tstatus: Zaraz wracam\tpominięte; filtr kontaktu: window_status_away=0",
                "TLEN\tala@tlen.pl\tstatus: Dostępny\tpokazane później: limit okien na ekranie; filtr grupy Praca: "
                "window_status_online=1",
                "GG\t12345\twiadomość czatu\tpokazane później: limit okien na ekranie; filtr globalny: "
                "window_eventmessagechat=1",
                "TLEN\tobcy@tlen.pl\twiadomość\tpominięte: kontakt spoza listy"});

    REQUIRE(kivhost::choose("Tlen/CL/Element", {{"12345", "GG"}}, "kiv/menu/contact/ignore"));
    kivhost::raiseMessage("GG", "12345", 2, "e");
    CHECK(s.session.host.raiseSoundEvent(2, "12345") == -1);
    CHECK(s.session.host.raiseSoundEvent(2, "ala@tlen.pl") == -1);
    CHECK(s.session.host.raiseSoundEvent(2, "ewa@tlen.pl") == -1);
    CHECK(s.newLines() == logLines{"GG\t12345\twiadomość\tpominięte: lista ignorowanych",
                                "\t12345\tdźwięk: wiadomość\tcisza: lista ignorowanych",
                                "\tala@tlen.pl\tdźwięk: wiadomość\todtworzono " + s.session.profile + "praca.wav",
                                "\tewa@tlen.pl\tdźwięk: wiadomość\tcisza: brak pliku w filtrze"});

    s.session.service("kiv/setsilent", 1);
    kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "f");
    CHECK(s.session.host.raiseSoundEvent(2, "ewa@tlen.pl") == -1);
    popupRequest request;
    CHECK(popup(s.session, request) == -1);
    s.session.service("kiv/setsilent", 0);
    CHECK(s.newLines() == logLines{"TLEN\tewa@tlen.pl\twiadomość\tpominięte: wyciszone",
                                "\tewa@tlen.pl\tdźwięk: wiadomość\tcisza: wyciszone",
                                "TLEN\tala\tkiv/popup\tpominięte: wyciszone"});

    {
        kivhost::chatWindow chat("Ewa (ewa@tlen.pl) - Dostępny");
        chat.bringToFront();
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == chat.handle(); }, 2000));
        kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "g");
    }
    SetForegroundWindow(s.session.host.mainWindow());
    kivhost::raiseLogin("TLEN");
    kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "h");
    CHECK(s.newLines() ==
          logLines{"TLEN\tewa@tlen.pl\twiadomość\tpominięte: okno czatu na wierzchu (msgshowwhenbgonly=1)",
                "TLEN\t\tzalogowanie\tbez okna",
                "TLEN\tewa@tlen.pl\twiadomość\tpominięte: okres ciszy po zalogowaniu (loginignoretime)"});
}

TEST_CASE("kiv.log names the host's own sounds, the full-screen program and requests it shows") {
    logScene s("log-sounds", "[window]\r\nscheme=none.kivs\r\n[sound]\r\nofflogin=1\r\nfileemail={profile}praca.wav\r\n"
                             "[extra]\r\neventlog=1\r\n");
    CHECK(s.session.host.raiseSoundEvent(1, "") == 0);
    CHECK(s.session.host.raiseSoundEvent(11, "") == -1);
    CHECK(s.session.host.raiseSoundEventWithoutSubject(2) == 0);
    popupRequest request;
    CHECK(popup(s.session, request) == 0);
    {
        fullScreenApp cover;
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == cover.get(); }, 2000));
        kivhost::raiseMessage("GG", "12345", 2, "a");
    }
    CHECK(s.newLines() == logLines{"\t\tdźwięk: logowanie\tdźwięk komunikatora (offlogin=1)",
                                "\t\tdźwięk: e-mail\todtworzono " + s.session.profile + "praca.wav",
                                "\t\tdźwięk: wiadomość\tdźwięk komunikatora: brak kontaktu",
                                "TLEN\tala\tkiv/popup\tpokazane",
                                "GG\t12345\twiadomość\tpominięte: program pełnoekranowy"});
}

TEST_CASE("kiv.log follows kiv/popup/show, update, progress and close, in Windows-1250 whatever the caller's encoding") {
    logScene s("log-show", withLog("maxonscreen=1\r\n"));
    const kiv::popup_options2 utf8 = options2(kiv::popupUtf8);
    popupRequest first, polish, cyrillic;
    polish.protocol = "XMPP";
    polish.contactId = u8"żaneta@jabber.org";
    cyrillic.contactId = u8"юля";
    REQUIRE(showPopup(s.session, first) == 1);
    REQUIRE(showPopup(s.session, polish, &utf8) == 2);
    REQUIRE(showPopup(s.session, cyrillic, &utf8) == 3);
    CHECK(updatePopup(s.session, 1, "nowy tekst") == 0);
    CHECK(progressPopup(s.session, 2, 40) == 0);
    CHECK(closePopup(s.session, 3) == 0);
    CHECK(closePopup(s.session, 3) == -1);
    CHECK(updatePopup(s.session, 3, "za późno") == -1);
    CHECK(progressPopup(s.session, 3, 50) == -1);
    CHECK(progressPopup(s.session, 1, 101) == -1);
    kiv::popup_options2 wrongSize = utf8;
    wrongSize.size = 15;
    CHECK(showPopup(s.session, first, &wrongSize) == -1);
    CHECK(s.session.service(kiv::popupShowService, 0, 0) == -1);
    s.session.service("kiv/setsilent", 1);
    CHECK(showPopup(s.session, cyrillic, &utf8) == -1);
    s.session.service("kiv/setsilent", 0);
    const std::string gone = "odrzucone: powiadomienie zamknięte lub nieznane; id 3";
    CHECK(s.newLines() == logLines{"TLEN\tala\tkiv/popup/show\tpokazane; id 1",
                                   "XMPP\tżaneta@jabber.org\tkiv/popup/show\tpokazane później: limit okien na "
                                   "ekranie; id 2",
                                   "TLEN\t???\tkiv/popup/show\tpokazane później: limit okien na ekranie; id 3",
                                   "TLEN\tala\tkiv/popup/update\tzmieniona treść; id 1",
                                   "XMPP\tżaneta@jabber.org\tkiv/popup/progress\tzmieniony postęp; id 2",
                                   "TLEN\t???\tkiv/popup/close\tzamknięte; id 3",
                                   "\t\tkiv/popup/close\t" + gone,
                                   "\t\tkiv/popup/update\t" + gone,
                                   "\t\tkiv/popup/progress\t" + gone,
                                   "\t\tkiv/popup/progress\todrzucone: zły postęp",
                                   "\t\tkiv/popup/show\todrzucone: zły rekord opcji",
                                   "\t\tkiv/popup/show\todrzucone: zły rekord",
                                   "TLEN\t???\tkiv/popup/show\tpominięte: wyciszone"});
}

TEST_CASE("kiv.log never grows past 1 MB: a long field is cut, and a file the next line would fill becomes kiv.log.1") {
    logScene s("log-roll", withLog());
    const size_t limit = 1024 * 1024;
    writeFile(s.logFile, std::string(limit - 20, 'x'));
    writeFile(s.logFile + ".1", "older");
    kivhost::raiseMessage("GG", "12345", 2, "a");
    CHECK(readFile(s.logFile + ".1") == std::string(limit - 20, 'x'));
    std::string fresh = readFile(s.logFile);
    CHECK(fresh.find("GG\t12345\twiadomość\tpokazane") != std::string::npos);
    CHECK(fresh.size() < 200);
    // A file just below the limit takes lines until the next would pass it.
    writeFile(s.logFile, std::string(limit - 200, 'y'));
    kivhost::raiseMessage("GG", "12345", 2, "b");
    CHECK(readFile(s.logFile).size() <= limit);
    CHECK(readFile(s.logFile).size() > limit - 200);
    // A contact identifier of 2 MB is cut in its line, which rolls the file over as any other.
    const std::string huge(2 * limit, 'z');
    kivhost::raiseStatusChange(change("GG", huge, 1, 2));
    const std::string rolled = readFile(s.logFile);
    CHECK(rolled.size() <= limit);
    CHECK(readFile(s.logFile + ".1").size() > limit - 200);
    const std::string cut = "\tGG\t" + std::string(1024, 'z') + "… [ucięte, 2097152 znaków]\tstatus: Dostępny\t";
    CHECK(rolled.find(cut) != std::string::npos);
    CHECK(rolled.size() < 1200);
    CHECK(readableAlone(s.logFile + ".1"));
}

// Others read it meanwhile; one that wants it to itself waits for the option to go off or the
// plug-in to unload.
TEST_CASE("kiv.log stays open between lines while eventlog is on, and is let go when it goes off and at unload") {
    logScene s("log-open", withLog());
    struct step {
        const char* what;
        bool on;  // the option as the page applies it before the message
        bool held;
    };
    for (const step& st : {step{"on", true, true}, step{"off", false, false}, step{"on again", true, true}}) {
        CAPTURE(st.what);
        applyLogOption(s.session, st.on);
        kivhost::raiseMessage("GG", "12345", 2, "a");
        CHECK(s.newLines().size() == (st.on ? 1u : 0u));
        CHECK(readableAlone(s.logFile) == !st.held);
    }
    s.session.unload();
    CHECK(readableAlone(s.logFile));
}

TEST_CASE("kiv.log: a file that cannot be written changes nothing else; with eventlog off there is none") {
    SUBCASE("not writable") {
        logScene s("log-blocked", withLog());
        CreateDirectoryA(s.logFile.c_str(), nullptr);  // a folder where the file would be
        kivhost::raiseMessage("GG", "12345", 2, "a");
        CHECK(settle(1).size() == 1);
        RemoveDirectoryA(s.logFile.c_str());
    }
    SUBCASE("off") {
        logScene s("log-off", settingsWith("none.kivs", ""));
        kivhost::raiseMessage("GG", "12345", 2, "a");
        CHECK(settle(1).size() == 1);
        CHECK_FALSE(fileExists(s.logFile));
    }
}

// Each line is in the system's hands once written: a messenger that is killed loses none.
TEST_CASE("kiv.log keeps every line written when the messenger's process is killed") {
    const std::string profile = scratchFolder("log-killed");
    const std::string script = profile + "log.kivscript";
    writeFile(script, "set config general fullscreenautooff 0\nset config extra eventlog 1\n"
                      "set filters global window_eventmessage 1\nload\nmessage ala@tlen.pl a\nmessage ala@tlen.pl b\n"
                      "wait 600000\n");
    kivhostProcess child(profile, script);
    REQUIRE(child.started());
    logFollower log(profile + "kiv.log");
    logLines lines;
    kivhost::pumpUntil([&] {
        for (const std::string& line : log.newLines()) lines.push_back(line);
        return lines.size() >= 4;
    }, 60000);
    child.kill();
    const std::string message = "TLEN\tala@tlen.pl\twiadomość\tpokazane; filtr globalny: window_eventmessage=1";
    const std::string sound = "\tala@tlen.pl\tdźwięk: wiadomość\tcisza: brak pliku w filtrze";
    const logLines expected = {message, sound, message, sound};
    CHECK(lines == expected);
    CHECK(logFollower(profile + "kiv.log").newLines() == expected);
}
