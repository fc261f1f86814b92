// The keys that reach the module whatever window has the focus: hotkeyclose closes every
// notification, hotkeyhistory opens the history window. A message-only window of the module holds
// them and gets their WM_HOTKEY; it exists only while a key is held.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kiv {

// Also the id each key is registered with.
enum class hotKeyAction : int { closeAll = 1, showHistory = 2 };

class hotKeys {
public:
    // Holds the keys of the settings; one the system refuses now is not held, and stays set.
    hotKeys();
    ~hotKeys();
    hotKeys(const hotKeys&) = delete;
    hotKeys& operator=(const hotKeys&) = delete;

    // The action's key becomes the one given (0: none). False when the system refuses it (another
    // program or the other action holds it): the action then keeps the key it had.
    static bool change(hotKeyAction action, int32_t key);
    // Whether the action's key is this one, taken from the system (0: the action has none).
    static bool holds(hotKeyAction action, int32_t key);

private:
    bool hold(hotKeyAction action, int32_t key);
    bool grab(hotKeyAction action, int32_t key);
    bool openWindow();
    void closeWindow();

    HWND window_ = nullptr;
    int32_t held_[2] = {0, 0};  // by action, as the settings store keys
};

}  // namespace kiv
