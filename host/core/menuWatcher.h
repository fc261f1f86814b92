// Answers the popup menus a plug-in tracks while the UI thread sits in their loop, as a person
// would with the keyboard: a background thread finds the menu window of this process, reads its
// items, lets the caller look (a picture, say), then chooses an item by its text with the arrow
// keys and Enter, or closes the menu with Escape.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "criticalSection.h"
#include "pollingThread.h"

namespace kivhost {

class menuWatcher {
public:
    // A menu's items as it shows them; a separator is "-".
    using items = std::vector<std::string>;
    // Runs on the watcher thread while the menu is open and painted.
    using look = std::function<void(HWND menuWindow)>;

    // choice: the text of the item to choose in every menu that opens; empty: Escape.
    explicit menuWatcher(std::string choice = "", look whileOpen = nullptr);
    menuWatcher(const menuWatcher&) = delete;
    menuWatcher& operator=(const menuWatcher&) = delete;

    // Every menu answered so far, in order.
    std::vector<items> seen() const;

    // The items of a menu window, read through the menu it shows.
    static items itemsOf(HWND menuWindow);

private:
    static BOOL CALLBACK collect(HWND window, LPARAM found);
    void lookAround();
    void answer(HWND menuWindow);

    std::string choice_;
    look whileOpen_;
    std::vector<HWND> handled_;
    std::vector<items> seen_;
    mutable criticalSection lock_;
    pollingThread thread_;  // last: it stops before the rest goes
};

}  // namespace kivhost
