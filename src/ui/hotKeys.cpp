#include "ui/hotKeys.h"

#include <commctrl.h>

#include "base/entryGuard.h"
#include "base/messageWindow.h"
#include "base/moduleState.h"
#include "notify/windowsManager.h"
#include "settings/config.h"
#include "ui/historyWindow.h"

namespace kiv {

namespace {

inline constexpr const char* keysWindowClass = "kiv_hotkeys";

// The page's apply reaches the keys through this: the host's page events carry no pointer of ours.
hotKeys* live = nullptr;

size_t slotOf(hotKeyAction action) {
    return action == hotKeyAction::closeAll ? 0 : 1;
}

// The hot-key control's HOTKEYF_* bits are not RegisterHotKey's MOD_* bits; HOTKEYF_EXT only
// tells apart keys that have their own virtual key anyway.
UINT modifiersOf(int32_t key) {
    const auto flags = static_cast<UINT>(key >> 8);
    return (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0u) | (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0u) |
           (flags & HOTKEYF_ALT ? MOD_ALT : 0u);
}

void onHotKey(WPARAM id) {
    switch (static_cast<hotKeyAction>(id)) {
    case hotKeyAction::closeAll:
        if (plugin.windows) plugin.windows->dismissAll();
        break;
    case hotKeyAction::showHistory:
        if (plugin.settings && plugin.settings->history > 0) historyWindow::show();
        break;
    }
}

LRESULT CALLBACK keysWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_HOTKEY) return DefWindowProcA(window, message, wParam, lParam);
    onHotKey(wParam);
    return 0;
}

}  // namespace

hotKeys::hotKeys() {
    live = this;
    if (!plugin.settings) return;
    hold(hotKeyAction::closeAll, plugin.settings->hotkeyclose);
    hold(hotKeyAction::showHistory, plugin.settings->hotkeyhistory);
}

hotKeys::~hotKeys() {
    hold(hotKeyAction::closeAll, 0);
    hold(hotKeyAction::showHistory, 0);
    live = nullptr;
}

bool hotKeys::change(hotKeyAction action, int32_t key) {
    return live && live->hold(action, key);
}

bool hotKeys::holds(hotKeyAction action, int32_t key) {
    return live && live->held_[slotOf(action)] == key;
}

// The previous key is let go first: Windows would keep it beside the new one under the same id.
bool hotKeys::hold(hotKeyAction action, int32_t key) {
    int32_t& held = held_[slotOf(action)];
    if (key == held) return true;
    if (held) UnregisterHotKey(window_, static_cast<int>(action));
    const bool accepted = key == 0 || grab(action, key);
    if (accepted)
        held = key;
    else if (held && !grab(action, held))
        held = 0;
    if (!held_[0] && !held_[1]) closeWindow();
    return accepted;
}

bool hotKeys::grab(hotKeyAction action, int32_t key) {
    return openWindow() &&
           RegisterHotKey(window_, static_cast<int>(action), modifiersOf(key), static_cast<UINT>(key & 0xFF));
}

bool hotKeys::openWindow() {
    if (!window_) window_ = openMessageWindow(keysWindowClass, guardedCallback<keysWindowProc>);
    return window_ != nullptr;
}

void hotKeys::closeWindow() {
    closeMessageWindow(window_, keysWindowClass);
    window_ = nullptr;
}

}  // namespace kiv
