// A message-only window of the module's own class, registered for it and unregistered with it.
#pragma once

#include <windows.h>

namespace kiv {

// Null when the window could not be made; its class is then gone again.
HWND openMessageWindow(const char* className, WNDPROC procedure);
void closeMessageWindow(HWND window, const char* className);

}  // namespace kiv
