// The host's contact list as the module reads it: found by identifier, fetched by handle, never kept.
#pragma once

#include "kiv/host_abi.h"

namespace kiv {

// A zero-filled copy with size 124 and the identifier to look for; on a match the host's first
// 124 bytes replace it (the last match visited wins). handle != 0 afterwards means found.
struct contactSearch : abi::contact_item {
    explicit contactSearch(const char* contactId);
    bool found() const { return handle != 0; }
};

void findContactItem(abi::contact_item& item);

// The host's item for a handle, read in place at once; null when the host has none.
const abi::contact_item* getContactItem(int itemHandle);

// The status name shown for an item without a description, by its 1-based icon index.
const char* statusNameByIcon(const char* protocol, int iconIndex);

// The current entry of the host's status icons, or null when the item carries none.
const abi::status_entry* statusEntry(const abi::contact_item& item);

// The host's chat window with a contact on the list, titled as the messenger titles it; nothing
// for a contact the list does not have.
void openChatWindow(const char* protocol, const char* contactId);

// The name of a status number of the protocol events (1 unavailable ... 7 invisible); null for
// any other number.
const char* eventStatusName(int status);

}  // namespace kiv
