#include "base/inboxWindow.h"

#include "base/entryGuard.h"
#include "base/messageWindow.h"
#include "base/serviceInbox.h"

namespace kiv {

namespace {

constexpr const char* inboxWindowClass = "kiv_inbox_window";

}  // namespace

inboxWindow::inboxWindow() : handle_(openMessageWindow(inboxWindowClass, guardedCallback<procedure>)) {
    inbox.wakeThrough(handle_);
}

inboxWindow::~inboxWindow() {
    inbox.wakeThrough(nullptr);
    closeMessageWindow(handle_, inboxWindowClass);
}

// A batch per message: with calls left, the next batch waits behind what else came meanwhile.
LRESULT CALLBACK inboxWindow::procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != serviceInbox::wakeMessage) return DefWindowProcA(handle, message, wParam, lParam);
    if (inbox.runBatch()) PostMessageA(handle, serviceInbox::wakeMessage, 0, 0);
    return 0;
}

}  // namespace kiv
