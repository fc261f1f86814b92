// Filter files the user (or a crash, or another program) damaged: random bytes, hostile numbers and
// endless names. The plug-in must start, keep working and write back values it can read again.
#include <doctest.h>

#include <string>

#include "badInput.h"
#include "protocolEvents.h"

using namespace kivtest;

namespace {

const char* const filterFlags[] = {"window_inherit",      "window_status_online", "window_status_chat",
                                   "window_status_dnd",   "window_status_away",   "window_status_xa",
                                   "window_status_offline", "window_onlineonly",  "window_ignoreaway",
                                   "window_descchange",   "window_eventmessage",  "window_eventmessagechat",
                                   "sound_inherit"};
const char* const filterPaths[] = {"sound_fileonline",      "sound_fileoffline", "sound_filemessage",
                                   "sound_filemessagechatstart", "sound_filemessagechat", "sound_filefile",
                                   "sound_filevoice"};

std::string badFilterValue(const std::string& file) {
    for (const std::string& section : sectionNames(file)) {
        for (const char* key : filterFlags) {
            std::string value = iniValue(file, section.c_str(), key);
            if (value != "0" && value != "1" && value != "<missing>") return section.substr(0, 40) + " " + key + "=" + value;
        }
        for (const char* key : filterPaths)
            if (iniValue(file, section.c_str(), key).size() > 127) return section.substr(0, 40) + " " + key;
    }
    return "";
}

// A contact in each of two groups, so that status events go the whole way through the filters.
void addContacts(kivhost::contactList& contacts) {
    contacts.clear();
    int work = contacts.addGroup("Praca");
    int friends = contacts.addGroup(std::string(3000, 'g'));
    contacts.addContact("ala@tlen.pl", "Ala", work);
    contacts.addContact("12345", "Olek", friends, "GG");
}

void raiseSomeEvents() {
    kivhost::moduleClock::get().advance(60000);  // past the quiet period after the system's start
    for (const char* id : {"ala@tlen.pl", "12345"}) {
        kivhost::statusChange change;
        change.contactId = id;
        change.protocol = id[0] == '1' ? "GG" : "TLEN";
        kivhost::raiseStatusChange(change);
        change.previousStatus = 2;
        change.newStatus = 1;
        kivhost::raiseStatusChange(change);
        kivhost::raiseMessage(change.protocol, id, 6, "wiadomość");
        kivhost::hostCore::get().raiseSoundEvent(2, id);
    }
    kivhost::pumpMessages(250);
}

void survivesFilters(const std::string& name, const std::string& content) {
    CAPTURE(name);
    std::string written;
    {
        kivSession session(name, false);
        addContacts(session.host.contacts);
        writeFile(session.settingsFile, "[general]\r\nfullscreenautooff=0\r\n");
        writeFile(session.filtersFile, content);
        session.start();
        REQUIRE(session.plugin->running());
        raiseSomeEvents();
        CHECK(heapsIntact());
        session.unload();
        REQUIRE(fileExists(session.filtersFile));
        CHECK(iniValue(session.filtersFile, "global", "window_inherit") == "0");
        CHECK(badFilterValue(session.filtersFile) == "");
        written = readFile(session.filtersFile);
        session.host.contacts.clear();
    }
    kivSession again(name, false);
    writeFile(again.filtersFile, written);
    again.start();
    again.unload();
    CHECK(readFile(again.filtersFile) == written);
}

std::string filterSection(garbage& g, const std::string& name) {
    std::string text = "[" + name + "]\r\n";
    for (const char* key : filterFlags) text += std::string(key) + "=" + g.number() + "\r\n";
    for (const char* key : filterPaths) text += std::string(key) + "=" + g.value() + "\r\n";
    return text;
}

}  // namespace

TEST_SUITE("bad input") {

TEST_CASE("filter files of random bytes, hostile numbers and endless names") {
    SUBCASE("random bytes") {
        for (unsigned seed = 21; seed <= 24; ++seed)
            survivesFilters("bad-filters-random-" + std::to_string(seed), garbage(seed).bytes(4000));
    }
    SUBCASE("every key with a hostile value, for the global filter, groups and contacts") {
        for (unsigned seed = 31; seed <= 33; ++seed) {
            garbage g(seed);
            std::string text = filterSection(g, "global") + filterSection(g, "group:Praca") +
                               filterSection(g, "group:" + std::string(3000, 'g')) +
                               filterSection(g, "contact:ala@tlen.pl") + filterSection(g, "contact:12345") +
                               filterSection(g, "contact:" + std::string(5000, 'c'));
            survivesFilters("bad-filters-numbers-" + std::to_string(seed), text);
        }
    }
}

TEST_CASE("a filter file found in the field, saved as Unicode or as UTF-8 with its mark, keeps its filters") {
    const std::string fixtures = kivhost::programFolder() + "fixtures\\bad-inputs\\";
    for (const std::string name : {"filters-utf16le-bom.config", "filters-utf8-bom.config"}) {
        CAPTURE(name);
        const std::string original = readFile(fixtures + name);
        REQUIRE(original.size() > 3);
        kivSession session("bad-filters-marked", false);
        session.host.contacts.clear();
        session.host.contacts.addContact("12345", "Olek", session.host.contacts.addGroup("Znajomi"), "GG");
        writeFile(session.settingsFile, settingsWith("none.kivs", ""));
        writeFile(session.filtersFile, original);
        session.start();
        kivhost::moduleClock::get().advance(60000);
        kivhost::raiseMessage("GG", "12345", 2, "wiadomość");  // the global filter lets messages through
        CHECK(settle(1).size() == 1);
        session.unload();
        session.host.contacts.clear();
        const std::string saved = readFile(session.filtersFile);
        const size_t mark = original[0] == '\xEF' ? 3 : 2;
        CHECK(saved.compare(0, mark, original, 0, mark) == 0);
        writeFile(session.profile + "original.config", original);
        CHECK(valuesLost(profileValues(session.profile + "original.config"), profileValues(session.filtersFile)) ==
              "");
    }
}

}  // TEST_SUITE
