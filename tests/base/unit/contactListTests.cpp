#include <doctest.h>

#include "moduleFixture.h"
#include "base/contactList.h"

using namespace kivtest;

TEST_CASE_FIXTURE(moduleFixture, "findContactItem matches contacts by exact identifier, the last one visited") {
    auto& contacts = kivhost::hostCore::get().contacts;
    int work = contacts.addGroup("Praca");
    int home = contacts.addGroup("Dom");
    int first = contacts.addContact("ala", "Ala", work);
    int second = contacts.addContact("ala", "Ala w domu", home);
    contacts.addContact("Ola", "Ola", home, "GG");

    kiv::contactSearch ala("ala");
    kiv::findContactItem(ala);
    CHECK(ala.found());
    CHECK(ala.handle == second);
    CHECK(ala.groupHandle == home);
    CHECK(std::string(ala.displayName) == "Ala w domu");
    CHECK(first != second);

    kiv::contactSearch upper("ALA");
    kiv::findContactItem(upper);
    CHECK_FALSE(upper.found());  // case-sensitive

    kiv::contactSearch group("Praca");
    kiv::findContactItem(group);  // a group item has the name but is not a contact
    CHECK_FALSE(group.found());
    CHECK(group.size == 124);
    CHECK(std::string(group.id) == "Praca");
}

TEST_CASE_FIXTURE(moduleFixture, "getContactItem reads the host's record by handle") {
    auto& contacts = kivhost::hostCore::get().contacts;
    int group = contacts.addGroup("Znajomi");
    int contact = contacts.addContact("ola@tlen.pl", "Ola", group);
    contacts.setDescription(contact, "w pracy");
    const kiv::abi::contact_item* item = kiv::getContactItem(contact);
    REQUIRE(item);
    CHECK(std::string(item->description) == "w pracy");
    CHECK(std::string(kiv::getContactItem(group)->displayName) == "Znajomi");
    CHECK(kiv::getContactItem(0) == nullptr);
}

TEST_CASE("status names by icon index wrap round their table") {
    CHECK(std::string(kiv::statusNameByIcon("TLEN", 1)) == "Dostępny");
    CHECK(std::string(kiv::statusNameByIcon("TLEN", 7)) == "Niedostępny");
    CHECK(std::string(kiv::statusNameByIcon("TLEN", 8)) == "Dostępny");
    CHECK(std::string(kiv::statusNameByIcon("GG", 4)) == "Niedostępny");
    CHECK(std::string(kiv::statusNameByIcon("GG", 6)) == "Zaraz wracam");
    CHECK(std::string(kiv::statusNameByIcon(nullptr, 3)) == "Niewidoczny");
    CHECK(std::string(kiv::statusNameByIcon("TLEN", 0)) == "Niedostępny");  // never before the table
}
