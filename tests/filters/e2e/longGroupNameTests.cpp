// Group names longer than any section name the filter file can hold.
#include <doctest.h>

#include <string>

#include "badInput.h"

using namespace kivtest;

namespace {

bool hasSection(const std::string& file, const std::string& name) {
    for (const std::string& section : sectionNames(file))
        if (section == name) return true;
    return false;
}

std::string groupSection(const std::string& group, bool online) {
    return "[group:" + group + "]\r\nwindow_inherit=0\r\nwindow_status_online=" + (online ? "1" : "0") +
           "\r\nsound_inherit=1\r\n";
}

}  // namespace

TEST_SUITE("bad input") {

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

}  // TEST_SUITE
