// The menu a right click opens on a notification (with actionmenu): first the buttons its caller
// gave it, pressed as a click on them; for a contact's notification, its chat, an end to this kind
// of notification from the contact, and the ignore list; for every notification, an hour of
// silence, closing them all, and the history.
#pragma once

#include <windows.h>

#include "base/window_info.h"

namespace kiv {

class actionMenu {
public:
    // Runs the menu at the pointer, owned by the notification, and carries out the choice. Returns
    // once the menu is gone; by then the notification may be gone too.
    static void open(HWND notification, const window_info& request);
};

}  // namespace kiv
