#include "base/inboxWindow.h"

#include "base/entryGuard.h"
#include "base/moduleState.h"
#include "base/serviceInbox.h"

namespace kiv {

namespace {

constexpr const char* inboxWindowClass = "kiv_inbox_window";

}  // namespace

inboxWindow::inboxWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = guardedCallback<procedure>;
    windowClass.hInstance = plugin.instance;
    windowClass.lpszClassName = inboxWindowClass;
    RegisterClassA(&windowClass);
    handle_ = CreateWindowExA(0, inboxWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, plugin.instance, nullptr);
    inbox.wakeThrough(handle_);
}

inboxWindow::~inboxWindow() {
    inbox.wakeThrough(nullptr);
    if (handle_) DestroyWindow(handle_);
    UnregisterClassA(inboxWindowClass, plugin.instance);
}

// A batch per message: with calls left, the next batch waits behind what else came meanwhile.
LRESULT CALLBACK inboxWindow::procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != serviceInbox::wakeMessage) return DefWindowProcA(handle, message, wParam, lParam);
    if (inbox.runBatch()) PostMessageA(handle, serviceInbox::wakeMessage, 0, 0);
    return 0;
}

}  // namespace kiv
