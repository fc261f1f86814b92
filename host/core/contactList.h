// kivhost's contact list: groups and contacts held in records laid out as the messenger's items,
// with status icons, so that plug-ins read them exactly as they would in the messenger.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "kiv/host_abi.h"

namespace kivhost {

namespace abi = kiv::abi;

class contactList {
public:
    struct entry {
        abi::contact_item item = {};
        std::string id, displayName, description, protocol;
        bool hasDescription = false;
        bool hasDisplayName = true;
        bool isGroup = false;
        abi::status_icons icons = {};
        abi::status_entry statusEntries[8] = {};
    };

    contactList();
    ~contactList();
    contactList(const contactList&) = delete;
    contactList& operator=(const contactList&) = delete;

    // Returns the new item's handle. A contact's group may be 0 (no group).
    int addGroup(const std::string& name);
    int addContact(const std::string& id, const std::string& displayName, int groupHandle,
                   const std::string& protocol = "TLEN");
    void moveContact(int handle, int groupHandle);
    void setDescription(int handle, const char* description);  // null: none
    void rename(int handle, const char* displayName);           // null: none (a broken item)
    void setIconIndex(int handle, int index);                   // 1-based, as the messenger's
    void setHidden(int handle, bool hidden);
    void remove(int handle);
    void clear();

    entry* find(int handle);
    entry* findContact(const std::string& id);  // the last item with that identifier
    const std::deque<entry>& entries() const { return entries_; }

    // Tlen/ContactList/EnumerateItems and Tlen/ContactList/GetItem.
    int enumerate(const abi::enumeration_record* record);
    abi::contact_item* getItem(int handle);

    // The status icons the items point at: one small bitmap per icon index, in the colours of the
    // protocol's own table (green available, yellow away, grey unavailable, ...).
    HBITMAP statusIcon(int index, const std::string& protocol = "TLEN") const;

private:
    void refresh(entry& e);
    std::deque<entry> entries_;
    int nextHandle_ = 100;
    HBITMAP icons_[8] = {};
    HBITMAP ggIcons_[8] = {};
};

}  // namespace kivhost
