// The sandbox's contacts: the records read from the contacts file, put on the host's contact list
// as the messenger's items, with each contact's current status.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "contactList.h"
#include "contactsFile.h"

namespace kivhost {

class contactBook {
public:
    explicit contactBook(contactList& list) : list_(list) {}
    contactBook(const contactBook&) = delete;
    contactBook& operator=(const contactBook&) = delete;

    // Replaces the host's whole list with these groups and contacts.
    void load(const std::vector<contactRecord>& contacts);

    const std::vector<contactRecord>& contacts() const { return contacts_; }
    std::vector<std::string> groups() const;  // in file order
    const contactRecord* find(const std::string& id) const;
    int itemHandle(const std::string& id) const;  // 0 when not on the list
    int groupHandle(const std::string& group) const;

    // The item shows the new status icon and description at once, as the messenger's list does.
    void setStatus(const std::string& id, int status, const std::string& description);

private:
    contactList& list_;
    std::vector<contactRecord> contacts_;
    std::map<std::string, int> handles_;
    std::map<std::string, int> groupHandles_;
};

}  // namespace kivhost
