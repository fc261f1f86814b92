#include "contactsFile.h"

#include <sstream>

#include "contactStatus.h"
#include "textCodec.h"

namespace kivhost {

namespace {

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The next comma-separated field, trimmed; the rest of the text stays in `rest`.
std::string nextField(std::string& rest) {
    size_t comma = rest.find(',');
    std::string field = trim(rest.substr(0, comma));
    rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    return field;
}

}  // namespace

const char* contactsFile::sample() {
    return "; kivhost's contact list. A [group] line, then one contact a line:\r\n"
           ";   ID = PROTOCOL, STATUS, NAME[, DESCRIPTION]\r\n"
           "; PROTOCOL: TLEN or GG; STATUS: 1-7 or a name (Dostępny, Porozmawiajmy, Jestem zajęty,\r\n"
           "; Zaraz wracam, Wrócę później, Niewidoczny, Niedostępny). The file is Windows-1250.\r\n"
           "[Znajomi]\r\n"
           "ala@tlen.pl = TLEN, Dostępny, Ala, nad morzem do niedzieli\r\n"
           "5123456 = GG, Zaraz wracam, Ola\r\n"
           "kuba@tlen.pl = TLEN, Niedostępny, Kuba\r\n"
           "7012345 = GG, Jestem zajęty, Bartek, egzamin, nie przeszkadzać\r\n"
           "[Praca]\r\n"
           "szef@tlen.pl = TLEN, Wrócę później, Pan Prezes, spotkanie do 15\r\n"
           "anna.nowak@tlen.pl = TLEN, Dostępny, Anna Nowak\r\n"
           "4400123 = GG, Niedostępny, Marek z IT\r\n"
           "3332211 = GG, Dostępny, Zosia, kawa?\r\n"
           "[Rodzina]\r\n"
           "mama@tlen.pl = TLEN, Porozmawiajmy, Mama\r\n"
           "tata@tlen.pl = TLEN, Niedostępny, Tata\r\n"
           "2468024 = GG, Niewidoczny, Siostra\r\n"
           "babcia@tlen.pl = TLEN, Zaraz wracam, Babcia, obiad o 14\r\n";
}

bool contactsFile::parse(const std::string& text, const std::string& name, std::vector<contactRecord>& contacts,
                         std::string& error) {
    std::istringstream in(text);
    std::string line, group;
    std::vector<contactRecord> read;
    for (int number = 1; std::getline(in, line); ++number) {
        auto fail = [&](const std::string& expected) {
            error = name + ":" + std::to_string(number) + ": expected " + expected;
            return false;
        };
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            if (line.back() != ']' || trim(line.substr(1, line.size() - 2)).empty())
                return fail("a group name in brackets, as [Znajomi]");
            group = trim(line.substr(1, line.size() - 2));
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) return fail("'ID = PROTOCOL, STATUS, NAME' or a [group] line");
        if (group.empty()) return fail("a [group] line before the first contact");
        contactRecord contact;
        contact.group = group;
        contact.id = trim(line.substr(0, equals));
        std::string rest = line.substr(equals + 1);
        contact.protocol = nextField(rest);
        std::string status = nextField(rest);
        contact.name = nextField(rest);
        contact.description = trim(rest);
        contact.status = parseStatus(status);
        if (contact.id.empty()) return fail("a contact identifier before '='");
        if (contact.protocol != "TLEN" && contact.protocol != "GG")
            return fail("the protocol TLEN or GG, not '" + contact.protocol + "'");
        if (!contact.status) return fail("a status (1-7 or a name such as Dostępny), not '" + status + "'");
        if (contact.name.empty()) return fail("a display name after the status");
        read.push_back(contact);
    }
    contacts = read;
    return true;
}

bool contactsFile::read(const std::string& path, std::vector<contactRecord>& contacts, std::string& error) {
    std::string text;
    return readAnsiFile(path, text, error) && parse(text, path, contacts, error);
}

}  // namespace kivhost
