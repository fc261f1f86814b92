// Monitors as the plug-in sees them, answered at its import table from a layout that a test sets:
// a virtual screen gives Wine one monitor, however wide it is. Without a layout the system answers.
#pragma once

#include <windows.h>

#include <vector>

namespace kivhost {

struct monitorArea {
    RECT bounds;
    RECT work;
};

class monitorLayout {
public:
    static monitorLayout& get();
    void install(HMODULE module);

    // The first monitor is the primary. A monitor's handle belongs to its place in the list, so a
    // layout that leaves the second out makes the second's handle unknown, as an unplugged one is.
    void set(const std::vector<monitorArea>& monitors) { monitors_ = monitors; }
    void clear() { monitors_.clear(); }
    bool active() const { return !monitors_.empty(); }
    static HMONITOR handleOf(size_t index);

private:
    static HMONITOR WINAPI monitorFromPoint(POINT point, DWORD flags);
    static HMONITOR WINAPI monitorFromWindow(HWND window, DWORD flags);
    static BOOL WINAPI getMonitorInfoA(HMONITOR monitor, LPMONITORINFO info);
    HMONITOR best(const RECT& area, DWORD flags) const;
    HMONITOR fallback(const RECT& area, DWORD flags) const;

    std::vector<monitorArea> monitors_;
};

}  // namespace kivhost
