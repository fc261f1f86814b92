// The silent switch as the user and other plug-ins turn it: the lasting setting, a silence that
// ends by itself, what other threads read of it, its services and the status menu's check mark.
#pragma once

#include <windows.h>

namespace kiv {

class silentSwitch {
public:
    // kiv/getsilent and kiv/setsilent, first thing at loading and last at unloading.
    static void offerServices();
    static void withdrawServices();
    // Once the settings are read, other threads may read the switch and it holds notifications back.
    static void open();
    // At unloading: other threads read -1 from then on, and a timed silence ends without a trace.
    static void close();

    // Whether kiv is silent now, for a lasting switch or for a while.
    static bool on();
    // kiv/setsilent and the notification menu. Ends a timed silence: the user decided.
    static int set(bool on);
    // The status menu's item, whose check mark the host has flipped already.
    static void toggledInMenu(bool on);
    // Silent now, and off again after the given time unless it was switched meanwhile. Never stored
    // as the lasting setting, so that a save meanwhile keeps the file as the user left it.
    static void silenceFor(DWORD milliseconds);

private:
    static int __cdecl getService(WPARAM, LPARAM);
    static int __cdecl setService(WPARAM on, LPARAM);
    static void CALLBACK check(HWND, UINT, UINT_PTR, DWORD);
    static void stopTimer();
    static void publish();
};

}  // namespace kiv
