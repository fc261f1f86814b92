// One notification window on the screen.
#pragma once

#include <windows.h>

namespace kiv {

LRESULT CALLBACK notifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kiv
