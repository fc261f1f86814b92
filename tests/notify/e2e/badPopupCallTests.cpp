// Callers that get things wrong: other plug-ins with records of the wrong size or random fields,
// the messenger with null, over-long or unknown event contents, identifiers and group names longer
// than any field, and profile folders near and past the path buffers. The plug-in must refuse
// what it cannot read, cut what does not fit, and never crash, hang or touch a file it does not own.
#include <doctest.h>

#include <climits>
#include <string>
#include <vector>

#include "badInput.h"
#include "dialogDriving.h"
#include "popupMenus.h"

using namespace kivtest;

namespace {

constexpr size_t textField = 512;  // the description a window holds, less its terminator
constexpr size_t idField = 63;

// Random bytes without the terminator, sometimes right at the field's edges.
std::string randomText(garbage& g) {
    static const size_t edges[] = {0, 1, textField - 1, textField, textField + 1, 3000};
    size_t size = g.below(3) == 0 ? edges[g.below(6)] : static_cast<size_t>(g.below(1500));
    std::string text;
    for (size_t i = 0; i < size; ++i) text += static_cast<char>(1 + g.below(255));
    return text;
}

// The scheme is written before the session starts, which reads it.
struct popupScene {
    testScheme scheme{"kivtest-plain.kivs", plainScheme};
    notifySession session;
    explicit popupScene(const std::string& name)
        : session(name, settingsWith(scheme.name, lines({"visibletime=1", "maxonscreen=0", "contactformat=1",
                                                         "clickclose=0", "clickopenchat=0"}))) {
        freezeClock();
    }
};

// ---- protocol events -----------------------------------------------------------------------

// Contacts of both protocols, one whose identifier and name are longer than every field; every
// status and message shown, and a sound for messages.
struct eventScene {
    kivSession session;
    kivhost::contactList& contacts;
    std::string longId = std::string(5000, 'i') + "@tlen.pl";

    explicit eventScene(const std::string& name) : session(name, false), contacts(session.host.contacts) {
        contacts.clear();
        int group = contacts.addGroup("Praca");
        contacts.addContact("ala@tlen.pl", "Ala", group, "TLEN");
        contacts.addContact("12345", "Olek", group, "GG");
        contacts.addContact(longId, std::string(3000, 'n'), group, "TLEN");
        writeFile(session.profile + "message.wav", "RIFF");
        writeFile(session.settingsFile, settingsWith("none.kivs", lines({"maxonscreen=0", "contactformat=1", "clickclose=1", "clickopenchat=0"})));
        writeFile(session.filtersFile, "[global]\r\nwindow_inherit=0\r\nwindow_status_offline=1\r\n"
                                       "window_onlineonly=0\r\nwindow_eventmessage=1\r\nwindow_eventmessagechat=1\r\n"
                                       "sound_inherit=0\r\nsound_filemessage=" +
                                           session.profile + "message.wav\r\n");
        session.start();
        kivhost::moduleClock::get().advance(60000);  // past the quiet period after the system's start
        kivhost::soundRecorder::get().clear();
    }
    ~eventScene() { contacts.clear(); }
};

// ---- long names ----------------------------------------------------------------------------

bool hasSection(const std::string& file, const std::string& name) {
    for (const std::string& section : sectionNames(file))
        if (section == name) return true;
    return false;
}

std::string groupSection(const std::string& group, bool online) {
    return "[group:" + group + "]\r\nwindow_inherit=0\r\nwindow_status_online=" + (online ? "1" : "0") +
           "\r\nsound_inherit=1\r\n";
}

// ---- profiles ------------------------------------------------------------------------------

// A real folder of about the given length under the test's profile, made of names the file
// system takes; longer than the platform's own paths, it is only named, never made.
std::string deepFolder(const std::string& base, size_t length) {
    std::string folder = base;
    while (folder.size() + 1 < length) {
        size_t part = std::min<size_t>(200, length - folder.size() - 1);
        folder += std::string(part, 'p') + "\\";
        if (length < 4000) CreateDirectoryA(folder.c_str(), nullptr);
    }
    return folder;
}

std::string winIni() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return readFile(std::string(folder) + "\\win.ini");
}

}  // namespace

