// From the messenger's protocol events to what the user sees and hears: status changes and
// messages of "TLEN" and "GG" contacts through the built plug-in.
#include <doctest.h>

#include "chatScenes.h"
#include "chatWindow.h"
#include "notifySupport.h"

using namespace kivtest;

namespace {

// A contact list of two groups, the settings and filters of one test, and the module's clock
// far from any log-in unless a test logs in.
struct protocolScene {
    kivSession session;
    kivhost::contactList& contacts;
    int work = 0;
    int friends = 0;
    std::string offlineSound;

    // "{profile}" in the filters and settings stands for this test's profile folder, which holds
    // the sound files offline.wav and gg.wav.
    protocolScene(const std::string& name, const std::string& windowKeys, std::string filters,
                  std::string moreSettings = "")
        : session(name, false), contacts(session.host.contacts) {
        contacts.clear();
        work = contacts.addGroup("Praca");
        friends = contacts.addGroup("Znajomi");
        contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
        contacts.addContact("12345", "Olek", friends, "GG");
        contacts.addContact("ewa@tlen.pl", "Ewa", friends, "TLEN");
        offlineSound = session.profile + "offline.wav";
        writeFile(offlineSound, "RIFF");
        writeFile(session.profile + "gg.wav", "RIFF");
        filters = inProfile(filters, session.profile);
        moreSettings = inProfile(moreSettings, session.profile);
        writeFile(session.settingsFile,
                  settingsWith("none.kivs", windowKeys, "[hidden]\r\nloginignoretime=10\r\n" + moreSettings));
        writeFile(session.filtersFile, filters);
        session.start();
        // The quiet period runs from the system's start until the first log-in: move past it.
        kivhost::moduleClock::get().advance(60000);
        kivhost::soundRecorder::get().clear();
    }
    ~protocolScene() { contacts.clear(); }

    std::vector<std::string> sounds() const {
        std::vector<std::string> files;
        for (const auto& s : kivhost::soundRecorder::get().played) files.push_back(s.file);
        return files;
    }
};

// Every status shown, every message shown, own sounds: what most tests start from. Keys given
// as "key=value" lines replace the defaults (the profile reader takes a key's first line).
std::string globalFilter(const std::string& changes = "", const std::string& offlineSound = "") {
    std::vector<std::pair<std::string, std::string>> keys = {
        {"window_inherit", "0"},      {"window_status_offline", "1"},   {"window_onlineonly", "0"},
        {"window_eventmessage", "1"}, {"window_eventmessagechat", "1"}, {"sound_inherit", "0"},
        {"sound_fileoffline", offlineSound}};
    size_t start = 0;
    for (size_t end; (end = changes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = changes.substr(start, end - start);
        std::string key = line.substr(0, line.find('='));
        std::string value = line.substr(line.find('=') + 1);
        auto known = std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return k.first == key; });
        if (known == keys.end()) keys.insert(keys.begin() + 1, {key, value});
        else known->second = value;
    }
    std::string text = "[global]\r\n";
    for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
    return text;
}

std::string globalWithSound(const std::string& windowKeys = "") {
    return globalFilter(windowKeys, "{profile}offline.wav");
}

void hide(protocolScene& scene, const char* contactId) {
    scene.contacts.setHidden(scene.contacts.findContact(contactId)->item.handle, true);
}

}  // namespace

TEST_CASE("a log-in burst raises nothing, the first change after the quiet period raises one window") {
    protocolScene s("proto-login", "", globalFilter());
    kivhost::moduleClock::get().freeze(1000000);
    kivhost::raiseLogin("TLEN");
    for (int i = 0; i < 20; ++i) kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2 + i % 5));
    CHECK(settle(0).empty());

    kivhost::moduleClock::get().freeze(1000000 + 9999);
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 1));
    CHECK(settle(0).empty());

    kivhost::moduleClock::get().freeze(1000000 + 10000);
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2));
    CHECK(settle(1).size() == 1);
}

TEST_CASE("a GG log-in plays its sound and quiets only GG events") {
    protocolScene s("proto-gglogin", "", globalFilter(), "[sound]\r\nfilelogingg={profile}gg.wav\r\n");
    kivhost::moduleClock::get().freeze(5000000);
    kivhost::soundRecorder::get().clear();
    std::string loginSound = s.session.profile + "gg.wav";

    kivhost::raiseLogin("GG");
    CHECK(s.sounds() == std::vector<std::string>{loginSound});
    CHECK(kivhost::soundRecorder::get().played[0].flags == 0x20003);

    kivhost::moduleClock::get().freeze(5000000 + 5000);
    kivhost::raiseStatusChange(change("GG", "12345", 1, 2));
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2));
    std::vector<HWND> windows = settle(1);
    REQUIRE(windows.size() == 1);
    CHECK(paintOf(windows[0]).texts.at(0) == "Ala (ala@tlen.pl)");
}

