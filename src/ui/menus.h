// The module's entries in the host's contact, group and status menus.
#pragma once

namespace kiv {

// Makes the status menu's silent switch show the current setting, when the switch exists.
void updateSilentMenuItem();

}  // namespace kiv
