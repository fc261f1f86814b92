// Protocol events as the messenger raises them: the records are laid out as the plug-ins read
// them and live for the duration of the call.
#pragma once

#include <string>

namespace kivhost {

struct statusChange {
    std::string protocol = "TLEN";
    std::string contactId;
    int newStatus = 2;
    int previousStatus = 1;
    const char* newDescription = nullptr;  // null: none
    const char* previousDescription = nullptr;
};

int raiseStatusChange(const statusChange& change);
int raiseMessage(const std::string& protocol, const std::string& contactId, unsigned char flags,
                 const char* text);
int raiseLogin(const std::string& protocol);

}  // namespace kivhost