TEST_CASE("status changes: coming online, going away, description changes") {
    SUBCASE("coming online shows the contact line and the description, with the status icon") {
        protocolScene s("proto-online", "", globalFilter());
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2, nullptr, "w pracy"));
        std::vector<HWND> windows = settle(1);
        REQUIRE(windows.size() == 1);
        kivhost::paintedWindow w = paintOf(windows[0]);
        CHECK(w.texts == std::vector<std::string>{"Ala (ala@tlen.pl)", "w pracy"});
        CHECK(w.bitmaps.empty());  // the contact's own status icon, not a module bitmap
        CHECK(s.sounds().empty());
    }
    SUBCASE("window_ignoreaway drops present to away, but not absent to away") {
        protocolScene s("proto-away", "", globalFilter("window_ignoreaway=1\r\n"));
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 5));
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 3, 6));
        CHECK(settle(0).empty());
        kivhost::raiseStatusChange(change("TLEN", "ewa@tlen.pl", 1, 5));
        CHECK(settle(1).size() == 1);
    }
    SUBCASE("a description-only change needs window_descchange") {
        protocolScene s("proto-desc", "", globalFilter());
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 2, "stary", "nowy"));
        CHECK(settle(0).empty());
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 2, "nowy", "nowy"));
        CHECK(settle(0).empty());
    }
    SUBCASE("with window_descchange it shows the new description") {
        protocolScene s("proto-descchange", "", globalFilter("window_descchange=1\r\n"));
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 2, "stary", "nowy"));
        std::vector<HWND> windows = settle(1);
        REQUIRE(windows.size() == 1);
        CHECK(paintOf(windows[0]).texts.at(1) == "nowy");
    }
    SUBCASE("window_onlineonly lets only absent-to-present changes through") {
        protocolScene s("proto-onlineonly", "", globalFilter("window_onlineonly=1\r\n"));
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 5, 2));
        CHECK(settle(0).empty());
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2));
        CHECK(settle(1).size() == 1);
    }
}

TEST_CASE("going offline or invisible plays the offline sound, with or without a window") {
    SUBCASE("to unavailable, shown") {
        protocolScene s("proto-offline", "", globalWithSound());
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 3, 1));
        CHECK(settle(1).size() == 1);
        CHECK(s.sounds() == std::vector<std::string>{s.offlineSound});
    }
    SUBCASE("to invisible, with the offline window flag clear") {
        protocolScene s("proto-invisible", "", globalWithSound("window_status_offline=0\r\n"));
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 7));
        CHECK(settle(0).empty());
        CHECK(s.sounds() == std::vector<std::string>{s.offlineSound});
    }
}

TEST_CASE("a contact hidden by mub raises nothing with ignoremub on") {
    SUBCASE("ignoremub on: no window and no offline sound") {
        protocolScene s("proto-mub", "", globalWithSound(), "[ztk]\r\nignoremub=1\r\n");
        hide(s, "ala@tlen.pl");
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 1));
        CHECK(settle(0).empty());
        CHECK(s.sounds().empty());
    }
    SUBCASE("ignoremub off: both") {
        protocolScene s("proto-mub-off", "", globalWithSound());
        hide(s, "ala@tlen.pl");
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 1));
        CHECK(settle(1).size() == 1);
        CHECK(s.sounds() == std::vector<std::string>{s.offlineSound});
    }
    SUBCASE("a change the filter does not show still plays the offline sound") {
        protocolScene s("proto-mub-quiet", "", globalWithSound("window_status_offline=0\r\n"),
                        "[ztk]\r\nignoremub=1\r\n");
        hide(s, "ala@tlen.pl");
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 1));
        CHECK(settle(0).empty());
        CHECK(s.sounds() == std::vector<std::string>{s.offlineSound});
    }
}

TEST_CASE("a TLEN description that repeats the status name is dropped, a GG one is kept") {
    protocolScene s("proto-statusname", "", globalFilter());
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 5, nullptr, "Zaraz wracam"));
    std::vector<HWND> windows = settle(1);
    REQUIRE(windows.size() == 1);
    CHECK(paintOf(windows[0]).texts == std::vector<std::string>{"Ala (ala@tlen.pl)", ""});
    RECT small = kivhost::windowRect(windows[0]);
    CHECK(small.bottom - small.top == 24);  // the small window

    kivhost::raiseStatusChange(change("GG", "12345", 2, 5, nullptr, "Zaraz wracam"));
    windows = settle(2);
    REQUIRE(windows.size() == 2);
    bool kept = false;
    for (HWND w : windows) kept |= paintOf(w).texts.back() == "Zaraz wracam";
    CHECK(kept);
}

TEST_CASE("messages and chat messages raise windows with their icons") {
    protocolScene s("proto-messages", "", globalFilter());
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć, jak się masz?");
    std::vector<HWND> windows = settle(1);
    REQUIRE(windows.size() == 1);
    kivhost::paintedWindow message = paintOf(windows[0]);
    CHECK(message.texts == std::vector<std::string>{"Ala (ala@tlen.pl)", "Cześć, jak się masz?"});
    CHECK(message.bitmaps == std::vector<std::string>{"message"});

    kivhost::raiseMessage("GG", "12345", 4, "na czacie");
    windows = settle(2);
    REQUIRE(windows.size() == 2);
    bool chatIcon = false;
    for (HWND w : windows) chatIcon |= paintOf(w).bitmaps == std::vector<std::string>{"chatmessage"};
    CHECK(chatIcon);
    CHECK(s.sounds().empty());  // message sounds come from the host's sound engine
}

