#include "monitorLayout.h"

#include <cstdio>

#include "importPatch.h"

namespace kivhost {

namespace {

constexpr UINT_PTR firstHandle = 0x6B690001;  // far from the system's own monitor handles

long long overlap(const RECT& a, const RECT& b) {
    RECT common;
    if (!IntersectRect(&common, &a, &b)) return 0;
    return static_cast<long long>(common.right - common.left) * (common.bottom - common.top);
}

// Distance from the area to the rectangle along both axes, 0 when they touch.
long long distance(const RECT& area, const RECT& monitor) {
    long long dx = area.right <= monitor.left ? monitor.left - area.right + 1
                   : area.left >= monitor.right ? area.left - monitor.right + 1 : 0;
    long long dy = area.bottom <= monitor.top ? monitor.top - area.bottom + 1
                   : area.top >= monitor.bottom ? area.top - monitor.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

}  // namespace

monitorLayout& monitorLayout::get() {
    static monitorLayout layout;
    return layout;
}

HMONITOR monitorLayout::handleOf(size_t index) {
    return reinterpret_cast<HMONITOR>(firstHandle + index);
}

void monitorLayout::install(HMODULE module) {
    patchImport(module, "USER32.dll", "MonitorFromPoint", reinterpret_cast<void*>(&monitorLayout::monitorFromPoint));
    patchImport(module, "USER32.dll", "MonitorFromWindow", reinterpret_cast<void*>(&monitorLayout::monitorFromWindow));
    patchImport(module, "USER32.dll", "GetMonitorInfoA", reinterpret_cast<void*>(&monitorLayout::getMonitorInfoA));
}

// The monitor the area overlaps most; none: as the flags say.
HMONITOR monitorLayout::best(const RECT& area, DWORD flags) const {
    long long most = 0;
    HMONITOR found = nullptr;
    for (size_t i = 0; i < monitors_.size(); ++i) {
        long long shared = overlap(area, monitors_[i].bounds);
        if (shared > most) {
            most = shared;
            found = handleOf(i);
        }
    }
    return found ? found : fallback(area, flags);
}

HMONITOR monitorLayout::fallback(const RECT& area, DWORD flags) const {
    if (flags == MONITOR_DEFAULTTOPRIMARY) return handleOf(0);
    if (flags != MONITOR_DEFAULTTONEAREST) return nullptr;
    size_t nearest = 0;
    for (size_t i = 1; i < monitors_.size(); ++i)
        if (distance(area, monitors_[i].bounds) < distance(area, monitors_[nearest].bounds)) nearest = i;
    return handleOf(nearest);
}

HMONITOR WINAPI monitorLayout::monitorFromPoint(POINT point, DWORD flags) {
    const monitorLayout& layout = get();
    if (!layout.active()) return MonitorFromPoint(point, flags);
    return layout.best(RECT{point.x, point.y, point.x + 1, point.y + 1}, flags);
}

HMONITOR WINAPI monitorLayout::monitorFromWindow(HWND window, DWORD flags) {
    const monitorLayout& layout = get();
    if (!layout.active()) return MonitorFromWindow(window, flags);
    RECT area;
    if (!GetWindowRect(window, &area)) return layout.fallback(RECT{0, 0, 0, 0}, flags);
    return layout.best(area, flags);
}

BOOL WINAPI monitorLayout::getMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
    const monitorLayout& layout = get();
    if (!layout.active()) return GetMonitorInfoA(monitor, info);
    const UINT_PTR index = reinterpret_cast<UINT_PTR>(monitor) - firstHandle;
    if (!info || info->cbSize < sizeof(MONITORINFO) || index >= layout.monitors_.size()) {
        SetLastError(ERROR_INVALID_MONITOR_HANDLE);
        return FALSE;
    }
    info->rcMonitor = layout.monitors_[index].bounds;
    info->rcWork = layout.monitors_[index].work;
    info->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize >= sizeof(MONITORINFOEXA))
        snprintf(reinterpret_cast<MONITORINFOEXA*>(info)->szDevice, CCHDEVICENAME, "\\\\.\\DISPLAY%u",
                 static_cast<unsigned>(index + 1));
    return TRUE;
}

}  // namespace kivhost
