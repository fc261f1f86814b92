// Answers the plug-in's modal dialogs and message boxes while the UI thread sits in their loops:
// a background thread looks for a dialog of this process whose caption starts with a given text,
// records its caption and message, and runs an action on it (press a button, fill controls).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "criticalSection.h"
#include "pollingThread.h"

namespace kivhost {

class dialogWatcher {
public:
    struct seenDialog {
        std::string caption;
        std::string message;  // a message box's text
    };
    // Runs on the watcher thread; SendMessage from there reaches the dialog through its loop.
    using action = std::function<void(HWND dialog)>;

    dialogWatcher(std::string captionPrefix, action onDialog);
    dialogWatcher(const dialogWatcher&) = delete;
    dialogWatcher& operator=(const dialogWatcher&) = delete;

    std::vector<seenDialog> seen() const;

    // Presses a dialog's button as a user would.
    static void press(HWND dialog, int buttonId);

private:
    static BOOL CALLBACK collect(HWND window, LPARAM found);
    void look();

    std::string prefix_;
    action onDialog_;
    std::vector<HWND> handled_;
    std::vector<seenDialog> seen_;
    mutable criticalSection lock_;
    pollingThread thread_;  // last: it stops before the rest goes
};

}  // namespace kivhost
