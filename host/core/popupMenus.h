// kivhost's context and status menus, built from the items plug-ins registered. Each opening
// fills a popup record with the selection, lets the menu's callbacks say which items to show
// (event 1, before the menu appears), and carries out a choice the way the messenger does: a
// check item's mark is flipped before its callback runs.
//
// Host-side choices: the status menu shows all of its items; an item of a submenu can only be
// chosen while its parent is shown too; the popup record carries the menu name, the entries and
// their count, and nothing else.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "hostCore.h"

namespace kivhost {

struct menuEntry {
    std::string id;  // contact identifier, or group name in the group menu
    std::string protocol = "TLEN";
};
using menuSelection = std::vector<menuEntry>;

// One opening of a menu: the record plug-ins read, and the list showMenuItem fills.
class menuOpening {
public:
    menuOpening(const std::string& menu, const menuSelection& selection);
    menuOpening(const menuOpening&) = delete;
    menuOpening& operator=(const menuOpening&) = delete;

    // Calls every callback registered for this menu with the event; their results in order.
    std::vector<int> notify(int event);
    bool offers(const menuItem& item) const;
    std::vector<std::string> offeredItems() const;  // in registration order
    // The choice as a click makes it: false when the item is not offered or has no callback.
    bool carryOut(const std::string& itemName);
    // The menu a person sees: offered top-level items, and a submenu under each item that has
    // offered children. Command identifiers are item handles.
    HMENU build() const;

private:
    bool shown(const std::string& itemName) const;

    std::string menu_;
    menuSelection selection_;
    std::vector<abi::menu_entry> entries_;
    hostCore::visibleList shown_;
    abi::menu_popup_info popup_ = {};
};

// What opening the menu for this selection shows.
std::vector<std::string> visibleItems(const std::string& menu, const menuSelection& selection);
// Everything a click on the item does, without a mouse: opens the menu, then chooses the item.
bool choose(const std::string& menu, const menuSelection& selection, const std::string& itemName);
// The real popup at a screen point; the chosen item is carried out. False when nothing was chosen.
bool trackMenu(const std::string& menu, const menuSelection& selection, HWND owner, POINT at);

}  // namespace kivhost