TEST_SUITE("bad input") {

TEST_CASE("kiv/popup refuses records of any other size and ignores options of any other size") {
    popupScene s("bad-popup-sizes");
    garbage g(11);

    SUBCASE("records") {
        std::vector<int32_t> sizes = {INT_MIN, -46, -1, 4096, INT_MAX};
        for (int32_t size = 0; size <= 120; ++size)
            if (size != static_cast<int32_t>(sizeof(kiv::popup_info))) sizes.push_back(size);
        std::vector<unsigned char> record(8192);
        for (int32_t size : sizes) {
            CAPTURE(size);
            for (unsigned char& byte : record) byte = static_cast<unsigned char>(g.below(256));
            memcpy(record.data(), &size, sizeof size);
            CHECK(s.session.service("kiv/popup", reinterpret_cast<WPARAM>(record.data()), 0) == -1);
        }
        CHECK(s.session.service("kiv/popup", 0, 0) == -1);
        kivhost::pumpMessages(300);
        CHECK(notifications().empty());
    }

    SUBCASE("options: only a record of their own size keeps its window open") {
        const int32_t sizes[] = {INT_MIN, -1, 0, 1, 4, 6, 10, 29, 31, 64, INT_MAX, 30};
        std::vector<std::vector<unsigned char>> records;
        for (int32_t size : sizes) {
            std::vector<unsigned char> record(4096);
            for (unsigned char& byte : record) byte = static_cast<unsigned char>(g.below(256));
            kiv::popup_options options = overrideOptions(false, true, size);
            options.iconBitmap = nullptr;
            memcpy(record.data(), &options, sizeof options);
            records.push_back(record);
        }
        for (size_t i = 0; i < records.size(); ++i) {
            kiv::popup_info info = {};
            info.size = sizeof info;
            info.nick = "Ala";
            info.text = "zostaję?";
            info.clickCallback = clickLog::record;
            info.callbackData = static_cast<int>(i);
            REQUIRE(s.session.service("kiv/popup", reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(records[i].data())) == 0);
        }
        REQUIRE(waitForCount(records.size(), 4000));
        moveClock(5000);
        REQUIRE(waitForCount(1, 4000));
        CHECK(requestIndexes() == std::set<int>{static_cast<int>(records.size() - 1)});
    }
    CHECK(heapsIntact());
}

TEST_CASE("kiv/popup with random fields, texts past their fields and icons that are not bitmaps") {
    const objectCounts before = liveObjects();
    popupScene s("bad-popup-fields");
    garbage g(12);

    HDC screen = GetDC(nullptr);
    HBITMAP stale = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    DeleteObject(stale);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const HBITMAP foreignIcons[] = {stale, reinterpret_cast<HBITMAP>(brush), reinterpret_cast<HBITMAP>(0x12345678),
                                    reinterpret_cast<HBITMAP>(UINT_PTR(0xFFFFFFFF)), nullptr};

    constexpr int count = 120;
    std::vector<std::string> texts, nicks;
    for (int i = 0; i < count; ++i) {
        texts.push_back(randomText(g));
        nicks.push_back(randomText(g));
        const std::string iconNames[] = {"message", "", "chatmessage", randomText(g)};
        std::string icon = iconNames[g.below(4)];
        kiv::popup_info info = {};
        info.size = sizeof info;
        info.protocol = g.below(5) ? "TLEN" : nullptr;
        info.contactId = g.below(5) ? nicks.back().c_str() : nullptr;
        info.nick = nicks.back().c_str();
        info.text = texts.back().c_str();
        info.iconName = icon.c_str();
        info.status = g.anyInt();
        info.itemHandle = g.below(2) ? g.anyInt() : g.below(8);
        info.small = static_cast<uint8_t>(g.below(256));
        info.effect = g.anyInt();
        info.effectClose = static_cast<uint8_t>(g.below(256));
        info.clickCallback = i % 10 ? clickLog::record : nullptr;
        info.callbackData = i;
        kiv::popup_options options = overrideOptions(g.below(2), g.below(2));
        options.iconBitmap = foreignIcons[g.below(5)];
        for (uint8_t& byte : options.reserved) byte = static_cast<uint8_t>(g.below(256));
        REQUIRE(s.session.service("kiv/popup", reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(&options)) == 0);
    }
    REQUIRE(waitForCount(count, 15000));

    size_t cut = 0, silent = 0;
    for (HWND window : notifications()) {
        int index = requestIndex(window);
        if (index < 0) {  // no callback: the window cannot say which request it shows
            ++silent;
            continue;
        }
        std::vector<std::string> painted = paintOf(window).texts;
        for (const std::string& text : painted) CHECK(text.size() <= textField);
        std::string expected = texts[index].substr(0, textField);
        if (!expected.empty() && painted.size() >= 2) CHECK(painted[1] == expected);
        cut += texts[index].size() > textField ? 1 : 0;
    }
    CHECK(cut > 0);
    CHECK(silent == count / 10);

    // Clicks with and without a callback, then every window goes.
    for (HWND window : notifications()) {
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
        SendMessageA(window, WM_RBUTTONUP, 0, 0);
    }
    moveClock(5000);
    s.session.service("kiv/setsilent", 1);
    s.session.service("kiv/setsilent", 0);
    CHECK(stillShowsNotifications(s.session));
    CHECK(heapsIntact());
    s.session.unload();
    CHECK(liveObjects() == before);
    CHECK(GetObjectType(brush) == OBJ_BRUSH);  // the caller's, never deleted by the plug-in
    DeleteObject(brush);
}

TEST_CASE("protocol events with null, over-long and unknown contents") {
    eventScene s("bad-protocol-events");
    const std::string huge(100000, 'd');

    SUBCASE("unknown kinds are not read as statuses or messages, known kinds without data do nothing") {
        kiv::abi::status_event record = {};
        record.contactId = "ala@tlen.pl";
        record.protocol = "TLEN";
        record.previousStatus = 1;
        record.newStatus = 2;
        record.newDescription = "opis";
        for (int kind : {INT_MIN, -1, 0, 3, 4, 5, 6, 7, 9, 255, INT_MAX})
            CHECK(s.session.host.raiseProtocolEvent("TLEN", kind, &record) == 0);
        for (int kind : {kiv::abi::protocolEventMessage, kiv::abi::protocolEventStatus})
            CHECK(s.session.host.raiseProtocolEvent("TLEN", kind, nullptr) == 0);
        CHECK(settle(0, 3000).empty());
    }

    SUBCASE("statuses out of range and null texts") {
        for (int status : {INT_MIN, -1, 0, 8, 1000, INT_MAX}) {
            kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, status));
            kivhost::raiseStatusChange(change("GG", "12345", status, status));
        }
        CHECK(settle(0, 3000).empty());
        kiv::abi::status_event record = {};  // no contact, no protocol
        record.previousStatus = 1;
        record.newStatus = 2;
        CHECK(s.session.host.raiseProtocolEvent("TLEN", kiv::abi::protocolEventStatus, &record) == 0);
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, nullptr);
        kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2));
        CHECK(settle(2, 3000).size() == 2);
    }

    SUBCASE("descriptions, messages and identifiers longer than every field are cut") {
        kivhost::raiseStatusChange(change("TLEN", s.longId, 1, 2, nullptr, huge.c_str()));
        std::vector<HWND> shown = settle(1, 3000);
        REQUIRE(shown.size() == 1);
        std::vector<std::string> painted = paintOf(shown[0]).texts;
        REQUIRE(painted.size() == 2);
        CHECK(painted[0] == s.longId.substr(0, idField));
        CHECK(painted[1] == huge.substr(0, textField));

        SendMessageA(shown[0], WM_RBUTTONUP, 0, 0);  // closes it
        kivhost::raiseMessage("TLEN", s.longId, 2, huge.c_str());
        kivhost::raiseMessage("GG", std::string(100000, '7'), 4, huge.c_str());
        std::vector<HWND> messages = settle(1, 3000);
        REQUIRE(messages.size() == 1);
        CHECK(paintOf(messages[0]).texts.back() == huge.substr(0, textField));
    }

    SUBCASE("sound events of unknown kinds, without a subject, and for identifiers past every field") {
        kivhost::hostCore& host = s.session.host;
        for (int kind : {INT_MIN, -1, 0, 12, 1000, INT_MAX}) {
            CHECK(host.raiseSoundEvent(kind, s.longId.c_str()) == 0);
            CHECK(host.raiseSoundEvent(kind, nullptr) == 0);
            CHECK(host.raiseSoundEventWithoutSubject(kind) == 0);
        }
        CHECK(kivhost::soundRecorder::get().played.empty());
        CHECK(host.raiseSoundEvent(2, s.longId.c_str()) == -1);
        REQUIRE(kivhost::soundRecorder::get().played.size() == 1);
        CHECK(kivhost::soundRecorder::get().played[0].file == s.session.profile + "message.wav");
    }
    CHECK(heapsIntact());
}

