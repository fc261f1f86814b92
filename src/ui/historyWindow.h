// The window that lists the module's history of notifications, newest first. One at a time, a
// modeless window of the host's user-interface thread; closed at unloading.
#pragma once

namespace kiv {

class historyWindow {
public:
    // Opens the window, or brings the open one to the front.
    static void show();
    // Lists the history again when the window is open.
    static void refresh();
    static void close();
};

}  // namespace kiv
