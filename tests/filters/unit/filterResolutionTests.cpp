// The effective filter of a contact or group, from the host's contact list and the three levels,
// and the edits and ignore list the menus and the filter dialog rely on.
#include <doctest.h>

#include <string>

#include "filters/filtersManager.h"
#include "moduleFixture.h"
#include "base/text.h"
#include "testSupport.h"

using namespace kivtest;
using kiv::filter;
using kiv::filtersManager;

namespace {

// Three levels told apart by their message sound and their window_eventmessage flag.
filter levelFilter(bool ownWindow, bool ownSound, const char* sound, bool eventMessage) {
    filter f;
    f.window_inherit = !ownWindow;
    f.sound_inherit = !ownSound;
    f.window_eventmessage = eventMessage;
    f.window_status[2] = eventMessage;
    kiv::copyText(f.sound_filemessage, sound);
    kiv::copyText(f.sound_fileonline, sound);
    return f;
}

struct resolutionFixture : moduleFixture {
    kivhost::contactList& contacts = kivhost::hostCore::get().contacts;
    filtersManager filters{""};
    int praca = contacts.addGroup("Praca");
    int dom = contacts.addGroup("Dom");

    resolutionFixture() { filters.setFilter(kiv::levelGlobal, "", levelFilter(true, true, "global.wav", false)); }

    filter contactFilter(const char* id, bool inheritedOnly = false) {
        filter f;
        REQUIRE(filters.getFilter(kiv::levelContact, id, f, inheritedOnly));
        return f;
    }
};

}  // namespace

TEST_CASE_FIXTURE(resolutionFixture, "each part comes from the nearest level that has it, decided separately") {
    contacts.addContact("ala", "Ala", praca);
    contacts.addContact("ola", "Ola", dom);
    contacts.addContact("ela", "Ela", praca);

    filter ola = contactFilter("ola");  // nothing of its own, group without a filter
    CHECK(ola.window_inherit);
    CHECK(ola.sound_inherit);
    CHECK(std::string(ola.sound_filemessage) == "global.wav");
    CHECK_FALSE(ola.window_eventmessage);

    // The group has its own sounds only (its stored window values do not count); the contact its
    // own window part only.
    filter group = levelFilter(false, true, "praca.wav", true);
    kiv::copyText(group.sound_fileonline, "");
    filters.setFilter(kiv::levelGroup, "Praca", group);
    filters.setFilter(kiv::levelContact, "ala", levelFilter(true, false, "ala.wav", true));

    filter ala = contactFilter("ala");
    CHECK_FALSE(ala.window_inherit);
    CHECK(ala.sound_inherit);
    CHECK(ala.window_eventmessage);
    CHECK(ala.window_status[2]);
    CHECK(std::string(ala.sound_filemessage) == "praca.wav");
    CHECK(std::string(ala.sound_fileonline).empty());  // the group's whole sound part, not just one path

    filter ela = contactFilter("ela");
    CHECK(ela.window_inherit);
    CHECK(ela.sound_inherit);
    CHECK_FALSE(ela.window_eventmessage);
    CHECK(std::string(ela.sound_filemessage) == "praca.wav");

    SUBCASE("an entry whose part inherits contributes nothing to that part") {
        filter stale = levelFilter(true, true, "stale.wav", true);
        stale.window_inherit = true;  // own sounds only, but window values stored
        filters.setFilter(kiv::levelContact, "ala", stale);
        filter result = contactFilter("ala");
        CHECK(result.window_inherit);
        CHECK_FALSE(result.window_eventmessage);
        CHECK_FALSE(result.sound_inherit);
        CHECK(std::string(result.sound_filemessage) == "stale.wav");
    }
    SUBCASE("inheritedOnly shows what the contact's own parts fall back to") {
        filters.setFilter(kiv::levelContact, "ala", levelFilter(true, true, "ala.wav", true));
        filter result = contactFilter("ala", true);
        CHECK_FALSE(result.window_inherit);
        CHECK_FALSE(result.sound_inherit);
        CHECK_FALSE(result.window_eventmessage);                       // the global window part
        CHECK(std::string(result.sound_filemessage) == "praca.wav");  // the group's sound part
    }
    SUBCASE("a group asked for with inheritedOnly gets the global parts and its own inherit flags") {
        filter result;
        REQUIRE(filters.getFilter(kiv::levelGroup, "Praca", result, true));
        CHECK(result.window_inherit);
        CHECK_FALSE(result.sound_inherit);
        CHECK(std::string(result.sound_filemessage) == "global.wav");
    }
}

TEST_CASE_FIXTURE(resolutionFixture, "group membership is looked up afresh at every call") {
    int both = contacts.addGroup("Praca");  // a second group of the same name shares its filter
    filters.setFilter(kiv::levelGroup, "Praca", levelFilter(true, true, "praca.wav", true));
    filters.setFilter(kiv::levelGroup, "Dom", levelFilter(true, true, "dom.wav", false));

    int ala = contacts.addContact("ala", "Ala", both);
    CHECK(std::string(contactFilter("ala").sound_filemessage) == "praca.wav");
    contacts.moveContact(ala, dom);
    CHECK(std::string(contactFilter("ala").sound_filemessage) == "dom.wav");

    contacts.addContact("ala", "Ala w pracy", praca);  // listed twice: the item visited last decides
    CHECK(std::string(contactFilter("ala").sound_filemessage) == "praca.wav");
    contacts.rename(praca, "Dom");  // the group's name is read afresh too
    CHECK(std::string(contactFilter("ala").sound_filemessage) == "dom.wav");
}