// A name of 300 bytes fits no fixed section buffer; one of 70,000 the platform lists but cannot
// read keys from, so its contacts follow the levels above.
TEST_CASE("group names longer than a section name keep filters of their own") {
    const std::string common(300, 'g');
    const std::string shows = common + "A", hides = common + "B", enormous(70000, 'h');
    std::string filters = "[global]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nsound_inherit=0\r\n" +
                          groupSection(shows, true) + groupSection(hides, false) + groupSection(enormous, false);
    std::string saved;
    for (int run = 0; run < 2; ++run) {
        CAPTURE(run);
        kivSession session("bad-long-groups", false);
        kivhost::contactList& contacts = session.host.contacts;
        contacts.clear();
        contacts.addContact("a@tlen.pl", "A", contacts.addGroup(shows), "TLEN");
        contacts.addContact("b@tlen.pl", "B", contacts.addGroup(hides), "TLEN");
        contacts.addContact("h@tlen.pl", "H", contacts.addGroup(enormous), "TLEN");
        writeFile(session.settingsFile, settingsWith("none.kivs", ""));
        writeFile(session.filtersFile, run == 0 ? filters : saved);
        session.start();
        kivhost::moduleClock::get().advance(60000);
        for (const char* id : {"a@tlen.pl", "b@tlen.pl", "h@tlen.pl"})
            kivhost::raiseStatusChange(change("TLEN", id, 1, 2));
        std::set<std::string> shown;
        for (HWND window : settle(2, 3000)) shown.insert(paintOf(window).texts.front());
        CHECK(shown == std::set<std::string>{"A (a@tlen.pl)", "H (h@tlen.pl)"});
        CHECK(heapsIntact());
        session.unload();
        contacts.clear();
        CHECK(hasSection(session.filtersFile, "group:" + shows));
        CHECK(hasSection(session.filtersFile, "group:" + hides));
        saved = readFile(session.filtersFile);
    }
}

