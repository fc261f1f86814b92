#include "dialogWatcher.h"

#include <algorithm>

namespace kivhost {

dialogWatcher::dialogWatcher(std::string captionPrefix, action onDialog)
    : prefix_(std::move(captionPrefix)), onDialog_(std::move(onDialog)), thread_([this] { look(); }) {}

std::vector<dialogWatcher::seenDialog> dialogWatcher::seen() const {
    lockHeld held(lock_);
    return seen_;
}

void dialogWatcher::press(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

BOOL CALLBACK dialogWatcher::collect(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

void dialogWatcher::look() {
    struct {
        std::vector<HWND> found;
    } state;
    EnumWindows(&dialogWatcher::collect, reinterpret_cast<LPARAM>(&state.found));
    handled_.erase(std::remove_if(handled_.begin(), handled_.end(), [](HWND w) { return !IsWindow(w); }),
                   handled_.end());
    for (HWND dialog : state.found) {
        char title[512] = "";
        GetWindowTextA(dialog, title, sizeof title);
        if (std::string(title).rfind(prefix_, 0) != 0) continue;
        if (std::find(handled_.begin(), handled_.end(), dialog) != handled_.end()) continue;
        handled_.push_back(dialog);
        seenDialog seenOne;
        char caption[512] = "";
        char message[2048] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        GetDlgItemTextA(dialog, 0xFFFF, message, sizeof message);
        seenOne.caption = caption;
        seenOne.message = message;
        {
            lockHeld held(lock_);
            seen_.push_back(seenOne);
        }
        if (onDialog_) onDialog_(dialog);
    }
}

}  // namespace kivhost
