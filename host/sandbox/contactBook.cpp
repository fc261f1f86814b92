#include "contactBook.h"

#include <algorithm>

#include "contactStatus.h"

namespace kivhost {

void contactBook::load(const std::vector<contactRecord>& contacts) {
    list_.clear();
    contacts_.clear();
    handles_.clear();
    groupHandles_.clear();
    for (const contactRecord& contact : contacts) {
        if (!groupHandles_.count(contact.group)) groupHandles_[contact.group] = list_.addGroup(contact.group);
        int handle = list_.addContact(contact.id, contact.name, groupHandles_[contact.group], contact.protocol);
        handles_[contact.id] = handle;
        contacts_.push_back(contact);
        setStatus(contact.id, contact.status, contact.description);
    }
}

std::vector<std::string> contactBook::groups() const {
    std::vector<std::string> names;
    for (const contactRecord& contact : contacts_)
        if (std::find(names.begin(), names.end(), contact.group) == names.end()) names.push_back(contact.group);
    return names;
}

const contactRecord* contactBook::find(const std::string& id) const {
    for (const contactRecord& contact : contacts_)
        if (contact.id == id) return &contact;
    return nullptr;
}

int contactBook::itemHandle(const std::string& id) const {
    auto found = handles_.find(id);
    return found == handles_.end() ? 0 : found->second;
}

int contactBook::groupHandle(const std::string& group) const {
    auto found = groupHandles_.find(group);
    return found == groupHandles_.end() ? 0 : found->second;
}

void contactBook::setStatus(const std::string& id, int status, const std::string& description) {
    for (contactRecord& contact : contacts_) {
        if (contact.id != id) continue;
        contact.status = status;
        contact.description = description;
        int handle = itemHandle(id);
        list_.setIconIndex(handle, iconIndexFor(contact.protocol, status));
        list_.setDescription(handle, description.empty() ? nullptr : description.c_str());
    }
}

}  // namespace kivhost
