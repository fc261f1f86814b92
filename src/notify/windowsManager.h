// Owns every notification window and every request waiting for one: a request becomes a window
// stacked from a corner of the work area as soon as it comes, as many as the area holds. A 100 ms
// tick retires windows whose time is over, closes the gaps and shows what waited; it runs only
// while there is something to watch, so the module never wakes while nothing is on the screen.
#pragma once

#include <windows.h>

#include <list>
#include <memory>

#include "base/window_info.h"
#include "notify/stackLayout.h"
#include "notify/stackScreen.h"
#include "notify/windowKeeper.h"

namespace kiv {

class oleAccess;
class window;

class windowsManager : public windowKeeper {
public:
    windowsManager();
    ~windowsManager();
    windowsManager(const windowsManager&) = delete;
    windowsManager& operator=(const windowsManager&) = delete;

    // Queues a copy and shows it at once when there is room. With groupmessages, a further message
    // of a conversation that has a window (or a queued request) goes into that one instead.
    bool addNotification(const window_info& request);

    // The popup services: queue a request that has its id (shown at once when there is room), change
    // the description or the bar, or close with the closing animation. False when the notification is
    // gone or closing.
    void addQueued(const window_info& request);
    bool updateText(int32_t id, const char* text);
    // A new fill of the caller's bar, 0 to 100, or -1 for none: a request without a bar gets one.
    bool setProgress(int32_t id, int32_t percent);
    bool close(int32_t id);
    // The request of an id still queued or shown; null when it is gone.
    const window_info* requestOf(int32_t id);

    // Requests waiting for a window past this many: the oldest are let go, into the history.
    static constexpr size_t queueLimit = 100;

    // A request queued now would wait for a window to close: the screen limit is reached or the
    // stack fills its work area.
    bool mustWait() const;
    void onTick();
    // Starts the tick when something needs watching and it is not running yet.
    void wake();
    enum class placement { shown, failed, noRoom };
    // noRoom: the stack has no room for the window now; the request is left to the caller.
    placement showNotification(window_info request);
    void rearrange();
    void closeWindow(HWND handle) override;
    void closeAll();
    // Every window on screen starts closing, as its time were over, and nothing queued is shown.
    void dismissAll();

    // Loaded at the first call.
    const oleAccess* accessFunctions() override;

    // Read by the in-process tests of the producers.
    const std::list<std::unique_ptr<window>>& windows() const { return windows_; }
    size_t queued() const { return queue_.size(); }

private:
    // What a request that found no room waits to see change.
    struct stackShape {
        size_t windows = 0;
        int64_t heights = 0;
        int lastY = 0;
        RECT area = {0, 0, 0, 0};
        bool operator==(const stackShape& other) const;
    };

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    bool needsTick() const;
    void stopTick();
    void showQueued();
    void enqueue(const window_info& request);
    stackLayout layout() const;
    stackShape shape() const;
    bool hasRoomFor(int height, const stackLayout& stack) const;
    int leastHeight(const window_info& request) const;
    RECT growthArea(const window& grown) const;
    void changeText(window& open, const char* text, int32_t messages);
    bool retire(std::list<std::unique_ptr<window>>::iterator& at);
    bool joinConversation(const window_info& request);
    window* openWindow(int32_t id) const;
    window_info* queuedRequest(int32_t id);
    RECT origin(const RECT& area) const;

    std::unique_ptr<oleAccess> access_;  // outlives the windows, whose objects it disconnects
    std::list<std::unique_ptr<window>> windows_;  // in stacking order, the first at the anchor corner
    std::list<window_info> queue_;
    bool waiting_ = false;     // the oldest request found no room in the stack
    stackShape waitingOn_;     // the stack as it was then
    UINT_PTR timer_ = 0;
    stackScreen screen_;
};

}  // namespace kiv
