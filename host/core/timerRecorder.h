// SetTimer and KillTimer as the plug-in calls them, seen through its import table: each call is
// passed on to the system, and the recorder keeps the timers that live, so that a test can tell
// the module's timer messages from others and see whether it holds any timer at all. Installed by
// pluginLoader.
#pragma once

#include <windows.h>

#include <set>
#include <utility>

namespace kivhost {

class timerRecorder {
public:
    static timerRecorder& get();
    void install(HMODULE module);

    // Timers the plug-in set and has not killed, on a window that still is.
    size_t live();
    // Whether the message is a WM_TIMER of one of the plug-in's live timers.
    bool fromModule(const MSG& message) const;

    static UINT_PTR WINAPI setTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure);
    static BOOL WINAPI killTimer(HWND window, UINT_PTR id);

private:
    timerRecorder() = default;

    std::set<std::pair<HWND, UINT_PTR>> live_;
};

}  // namespace kivhost