TEST_CASE("the filter dialog of a contact whose identifier, name and typed paths pass every field") {
    const std::string id = std::string(1000, 'i') + "@tlen.pl", section = "contact:" + id;
    const std::string typed(1100, 's');  // past the 1024 bytes the dialog reads
    const int soundEdits[] = {1009, 1010, 1011, 1024, 1022, 1012, 1013};
    std::string saved;
    for (int run = 0; run < 2; ++run) {
        CAPTURE(run);
        kivSession session("bad-filter-dialog", false);
        session.host.contacts.clear();
        session.host.contacts.addContact(id, std::string(3000, 'n'), session.host.contacts.addGroup("Praca"));
        writeFile(session.filtersFile, run == 0 ? "[global]\r\nwindow_inherit=0\r\n" : saved);
        session.start();
        std::string caption;
        {
            dialogGuard guard;
            kivhost::dialogWatcher watcher("Ustawienia powiadomień", [&](HWND dialog) {
                setCheck(dialog, 1027, false);  // own windows
                setCheck(dialog, 1026, false);  // own sounds
                if (run == 0)
                    for (int edit : soundEdits) typeText(dialog, edit, typed);
                click(dialog, IDOK);
            });
            CHECK(kivhost::choose("Tlen/CL/Element", {{id}}, "kiv/menu/contact/setup"));
            CHECK_FALSE(guard.fired());
            REQUIRE(watcher.seen().size() == 1);
            caption = watcher.seen()[0].caption;
        }
        CHECK(caption.size() == 255);
        CHECK(heapsIntact());
        session.unload();
        session.host.contacts.clear();
        CHECK(iniValue(session.filtersFile, section.c_str(), "window_inherit") == "0");
        for (const char* key : {"sound_fileonline", "sound_filevoice"})
            CHECK(iniValue(session.filtersFile, section.c_str(), key) == typed.substr(0, 127));
        if (run == 1) CHECK(readFile(session.filtersFile) == saved);
        saved = readFile(session.filtersFile);
    }
}

TEST_CASE("profile folders near and past the path buffers: no crash, and nothing lands in win.ini") {
    const std::string before = winIni();
    // The longer of the two names must fit 1024 bytes with its terminator, then one byte more.
    const size_t longestName = strlen("kiv.filters.config");
    for (size_t length : {1023 - longestName - 1, 1023 - longestName, 1024 - longestName, 1030u, 5000u}) {
        CAPTURE(length);
        kivSession session("bad-profile-path", false);
        std::string folder = deepFolder(session.profile, length);
        session.host.setProfile("tester", folder);
        session.start();
        REQUIRE(session.plugin->running());
        CHECK(stillShowsNotifications(session));
        session.service("kiv/setsilent", 1);
        CHECK(heapsIntact());
        session.unload();
    }
    CHECK(winIni() == before);
}

}  // TEST_SUITE
