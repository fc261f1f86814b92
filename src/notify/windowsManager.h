// Owns every notification window and every request waiting for one: a 100 ms tick turns queued
// requests into windows stacked from a corner of the work area, retires windows whose time is
// over and closes the gaps.
#pragma once

#include <windows.h>

#include <list>

#include "notify/window_info.h"

namespace kiv {

class window;

// The primary monitor's work area: where notifications stack.
RECT workArea();

class windowsManager {
public:
    windowsManager();
    ~windowsManager();
    windowsManager(const windowsManager&) = delete;
    windowsManager& operator=(const windowsManager&) = delete;

    // Queues a copy; the window appears at the next tick.
    bool addNotification(const window_info& request);
    // A request queued now would wait for a window to close: the screen limit is reached.
    bool mustWait() const;
    void onTick();
    bool showNotification(window_info request);
    void rearrange();
    // Destroys the window at once, without closing animation.
    void closeWindow(HWND handle);
    void closeAll();

    bool isFullScreenAppActive() const;
    bool isChatWindowActive(const char* protocol, const char* contactId) const;

    // Read by the in-process tests of the producers.
    const std::list<window*>& windows() const { return windows_; }
    size_t queued() const { return queue_.size(); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    bool topCorner() const;
    bool leftCorner() const;
    int anchorX(const RECT& area, int width) const;
    int firstEdge(const RECT& area) const;
    bool retire(std::list<window*>::iterator& at);

    std::list<window*> windows_;  // in stacking order, the first at the anchor corner
    std::list<window_info> queue_;
    UINT_PTR timer_ = 0;
};

}  // namespace kiv
