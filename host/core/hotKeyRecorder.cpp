#include "hotKeyRecorder.h"

#include <algorithm>
#include <cstdio>

#include "importPatch.h"

namespace kivhost {

namespace {

constexpr UINT modifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;

}  // namespace

hotKeyRecorder& hotKeyRecorder::get() {
    static hotKeyRecorder recorder;
    return recorder;
}

void hotKeyRecorder::install(HMODULE module) {
    patchImport(module, "USER32.dll", "RegisterHotKey", reinterpret_cast<void*>(&registerHotKey));
    patchImport(module, "USER32.dll", "UnregisterHotKey", reinterpret_cast<void*>(&unregisterHotKey));
}

void hotKeyRecorder::release(HWND window, int id) {
    held_.erase(std::remove_if(held_.begin(), held_.end(),
                               [&](const heldKey& k) { return k.window == window && k.id == id; }),
                held_.end());
}

// A window's keys go with the window, as the system drops them.
std::vector<hotKeyRecorder::heldKey> hotKeyRecorder::held() {
    held_.erase(std::remove_if(held_.begin(), held_.end(), [](const heldKey& k) { return !IsWindow(k.window); }),
                held_.end());
    return held_;
}

bool hotKeyRecorder::press(UINT modifiers, UINT key) {
    for (const heldKey& k : held())
        if ((k.modifiers & modifierMask) == (modifiers & modifierMask) && k.key == key)
            return PostMessageA(k.window, WM_HOTKEY, static_cast<WPARAM>(k.id),
                                MAKELPARAM(k.modifiers & modifierMask, k.key)) != FALSE;
    return false;
}

BOOL WINAPI hotKeyRecorder::registerHotKey(HWND window, int id, UINT modifiers, UINT key) {
    const BOOL done = RegisterHotKey(window, id, modifiers, key);
    const DWORD error = done ? 0 : GetLastError();
    hotKeyRecorder& recorder = get();
    recorder.calls_.push_back({true, window, id, modifiers, key, done != FALSE, error});
    if (done) {
        recorder.release(window, id);
        recorder.held_.push_back({window, id, modifiers, key});
    }
    SetLastError(error);
    return done;
}

BOOL WINAPI hotKeyRecorder::unregisterHotKey(HWND window, int id) {
    const BOOL done = UnregisterHotKey(window, id);
    const DWORD error = done ? 0 : GetLastError();
    hotKeyRecorder& recorder = get();
    recorder.calls_.push_back({false, window, id, 0, 0, done != FALSE, error});
    if (done) recorder.release(window, id);
    SetLastError(error);
    return done;
}

std::string describe(const hotKeyRecorder::call& call) {
    std::string line = (call.registering ? "RegisterHotKey id=" : "UnregisterHotKey id=") + std::to_string(call.id);
    if (call.registering) {
        line += " ";
        if (call.modifiers & MOD_CONTROL) line += "Ctrl+";
        if (call.modifiers & MOD_ALT) line += "Alt+";
        if (call.modifiers & MOD_SHIFT) line += "Shift+";
        if (call.modifiers & MOD_WIN) line += "Win+";
        char key[8];
        snprintf(key, sizeof key, "0x%02X", call.key);
        line += key;
    }
    if (!call.succeeded) line += " refused (error " + std::to_string(call.error) + ")";
    return line;
}

}  // namespace kivhost
