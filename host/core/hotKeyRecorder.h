// RegisterHotKey and UnregisterHotKey as the plug-in calls them, seen through its import table:
// each call is recorded and passed on to the system, which answers it (a key that another program
// or window holds is refused with ERROR_HOTKEY_ALREADY_REGISTERED). Installed by pluginLoader.
//
// A test presses a key the plug-in holds as the system delivers one when the user presses it:
// press() posts WM_HOTKEY to the window that registered it, wParam the id given to RegisterHotKey,
// lParam MAKELPARAM(MOD_* modifiers, virtual key); the plug-in's thread gets it from its message
// loop. The recorder keeps the keys from the calls that succeeded, so it presses only what the
// system would deliver.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivhost {

class hotKeyRecorder {
public:
    struct call {
        bool registering;  // RegisterHotKey, or UnregisterHotKey
        HWND window;
        int id;
        UINT modifiers;  // MOD_*, as the plug-in gave them; 0 for UnregisterHotKey
        UINT key;        // the virtual key; 0 for UnregisterHotKey
        bool succeeded;
        DWORD error;  // the system's last error after a refusal
    };
    struct heldKey {
        HWND window;
        int id;
        UINT modifiers;
        UINT key;
    };

    static hotKeyRecorder& get();
    void install(HMODULE module);

    // Every call since the last clear, in order.
    const std::vector<call>& calls() const { return calls_; }
    void clear() { calls_.clear(); }
    // The keys the plug-in holds now: registered and not yet released, on a window that still is.
    std::vector<heldKey> held();
    // WM_HOTKEY for the held key of those MOD_* modifiers (MOD_NOREPEAT aside) and that virtual
    // key; false when the plug-in holds no such key.
    bool press(UINT modifiers, UINT key);

    static BOOL WINAPI registerHotKey(HWND window, int id, UINT modifiers, UINT key);
    static BOOL WINAPI unregisterHotKey(HWND window, int id);

private:
    hotKeyRecorder() = default;
    void release(HWND window, int id);

    std::vector<call> calls_;
    std::vector<heldKey> held_;
};

// "RegisterHotKey id=1 Ctrl+Alt+0x5A" or "UnregisterHotKey id=1", with " refused (error N)" when
// the system said no: one line for a test's messages and expectations.
std::string describe(const hotKeyRecorder::call& call);

}  // namespace kivhost
