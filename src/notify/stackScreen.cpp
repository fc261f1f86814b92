#include "notify/stackScreen.h"

namespace kiv {

namespace {

bool monitorInfo(HMONITOR monitor, MONITORINFO& info) {
    info = {};
    info.cbSize = sizeof info;
    return monitor && GetMonitorInfoA(monitor, &info);
}

HMONITOR primaryMonitor() {
    return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

}  // namespace

RECT workArea() {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool monitorBounds(HWND window, RECT& bounds) {
    MONITORINFO info;
    if (!monitorInfo(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), info)) return false;
    bounds = info.rcMonitor;
    return true;
}

void stackScreen::choose(int32_t setting) {
    choice_ = setting;
    monitor_ = nullptr;
    if (choice_ == underPointer) {
        POINT pointer;
        if (GetCursorPos(&pointer)) monitor_ = MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY);
    } else if (choice_ == foregroundWindow) {
        HWND front = GetForegroundWindow();
        if (front) monitor_ = MonitorFromWindow(front, MONITOR_DEFAULTTOPRIMARY);
    }
}

RECT stackScreen::workArea() const {
    if (choice_ == primary) return kiv::workArea();
    MONITORINFO info;
    if (monitorInfo(monitor_, info) || monitorInfo(primaryMonitor(), info)) return info.rcWork;
    return kiv::workArea();
}

}  // namespace kiv
