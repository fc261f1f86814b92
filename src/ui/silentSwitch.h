// The silent switch as the user and other plug-ins turn it: the setting, what other threads read
// of it, the status menu's check mark, and a silence that ends by itself.
#pragma once

#include <windows.h>

namespace kiv {

class silentSwitch {
public:
    // kiv/setsilent and the notification menu. Ends a timed silence: the user decided.
    static int set(bool on);
    // The status menu's item, whose check mark the host has flipped already.
    static void toggledInMenu(bool on);
    // Silent now, and off again after the given time unless it was switched meanwhile.
    static void silenceFor(DWORD milliseconds);
    // At unloading: a timed silence still running leaves the setting off, so that it is never saved
    // as a lasting one.
    static void endTimedSilence();

private:
    static void CALLBACK check(HWND, UINT, UINT_PTR, DWORD);
    static void stopTimer();
};

}  // namespace kiv
