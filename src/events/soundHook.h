// The host asks before each of its own sounds; for the kinds the module knows it plays the user's
// WAV file instead and tells the host to stay quiet.
#pragma once

#include <windows.h>

namespace kiv {

void hookSoundEvent();
void unhookSoundEvent();

// The hook itself: 0 lets the host play its own sound, -1 keeps it silent.
int __cdecl onSoundEvent(WPARAM soundEvent, LPARAM);

}  // namespace kiv
