#include "base/chatInFront.h"

#include <windows.h>

#include <cstring>

#include "base/chatTitle.h"

namespace kiv {

namespace {

// The messenger's chat windows live in its own process, the one the module is loaded into.
bool isMessengersChat(HWND window) {
    char className[1024] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "TChat") != 0) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// The title as the system keeps it, read without a message: a window on another thread that has
// stopped answering cannot hold the caller, a protocol hook, for as long as it hangs. The
// messenger sets its chat titles through the system, so the kept text is the title.
bool titleOf(HWND window, char* title, int size) {
    wchar_t wide[1024] = L"";
    if (InternalGetWindowText(window, wide, sizeof wide / sizeof wide[0]) <= 0) return false;
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, title, size, nullptr, nullptr) > 0;
}

}  // namespace

bool isChatWindowActive(const char* protocol, const char* contactId) {
    HWND foreground = GetForegroundWindow();
    if (!foreground || !isMessengersChat(foreground)) return false;
    char title[1024] = "";
    if (!titleOf(foreground, title, sizeof title)) return false;
    return isChatTitleOf(title, protocol, contactId);
}

}  // namespace kiv
