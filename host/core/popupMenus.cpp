#include "popupMenus.h"

#include <algorithm>

namespace kivhost {

namespace {

// Owns a menu built for one opening; submenus go with it.
class menuHandle {
public:
    explicit menuHandle(HMENU menu) : menu_(menu) {}
    ~menuHandle() {
        if (menu_) DestroyMenu(menu_);
    }
    menuHandle(const menuHandle&) = delete;
    menuHandle& operator=(const menuHandle&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

std::vector<const menuItem*> byPosition(std::vector<const menuItem*> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const menuItem* a, const menuItem* b) { return a->position < b->position; });
    return items;
}

void appendItem(HMENU menu, const menuItem& item, HMENU submenu) {
    if (submenu) {
        AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), item.caption.c_str());
        return;
    }
    UINT checked = (item.flags & abi::menuFlagChecked) ? MF_CHECKED : MF_UNCHECKED;
    AppendMenuA(menu, MF_STRING | checked, static_cast<UINT_PTR>(item.handle), item.caption.c_str());
}

}  // namespace

menuOpening::menuOpening(const std::string& menu, const menuSelection& selection)
    : menu_(menu), selection_(selection) {
    for (const menuEntry& e : selection_) {
        abi::menu_entry entry = {};
        entry.entryId = e.id.c_str();
        entry.entryProtocol = e.protocol.c_str();
        entries_.push_back(entry);
    }
    popup_.menu = menu_.c_str();
    popup_.entries = entries_.empty() ? nullptr : entries_.data();
    popup_.count = static_cast<int32_t>(entries_.size());
    popup_.visibleItems.host = &shown_;
}

std::vector<int> menuOpening::notify(int event) {
    std::vector<int> results;
    auto callbacks = hostCore::get().menuCallbacks();  // a callback may remove itself
    for (const auto& [menu, callback] : callbacks)
        if (menu == menu_ && callback) results.push_back(callback(event, &popup_));
    return results;
}

bool menuOpening::shown(const std::string& itemName) const {
    return std::find(shown_.names.begin(), shown_.names.end(), itemName) != shown_.names.end();
}

bool menuOpening::offers(const menuItem& item) const {
    if (item.menu != menu_) return false;
    if (menu_ == abi::menuStatus) return true;
    if (!shown(item.itemName)) return false;
    return item.parentName.empty() || shown(item.parentName);
}

std::vector<std::string> menuOpening::offeredItems() const {
    std::vector<std::string> names;
    for (const menuItem& item : hostCore::get().menuItems())
        if (offers(item)) names.push_back(item.itemName);
    return names;
}

bool menuOpening::carryOut(const std::string& itemName) {
    menuItem* item = hostCore::get().findMenuItem(itemName);
    if (!item || !offers(*item) || !item->callback) return false;
    if (item->flags & abi::menuFlagCheckItem) item->flags ^= abi::menuFlagChecked;
    menuItem chosen = *item;  // the callback may add items and move the host's list
    abi::menu_item_info record = chosen.record();
    chosen.callback(&record, &popup_);
    return true;
}

HMENU menuOpening::build() const {
    std::vector<const menuItem*> topLevel;
    for (const menuItem& item : hostCore::get().menuItems())
        if (offers(item) && item.parentName.empty()) topLevel.push_back(&item);
    HMENU menu = CreatePopupMenu();
    for (const menuItem* item : byPosition(topLevel)) {
        std::vector<const menuItem*> children;
        for (const menuItem& child : hostCore::get().menuItems())
            if (offers(child) && child.parentName == item->itemName) children.push_back(&child);
        HMENU submenu = nullptr;
        if (!children.empty()) {
            submenu = CreatePopupMenu();
            for (const menuItem* child : byPosition(children)) appendItem(submenu, *child, nullptr);
        }
        appendItem(menu, *item, submenu);
    }
    return menu;
}

std::vector<std::string> visibleItems(const std::string& menu, const menuSelection& selection) {
    menuOpening opening(menu, selection);
    opening.notify(abi::menuEventPopup);
    return opening.offeredItems();
}

bool choose(const std::string& menu, const menuSelection& selection, const std::string& itemName) {
    menuOpening opening(menu, selection);
    opening.notify(abi::menuEventPopup);
    return opening.carryOut(itemName);
}

bool trackMenu(const std::string& menu, const menuSelection& selection, HWND owner, POINT at) {
    menuOpening opening(menu, selection);
    opening.notify(abi::menuEventPopup);
    menuHandle popup(opening.build());
    SetForegroundWindow(owner);
    int handle = TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
    if (handle == 0) return false;
    for (const menuItem& item : hostCore::get().menuItems())
        if (item.handle == handle) return opening.carryOut(item.itemName);
    return false;
}

}  // namespace kivhost
