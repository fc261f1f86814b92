// The sandbox's contact list: its file, the sample a fresh profile gets, and the statuses its items
// show, checked against the plug-in's own reading of the status icons.
#include <doctest.h>

#include <set>

#include "contactBook.h"
#include "contactStatus.h"
#include "contactsFile.h"
#include "moduleFixture.h"
#include "base/contactList.h"
#include "testSupport.h"

using namespace kivhost;

namespace {

std::string fault(const std::string& text) {
    std::vector<contactRecord> contacts;
    std::string error;
    CHECK_FALSE(contactsFile::parse(text, "c.contacts", contacts, error));
    return error;
}

}  // namespace

TEST_CASE("the sample holds a dozen contacts of both protocols in three groups") {
    std::vector<contactRecord> contacts;
    std::string error;
    REQUIRE(contactsFile::parse(contactsFile::sample(), "sample", contacts, error));
    CHECK(contacts.size() == 12);
    std::set<std::string> groups, protocols, ids;
    for (const contactRecord& contact : contacts) {
        groups.insert(contact.group);
        protocols.insert(contact.protocol);
        ids.insert(contact.id);
    }
    CHECK(groups == std::set<std::string>{"Znajomi", "Praca", "Rodzina"});
    CHECK(protocols == std::set<std::string>{"TLEN", "GG"});
    CHECK(ids.size() == 12);
    CHECK(contacts[0].id == "ala@tlen.pl");
    CHECK(contacts[0].status == 2);
    CHECK(contacts[0].description == "nad morzem do niedzieli");
    // A description keeps its commas.
    CHECK(contacts[3].description == "egzamin, nie przeszkadzać");
    CHECK(contacts[3].status == 4);
}

TEST_CASE("a fault in the contacts file names its line and what was expected") {
    CHECK(fault("ala = TLEN, 2, Ala\n") == "c.contacts:1: expected a [group] line before the first contact");
    CHECK(fault("[Dom]\n\nala = ICQ, 2, Ala\n") == "c.contacts:3: expected the protocol TLEN or GG, not 'ICQ'");
    CHECK(fault("[Dom]\nala = TLEN, online, Ala\n") ==
          "c.contacts:2: expected a status (1-7 or a name such as Dostępny), not 'online'");
    CHECK(fault("[Dom]\nala = TLEN, 2\n") == "c.contacts:2: expected a display name after the status");
    CHECK(fault("[Dom]\n = TLEN, 2, Ala\n") == "c.contacts:2: expected a contact identifier before '='");
    CHECK(fault("; list\n[Dom\n") == "c.contacts:2: expected a group name in brackets, as [Znajomi]");
    CHECK(fault("[Dom]\nala TLEN 2 Ala\n") == "c.contacts:2: expected 'ID = PROTOCOL, STATUS, NAME' or a [group] line");
}

TEST_CASE("a contacts file written in UTF-8 reaches the host in Windows-1250") {
    std::string path = kivtest::scratchFolder("contacts-utf8") + "kivhost.contacts";
    kivtest::writeFile(path, "[Rodzina]\nbabcia@tlen.pl = TLEN, Wr\xC3\xB3" "c\xC4\x99 p\xC3\xB3\xC5\xBAniej, "
                             "Babcia Zosia, \xC5\xBCurek\n");
    std::vector<contactRecord> contacts;
    std::string error;
    REQUIRE(contactsFile::read(path, contacts, error));
    REQUIRE(contacts.size() == 1);
    CHECK(contacts[0].status == 6);
    CHECK(contacts[0].description == "żurek");  // this literal is Windows-1250
    CHECK_FALSE(contactsFile::read(path + ".missing", contacts, error));
    CHECK(error == path + ".missing: cannot be read");
}

TEST_CASE("status names are read in any case, and numbers only from 1 to 7") {
    CHECK(parseStatus("DOSTĘPNY") == 2);
    CHECK(parseStatus("jestem zajęty") == 4);
    CHECK(parseStatus("zw") == 5);
    CHECK(parseStatus("7") == 7);
    CHECK(parseStatus("0") == 0);
    CHECK(parseStatus("2a") == 0);
    CHECK(parseStatus("") == 0);
}

// The sandbox sets icon indexes and the plug-in names them back: both must tell the same status.
TEST_CASE("each status's icon index reads back as that status in the plug-in's tables") {
    for (int status = firstStatus; status <= lastStatus; ++status) {
        CAPTURE(status);
        CHECK(std::string(kiv::statusNameByIcon("TLEN", iconIndexFor("TLEN", status))) == statusName(status));
    }
    // GG knows four statuses; the others show the nearest one.
    for (int status : {1, 2, 5, 7}) {
        CAPTURE(status);
        CHECK(std::string(kiv::statusNameByIcon("GG", iconIndexFor("GG", status))) == statusName(status));
    }
    CHECK(std::string(kiv::statusNameByIcon("GG", iconIndexFor("GG", 3))) == "Dostępny");
    CHECK(std::string(kiv::statusNameByIcon("GG", iconIndexFor("GG", 6))) == "Zaraz wracam");
}

TEST_CASE("the contact book puts groups and contacts on the host's list with their status and description") {
    kivtest::moduleFixture fixture;
    contactList& list = hostCore::get().contacts;
    contactBook book(list);
    std::vector<contactRecord> contacts;
    std::string error;
    REQUIRE(contactsFile::parse("[Praca]\nola = GG, zw, Ola, obiad\n[Dom]\nala = TLEN, 2, Ala\n[Praca]\nbob = TLEN, 1, Bob\n",
                                "c", contacts, error));
    book.load(contacts);
    CHECK(book.groups() == std::vector<std::string>{"Praca", "Dom"});
    const auto* ola = list.find(book.itemHandle("ola"));
    REQUIRE(ola);
    CHECK(ola->item.groupHandle == book.groupHandle("Praca"));
    CHECK(list.find(book.itemHandle("bob"))->item.groupHandle == book.groupHandle("Praca"));
    CHECK(ola->icons.index == 2);
    CHECK(std::string(ola->item.description) == "obiad");

    book.setStatus("ola", 1, "");
    CHECK(book.find("ola")->status == 1);
    CHECK(ola->icons.index == 4);
    CHECK(ola->item.description == nullptr);  // no description: the plug-in names the status instead
    CHECK(book.itemHandle("nobody") == 0);
}
