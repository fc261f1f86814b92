#include "ui/menus.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/entryGuard.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "filters/filtersManager.h"
#include "resources/resource.h"
#include "settings/config.h"
#include "ui/filterSetup.h"
#include "ui/historyWindow.h"
#include "ui/silentSwitch.h"
#include "ui/uiText.h"

namespace kiv {

namespace {

constexpr const char* silentItem = "kiv/menu/silent";
constexpr const char* historyItem = "kiv/menu/history";
constexpr const char* contactRoot = "kiv/menu/contact/root";
constexpr const char* contactSetup = "kiv/menu/contact/setup";
constexpr const char* contactRemove = "kiv/menu/contact/remove";
constexpr const char* contactIgnore = "kiv/menu/contact/ignore";
constexpr const char* groupRoot = "kiv/menu/group/root";
constexpr const char* groupSetup = "kiv/menu/group/setup";
constexpr const char* groupRemove = "kiv/menu/group/remove";

abi::ShowMenuItemFn showMenuItem = nullptr;
int silentItemHandle = 0;
int ignoreItemHandle = 0;

struct itemSpec {
    const char* itemName;
    const char* parentName;
    const char* menu;
    const char* caption;
    int flags;
    int position;
    abi::MenuItemCallbackFn callback;
    int level;
};

int addItem(const itemSpec& spec) {
    abi::menu_item_info item = {};
    item.size = sizeof item;
    item.itemName = spec.itemName;
    item.parentName = spec.parentName;
    item.menu = spec.menu;
    item.caption = spec.caption;
    item.flags = spec.flags;
    item.position = spec.position;
    item.callback = spec.callback;
    item.module = plugin.instance;
    item.itemData = spec.level;
    return host::callService(abi::svcAddMenuItem, &item);
}

void changeCheckMark(int itemHandle, bool checked) {
    abi::menu_item_info change = {};
    change.size = sizeof change;
    change.flags = abi::menuFlagChange | (checked ? abi::menuFlagChecked : 0);
    host::callService(abi::svcChangeMenuItem, itemHandle, reinterpret_cast<LPARAM>(&change));
}

const abi::menu_popup_info* popupOf(void* record) {
    return static_cast<const abi::menu_popup_info*>(record);
}

// The selection's identifiers (contacts) or names (groups), in the host's order.
std::vector<const char*> entryIds(const abi::menu_popup_info* popup) {
    std::vector<const char*> ids;
    if (!popup || !popup->entries) return ids;
    for (int i = 0; i < popup->count; ++i) ids.push_back(popup->entries[i].entryId);
    return ids;
}

int itemLevel(void* itemRecord) {
    return itemRecord ? static_cast<const abi::menu_item_info*>(itemRecord)->itemData : -1;
}

int __cdecl onFilterSetup(void* item, void* popup) {
    std::vector<std::string> names;
    for (const char* id : entryIds(popupOf(popup)))
        if (id) names.emplace_back(id);
    filterSetup::show(itemLevel(item), std::move(names));
    return 0;
}

int __cdecl onFilterRemove(void* item, void* popup) {
    if (!plugin.filters) return 0;
    int level = itemLevel(item);
    for (const char* id : entryIds(popupOf(popup))) plugin.filters->removeFilter(level, id);
    plugin.filters->save();
    return 0;
}

int __cdecl onIgnoreToggle(void*, void* popup) {
    if (!plugin.filters) return 0;
    for (const char* id : entryIds(popupOf(popup))) {
        if (plugin.filters->isIgnored(id))
            plugin.filters->removeIgnored(id);
        else
            plugin.filters->addIgnored(id);
    }
    return 0;
}

// The host has already flipped the check mark, so the record carries the new state.
int __cdecl onSilentToggle(void* item, void*) {
    if (!plugin.settings || !item) return 0;
    silentSwitch::toggledInMenu((static_cast<const abi::menu_item_info*>(item)->flags & abi::menuFlagChecked) != 0);
    return 0;
}

int __cdecl onHistory(void*, void*) {
    historyWindow::show();
    return 0;
}

void show(const abi::menu_popup_info* popup, const char* itemName) {
    if (showMenuItem) showMenuItem(const_cast<abi::menu_visible_items*>(&popup->visibleItems), itemName);
}

bool anyHasFilter(const abi::menu_popup_info* popup, int level) {
    for (const char* id : entryIds(popup))
        if (plugin.filters->hasFilter(level, id)) return true;
    return false;
}

bool anySmsEntry(const abi::menu_popup_info* popup) {
    for (int i = 0; i < popup->count; ++i) {
        const char* protocol = popup->entries[i].entryProtocol;
        if (protocol && strcmp(protocol, "SMS") == 0) return true;
    }
    return false;
}

void offerContactItems(const abi::menu_popup_info* popup) {
    if (popup->count <= 0 || !popup->entries || anySmsEntry(popup)) return;
    show(popup, contactRoot);
    show(popup, contactSetup);
    if (anyHasFilter(popup, levelContact)) show(popup, contactRemove);
    if (popup->count == 1) {
        changeCheckMark(ignoreItemHandle, plugin.filters->isIgnored(popup->entries[0].entryId));
        show(popup, contactIgnore);
    }
}

void offerGroupItems(const abi::menu_popup_info* popup) {
    show(popup, groupRoot);
    show(popup, groupSetup);
    if (anyHasFilter(popup, levelGroup)) show(popup, groupRemove);
}

int __cdecl onMenuPopup(int event, void* record) {
    if (event != abi::menuEventPopup) return 0;
    const abi::menu_popup_info* popup = popupOf(record);
    if (!popup || !popup->menu || !plugin.filters) return 1;
    if (strcmp(popup->menu, abi::menuContact) == 0)
        offerContactItems(popup);
    else if (strcmp(popup->menu, abi::menuGroup) == 0)
        offerGroupItems(popup);
    return 1;
}

}  // namespace

void setupMenus() {
    showMenuItem = reinterpret_cast<abi::ShowMenuItemFn>(
        host::callService(abi::svcGetProcAddress, abi::hostFunctionShowMenuItem, 0));
    if (plugin.settings && plugin.settings->showsilent) {
        int flags = abi::menuFlagCheckItem | (plugin.settings->silent ? abi::menuFlagChecked : 0);
        silentItemHandle =
            addItem({silentItem, nullptr, abi::menuStatus, uiText(IDS_MENU_SILENT), flags, 200000, guarded<onSilentToggle>, levelGlobal});
    }
    if (plugin.settings && plugin.settings->history > 0)
        addItem({historyItem, nullptr, abi::menuStatus, uiText(IDS_MENU_HISTORY), 0, 200001, guarded<onHistory>, levelGlobal});
    const char* contact = abi::menuContact;
    addItem({contactRoot, nullptr, contact, uiText(IDS_MENU_ROOT), 0, 20200, nullptr, levelContact});
    addItem({contactSetup, contactRoot, contact, uiText(IDS_MENU_SETUP), 0, 10, guarded<onFilterSetup>, levelContact});
    addItem({contactRemove, contactRoot, contact, uiText(IDS_MENU_RESTORE), 0, 20, guarded<onFilterRemove>, levelContact});
    ignoreItemHandle = addItem({contactIgnore, contactRoot, contact, uiText(IDS_MENU_IGNORE), 0, 110, guarded<onIgnoreToggle>, levelContact});
    const char* group = abi::menuGroup;
    addItem({groupRoot, nullptr, group, uiText(IDS_MENU_ROOT), 0, 20200, nullptr, levelGroup});
    addItem({groupSetup, groupRoot, group, uiText(IDS_MENU_SETUP), 0, 10, guarded<onFilterSetup>, levelGroup});
    addItem({groupRemove, groupRoot, group, uiText(IDS_MENU_RESTORE), 0, 20, guarded<onFilterRemove>, levelGroup});
    host::callService(abi::svcAddMenuCallBack, reinterpret_cast<WPARAM>(abi::menuContact),
                      reinterpret_cast<LPARAM>(guarded<onMenuPopup>));
    host::callService(abi::svcAddMenuCallBack, reinterpret_cast<WPARAM>(abi::menuGroup),
                      reinterpret_cast<LPARAM>(guarded<onMenuPopup>));
}

void removeMenus() {
    host::callService(abi::svcRemoveMenuCallBack, reinterpret_cast<WPARAM>(abi::menuContact),
                      reinterpret_cast<LPARAM>(guarded<onMenuPopup>));
    host::callService(abi::svcRemoveMenuCallBack, reinterpret_cast<WPARAM>(abi::menuGroup),
                      reinterpret_cast<LPARAM>(guarded<onMenuPopup>));
    showMenuItem = nullptr;
    silentItemHandle = 0;
    ignoreItemHandle = 0;
}

void updateSilentMenuItem(bool silent) {
    if (silentItemHandle) changeCheckMark(silentItemHandle, silent);
}

}  // namespace kiv
