// The messenger's protocol events with null, over-long and unknown contents: refused or cut, never
// a crash.
#include <doctest.h>

#include <climits>
#include <string>
#include <vector>

#include "badInput.h"

using namespace kivtest;

namespace {

constexpr size_t textField = 512;  // the description a window holds, less its terminator
constexpr size_t idField = 63;

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

}  // namespace

TEST_SUITE("bad input") {

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

}  // TEST_SUITE
