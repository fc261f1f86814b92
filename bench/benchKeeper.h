// The keeper of the windows that the in-process benchmarks build and destroy themselves: nothing
// there asks for the accessibility functions or closes a window by a click.
#pragma once

#include "notify/windowKeeper.h"

namespace kivbench {

struct benchKeeper : kiv::windowKeeper {
    const kiv::oleAccess* accessFunctions() override { return nullptr; }
    void closeWindow(HWND) override {}
};

}  // namespace kivbench
