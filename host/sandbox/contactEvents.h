// What happens to a contact in the sandbox, raised to the plug-in the way the messenger raises it:
// the protocol event first, then the sound the messenger would play (which the plug-in may take
// over). Each action says in one Polish line what it did, or why it could not.
#pragma once

#include <set>
#include <string>

#include "contactBook.h"

namespace kivhost {

class contactEvents {
public:
    explicit contactEvents(contactBook& book) : book_(book) {}
    contactEvents(const contactEvents&) = delete;
    contactEvents& operator=(const contactEvents&) = delete;

    // The list item changes first, then the status event goes out (with the online sound when the
    // contact came online).
    bool changeStatus(const std::string& id, int status, const std::string& description, std::string& report);
    bool message(const std::string& id, const std::string& text, std::string& report);
    // The first chat message from a contact opens a chat (sound 3), the next ones continue it (4).
    bool chatMessage(const std::string& id, const std::string& text, std::string& report);
    bool fileOffer(const std::string& id, std::string& report);
    bool voiceCall(const std::string& id, std::string& report);
    // An e-mail notice has no contact; `from` is only its subject.
    bool emailNotice(const std::string& from, std::string& report);
    bool login(const std::string& protocol, std::string& report);

private:
    const contactRecord* contact(const std::string& id, std::string& report) const;
    std::string sound(int kind, const std::string& subject);

    contactBook& book_;
    std::set<std::string> chatting_;
};

}  // namespace kivhost
