#include "base/contactList.h"

#include <cstdio>
#include <cstring>

#include "base/chatTitle.h"
#include "base/entryGuard.h"
#include "base/host.h"
#include "base/status.h"
#include "base/text.h"

namespace kiv {

namespace {

int __cdecl visitItem(void* itemPointer, void* userValue) {
    auto* item = static_cast<const abi::contact_item*>(itemPointer);
    auto* search = static_cast<abi::contact_item*>(userValue);
    if (!item || item->kind != abi::itemKindContact || !item->id || !search->id) return 0;
    if (strcmp(item->id, search->id) == 0) memcpy(search, item, abi::contactItemCopySize);
    return 0;
}

}  // namespace

// The base is value-initialised, every byte of it zero; cppcheck does not see that through "()".
// cppcheck-suppress uninitDerivedMemberVar
contactSearch::contactSearch(const char* contactId) : abi::contact_item() {
    size = abi::contactItemCopySize;
    id = contactId;
}

void findContactItem(abi::contact_item& item) {
    abi::enumeration_record enumeration = {};
    enumeration.size = sizeof enumeration;
    enumeration.mode = 3;
    enumeration.visit = guarded<visitItem>;
    enumeration.userValue = &item;
    host::callService(abi::svcEnumerateItems, &enumeration);
}

const abi::contact_item* getContactItem(int itemHandle) {
    return reinterpret_cast<const abi::contact_item*>(host::callService(abi::svcGetItem, itemHandle, 0));
}

const char* statusNameByIcon(const char* protocol, int iconIndex) {
    static const char* const tlen[] = {"Dostępny",      "Porozmawiajmy", "Zaraz wracam", "Wrócę później",
                                       "Jestem zajęty", "Niewidoczny",   "Niedostępny"};
    static const char* const gg[] = {"Dostępny", "Zaraz wracam", "Niewidoczny", "Niedostępny"};
    bool isTlen = protocol && strcmp(protocol, "TLEN") == 0;
    const char* const* names = isTlen ? tlen : gg;
    int count = isTlen ? 7 : 4;
    int slot = (iconIndex - 1) % count;
    if (slot < 0) slot += count;  // the host's index starts at 1; never index before the table
    return names[slot];
}

const abi::status_entry* statusEntry(const abi::contact_item& item) {
    const abi::status_icons* icons = item.icons;
    if (!icons || !icons->entries || icons->index < 1) return nullptr;
    return &icons->entries[icons->index - 1];
}

void openChatWindow(const char* protocol, const char* contactId) {
    contactSearch item(contactId);
    findContactItem(item);
    if (!item.found()) return;
    const bool tlen = strcmp(protocol, "TLEN") == 0;
    const abi::status_entry* entry = statusEntry(item);
    const char* status = item.description ? item.description
                                          : statusNameByIcon(protocol, item.icons ? item.icons->index : 1);
    char title[1024];
    copyText(title, chatTitle(protocol, item.displayName, item.id, status).c_str());

    abi::chat_window_request chat = {};
    chat.size = sizeof chat;
    chat.contactId = contactId;
    chat.protocol = protocol;
    chat.title = title;
    if (entry) chat.status = *entry;
    chat.network = tlen ? 24 : 0;
    host::callService(abi::svcChatWindowShow, &chat);
}

const char* eventStatusName(int status) {
    static const char* const names[] = {"Niedostępny",  "Dostępny",      "Porozmawiajmy", "Jestem zajęty",
                                        "Zaraz wracam", "Wrócę później", "Niewidoczny"};
    return status >= statusUnavailable && status <= statusInvisible ? names[status - statusUnavailable] : nullptr;
}

}  // namespace kiv
