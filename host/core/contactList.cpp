#include "contactList.h"

#include <algorithm>

namespace kivhost {

namespace {

// A recognisable 16 x 16 status dot per icon index, drawn on magenta like the messenger's icons.
HBITMAP makeStatusIcon(COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH key = CreateSolidBrush(RGB(255, 0, 255));
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, key);
    DeleteObject(key);
    HBRUSH fill = CreateSolidBrush(colour);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, 2, 2, 14, 14);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace

// TLEN: Dostępny, Porozmawiajmy, Zaraz wracam, Wrócę później, Jestem zajęty, Niewidoczny,
// Niedostępny; GG: Dostępny, Zaraz wracam, Niewidoczny, Niedostępny. The eighth is spare.
contactList::contactList() {
    const COLORREF available = RGB(40, 180, 40), chat = RGB(40, 200, 200), away = RGB(230, 190, 0),
                   extended = RGB(230, 120, 0), busy = RGB(200, 40, 40), invisible = RGB(160, 160, 220),
                   unavailable = RGB(128, 128, 128), spare = RGB(90, 90, 90);
    const COLORREF tlen[8] = {available, chat, away, extended, busy, invisible, unavailable, spare};
    const COLORREF gg[8] = {available, away, invisible, unavailable, spare, spare, spare, spare};
    for (int i = 0; i < 8; ++i) {
        icons_[i] = makeStatusIcon(tlen[i]);
        ggIcons_[i] = makeStatusIcon(gg[i]);
    }
}

contactList::~contactList() {
    for (HBITMAP icon : icons_) DeleteObject(icon);
    for (HBITMAP icon : ggIcons_) DeleteObject(icon);
}

HBITMAP contactList::statusIcon(int index, const std::string& protocol) const {
    const HBITMAP* set = protocol == "GG" ? ggIcons_ : icons_;
    return set[((index - 1) % 8 + 8) % 8];
}

void contactList::refresh(entry& e) {
    abi::contact_item& item = e.item;
    item.size = abi::contactItemCopySize;
    item.kind = e.isGroup ? 1 : abi::itemKindContact;
    item.displayName = e.hasDisplayName ? e.displayName.c_str() : nullptr;
    item.description = e.hasDescription ? e.description.c_str() : nullptr;
    item.id = e.isGroup ? nullptr : e.id.c_str();
    for (int i = 0; i < 8; ++i) e.statusEntries[i].icon = statusIcon(i + 1, e.protocol);
    e.icons.entries = e.statusEntries;
    item.icons = e.isGroup ? nullptr : &e.icons;
}

int contactList::addGroup(const std::string& name) {
    entries_.emplace_back();
    entry& e = entries_.back();
    e.isGroup = true;
    e.displayName = name;
    e.item.handle = nextHandle_++;
    refresh(e);
    return e.item.handle;
}

int contactList::addContact(const std::string& id, const std::string& displayName, int groupHandle,
                            const std::string& protocol) {
    entries_.emplace_back();
    entry& e = entries_.back();
    e.id = id;
    e.displayName = displayName;
    e.protocol = protocol;
    e.icons.index = 7;  // offline until told otherwise
    e.item.handle = nextHandle_++;
    e.item.groupHandle = groupHandle;
    refresh(e);
    return e.item.handle;
}

contactList::entry* contactList::find(int handle) {
    for (entry& e : entries_)
        if (e.item.handle == handle) return &e;
    return nullptr;
}

contactList::entry* contactList::findContact(const std::string& id) {
    entry* found = nullptr;
    for (entry& e : entries_)
        if (!e.isGroup && e.id == id) found = &e;
    return found;
}

void contactList::moveContact(int handle, int groupHandle) {
    if (entry* e = find(handle)) e->item.groupHandle = groupHandle;
}

void contactList::setDescription(int handle, const char* description) {
    if (entry* e = find(handle)) {
        e->hasDescription = description != nullptr;
        e->description = description ? description : "";
        refresh(*e);
    }
}

void contactList::rename(int handle, const char* displayName) {
    if (entry* e = find(handle)) {
        e->hasDisplayName = displayName != nullptr;
        e->displayName = displayName ? displayName : "";
        refresh(*e);
    }
}

void contactList::setIconIndex(int handle, int index) {
    if (entry* e = find(handle)) e->icons.index = index;
}

void contactList::setHidden(int handle, bool hidden) {
    if (entry* e = find(handle)) e->item.flags = hidden ? (e->item.flags | 1) : (e->item.flags & ~1);
}

void contactList::remove(int handle) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [handle](const entry& e) { return e.item.handle == handle; }),
                   entries_.end());
    for (entry& e : entries_) refresh(e);  // the deque moved elements: re-point their records
}

void contactList::clear() {
    entries_.clear();
}

int contactList::enumerate(const abi::enumeration_record* record) {
    if (!record || !record->visit) return 0;
    for (entry& e : entries_) record->visit(&e.item, record->userValue);
    return 0;
}

abi::contact_item* contactList::getItem(int handle) {
    entry* e = find(handle);
    return e ? &e->item : nullptr;
}

}  // namespace kivhost
