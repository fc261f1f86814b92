// The sandbox's contact list on disk: a text file in the profile, Windows-1250, of groups and the
// contacts in them.
//
//     ; a comment
//     [Znajomi]
//     ala@tlen.pl = TLEN, Dostępny, Ala, nad morzem
//     5123456 = GG, zw, Ola
//
// A "[group]" line opens a group; each contact line is "ID = PROTOCOL, STATUS, NAME" with an
// optional ", DESCRIPTION" (the rest of the line, commas and all). PROTOCOL is TLEN or GG; STATUS
// is a number 1 to 7 or a status name (see contactStatus.h).
#pragma once

#include <string>
#include <vector>

namespace kivhost {

struct contactRecord {
    std::string group, id, protocol, name, description;
    int status = 1;
};

class contactsFile {
public:
    // The list a fresh profile starts with: a dozen contacts of both protocols in three groups.
    static const char* sample();

    // Parses the text; on a fault returns false with "NAME:LINE: what was expected".
    static bool parse(const std::string& text, const std::string& name, std::vector<contactRecord>& contacts,
                      std::string& error);
    static bool read(const std::string& path, std::vector<contactRecord>& contacts, std::string& error);
};

}  // namespace kivhost
