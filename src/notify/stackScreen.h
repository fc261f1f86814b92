// Which monitor the stack of notifications stands on: picked by the setting `monitor` when a stack
// starts, kept while the stack has windows, so that a stack never spans two screens.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kiv {

// The primary monitor's work area as the system reports it.
RECT workArea();

// The bounds of the monitor the window is on; false when the system cannot say.
bool monitorBounds(HWND window, RECT& bounds);

class stackScreen {
public:
    enum choice : int32_t { primary = 0, underPointer = 1, foregroundWindow = 2 };

    void choose(int32_t setting);
    // The chosen monitor's work area; the primary's when that monitor is gone (unplugged).
    RECT workArea() const;
    // Only the primary (monitor 0) counts bind from the screen's origin; any chosen monitor counts
    // it from its own work area's left and top edges.
    bool fromAreaEdges() const { return choice_ != primary; }

private:
    int32_t choice_ = primary;
    HMONITOR monitor_ = nullptr;
};

}  // namespace kiv
