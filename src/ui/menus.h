// The module's entries in the host's contact, group and status menus.
#pragma once

namespace kiv {

// Adds every item and the menu callbacks; once, at start-up, after the settings and filters exist.
void setupMenus();
// Takes the menu callbacks back at shutdown; the host drops the items with the module.
void removeMenus();

// Makes the status menu's silent switch show whether kiv is silent, when the switch exists.
void updateSilentMenuItem(bool silent);

}  // namespace kiv
