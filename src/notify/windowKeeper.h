// What a notification window asks of whoever keeps it: the window is made with its keeper and
// never reaches for it through the module state.
#pragma once

#include <windows.h>

namespace kiv {

class oleAccess;

class windowKeeper {
public:
    // The accessibility functions; null when the platform lacks them.
    virtual const oleAccess* accessFunctions() = 0;
    // Destroys the window at once, without closing animation.
    virtual void closeWindow(HWND handle) = 0;

protected:
    windowKeeper() = default;
    ~windowKeeper() = default;
    windowKeeper(const windowKeeper&) = default;
    windowKeeper& operator=(const windowKeeper&) = default;
};

}  // namespace kiv