TEST_CASE_FIXTURE(resolutionFixture, "a contact without an effective group gets no answer and the record stays") {
    filter sentinel = levelFilter(true, true, "untouched.wav", true);
    contacts.addContact("nogroup", "Bez grupy", 0);
    int gone = contacts.addGroup("Usunięta");
    contacts.addContact("orphan", "Sierota", gone);
    contacts.remove(gone);
    int nameless = contacts.addGroup("Bez nazwy");
    contacts.rename(nameless, nullptr);
    contacts.addContact("unnamed", "W grupie bez nazwy", nameless);
    filters.setFilter(kiv::levelContact, "nogroup", levelFilter(true, true, "own.wav", true));

    for (const char* id : {"stranger", "nogroup", "orphan", "unnamed", static_cast<const char*>(nullptr)}) {
        CAPTURE(id ? id : "null");
        filter result = sentinel;
        CHECK_FALSE(filters.getFilter(kiv::levelContact, id, result, false));
        CHECK(std::string(result.sound_filemessage) == "untouched.wav");
        CHECK_FALSE(result.window_inherit);
    }

    filter result = sentinel;
    CHECK(filters.getFilter(3, "nogroup", result, false));  // an unknown level answers without change
    CHECK(filters.getFilter(-1, "nogroup", result, false));
    CHECK(std::string(result.sound_filemessage) == "untouched.wav");
}

TEST_CASE_FIXTURE(resolutionFixture, "setFilter, removeFilter and hasFilter") {
    CHECK(filters.hasFilter(kiv::levelGlobal, ""));
    CHECK_FALSE(filters.hasFilter(kiv::levelGlobal, nullptr));
    CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "Praca"));
    CHECK_FALSE(filters.hasFilter(7, "Praca"));

    filters.setFilter(kiv::levelGroup, "Praca", levelFilter(false, true, "x.wav", true));
    CHECK(filters.hasFilter(kiv::levelGroup, "Praca"));
    CHECK_FALSE(filters.hasFilter(kiv::levelContact, "Praca"));
    filters.setFilter(kiv::levelGroup, "Praca", filter());  // inherits everything: not stored
    CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "Praca"));

    filters.setFilter(kiv::levelContact, "ala", levelFilter(true, false, "x.wav", true));
    filters.removeFilter(kiv::levelContact, "ala");
    filters.removeFilter(kiv::levelContact, "ala");  // a missing entry is no error
    filters.removeFilter(kiv::levelContact, nullptr);
    CHECK_FALSE(filters.hasFilter(kiv::levelContact, "ala"));

    filters.removeFilter(kiv::levelGlobal, "");
    filter global;
    filters.getFilter(kiv::levelGlobal, "", global, false);
    CHECK(std::string(global.sound_filemessage) == "global.wav");

    // A global filter given with its inherit flags set still has both parts of its own.
    filters.setFilter(kiv::levelGlobal, "globalne", levelFilter(false, false, "new.wav", false));
    filters.getFilter(kiv::levelGlobal, "", global, false);
    CHECK_FALSE(global.window_inherit);
    CHECK_FALSE(global.sound_inherit);
    CHECK(std::string(global.sound_filemessage) == "new.wav");

    filters.setFilter(kiv::levelGroup, nullptr, levelFilter(true, true, "x.wav", true));
    filters.setFilter(5, "Praca", levelFilter(true, true, "x.wav", true));
    CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "Praca"));
    CHECK_FALSE(filters.getFilter(kiv::levelGlobal, nullptr, global, false));
}

TEST_CASE_FIXTURE(moduleFixture, "the ignore list lasts as long as its manager and is never saved") {
    std::string file = scratchFolder("filters-ignored") + "kiv.filters.config";
    {
        filtersManager filters(file.c_str());
        filters.addIgnored("ala");
        filters.addIgnored("ala");
        filters.addIgnored("ola");
        filters.addIgnored(nullptr);
        CHECK(filters.isIgnored("ala"));
        CHECK_FALSE(filters.isIgnored("ALA"));
        CHECK_FALSE(filters.isIgnored(nullptr));
        filters.removeIgnored("ala");
        filters.removeIgnored(nullptr);
        CHECK_FALSE(filters.isIgnored("ala"));
        CHECK(filters.isIgnored("ola"));
        filters.save();
    }
    CHECK(readFile(file).find("ola") == std::string::npos);
    filtersManager again(file.c_str());
    CHECK_FALSE(again.isIgnored("ola"));
}

TEST_CASE("status classes") {
    CHECK(filtersManager::isAbsentStatus(7));
    CHECK(filtersManager::isAbsentStatus(1));
    CHECK(filtersManager::isPresentStatus(2));
    CHECK(filtersManager::isPresentStatus(6));
    CHECK(filtersManager::isAwayStatus(5));
    CHECK(filtersManager::isAwayStatus(6));
    for (int status : {1, 7, 0}) CHECK_FALSE(filtersManager::isPresentStatus(status));
    CHECK_FALSE(filtersManager::isAwayStatus(4));
    for (int status : {0, 8, -1, -5}) {
        CAPTURE(status);
        CHECK_FALSE(filtersManager::isPresentStatus(status));
        CHECK_FALSE(filtersManager::isAbsentStatus(status));
        CHECK_FALSE(filtersManager::isAwayStatus(status));
    }
}
