// A message-only window of the module's own, on the user-interface thread: when another thread
// queues a call in the inbox, the inbox posts it a message, and the call runs as soon as the thread
// gets to its messages rather than at some timer. Made at load and gone at unload; a message
// posted meanwhile goes with the window.
#pragma once

#include <windows.h>

namespace kiv {

class inboxWindow {
public:
    inboxWindow();
    ~inboxWindow();
    inboxWindow(const inboxWindow&) = delete;
    inboxWindow& operator=(const inboxWindow&) = delete;

private:
    static LRESULT CALLBACK procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
};

}  // namespace kiv