TEST_CASE("message filters: a chat message needs window_eventmessagechat") {
    protocolScene s("proto-chatfilter", "", globalFilter("window_eventmessagechat=0\r\n"));
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 4, "czat");
    CHECK(settle(0).empty());
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "zwykła");
    CHECK(settle(1).size() == 1);
}

TEST_CASE("msgshowwhenbgonly: no message window while that contact's chat window is in front") {
    protocolScene s("proto-bgonly", "msgshowwhenbgonly=1\r\n", globalFilter());
    kivhost::chatWindow chat("Ala (ala@tlen.pl) - Dostępny");
    chat.bringToFront();
    REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == chat.handle(); }, 2000));
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "widzisz to w czacie");
    CHECK(settle(0).empty());
    kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "inna rozmowa");  // another contact's message
    CHECK(settle(1).size() == 1);

    SetForegroundWindow(s.session.host.mainWindow());
    REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() != chat.handle(); }, 2000));
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "teraz w tle");
    CHECK(settle(2).size() == 2);
}

TEST_CASE("msgshowwhenbgonly asks only the messenger's own chat window, and never waits on it") {
    protocolScene s("proto-bgonly-front", "msgshowwhenbgonly=1\r\n", globalFilter());
    SUBCASE("its chat window hung: the hook reads the title and returns while the window still hangs") {
        hungChat chat;
        REQUIRE(chat.handle());
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == chat.handle(); }, 2000));
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "widzisz to w czacie");
        CHECK(chat.stillHung());
        kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "inna rozmowa");
        CHECK(chat.stillHung());
        CHECK(settle(1).size() == 1);  // Ala's message was in her chat, Ewa's was not
    }
    SUBCASE("a TChat window of another program is not the messenger's chat") {
        otherMessenger other(s.session.profile + "other\\");
        REQUIRE(other.chat());
        SetForegroundWindow(other.chat());
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == other.chat(); }, 2000));
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "nie w tym czacie");
        CHECK(settle(1).size() == 1);
    }
    SetForegroundWindow(s.session.host.mainWindow());
    kivhost::pumpMessages(30);
}

TEST_CASE("showdesc and showmessage off leave the texts out") {
    protocolScene s("proto-notext", "showdesc=0\r\nshowmessage=0\r\n", globalFilter());
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2, nullptr, "opis"));
    kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "treść");
    std::vector<HWND> windows = settle(2);
    REQUIRE(windows.size() == 2);
    for (HWND w : windows) CHECK(paintOf(w).texts.back() == "");
}

TEST_CASE("contacts that are ignored or not on the list raise nothing") {
    protocolScene s("proto-unknown", "", globalFilter());
    kivhost::raiseStatusChange(change("TLEN", "obcy@tlen.pl", 1, 2));
    kivhost::raiseMessage("TLEN", "obcy@tlen.pl", 2, "spam");
    CHECK(settle(0).empty());
}

TEST_CASE("a group filter and a contact filter decide for their contacts") {
    std::string filters = globalFilter() +
                          "[group:Znajomi]\r\nwindow_inherit=0\r\nwindow_status_online=0\r\nwindow_onlineonly=0\r\n"
                          "sound_inherit=1\r\n"
                          "[contact:ala@tlen.pl]\r\nwindow_inherit=0\r\nwindow_status_online=0\r\n"
                          "window_eventmessage=0\r\nsound_inherit=1\r\n";
    protocolScene s("proto-levels", "", filters);
    kivhost::raiseStatusChange(change("TLEN", "ewa@tlen.pl", 1, 2));  // group: online not shown
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2));  // contact: online not shown
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "nic");           // contact: messages off
    CHECK(settle(0).empty());
    kivhost::raiseStatusChange(change("TLEN", "ewa@tlen.pl", 2, 4));  // group: busy shown
    CHECK(settle(1).size() == 1);
}

TEST_CASE("events with missing or unexpected parts are dropped without harm") {
    protocolScene s("proto-odd", "", globalFilter());
    kiv::abi::status_event record = {};
    record.protocol = "TLEN";
    record.newStatus = 2;
    record.previousStatus = 1;
    CHECK(s.session.host.raiseProtocolEvent("TLEN", 2, &record) == 0);  // null contact id
    CHECK(s.session.host.raiseProtocolEvent("TLEN", 2, nullptr) == 0);
    CHECK(s.session.host.raiseProtocolEvent("TLEN", 99, &record) == 0);
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, nullptr);  // no text: an empty description
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 12));  // no such status
    std::vector<HWND> windows = settle(1);
    REQUIRE(windows.size() == 1);
    CHECK(paintOf(windows[0]).bitmaps == std::vector<std::string>{"message"});
}
