#include "base/messageWindow.h"

#include "base/moduleState.h"

namespace kiv {

HWND openMessageWindow(const char* className, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = plugin.instance;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, plugin.instance, nullptr);
    if (!window) UnregisterClassA(className, plugin.instance);
    return window;
}

void closeMessageWindow(HWND window, const char* className) {
    if (!window) return;
    DestroyWindow(window);
    UnregisterClassA(className, plugin.instance);
}

}  // namespace kiv
