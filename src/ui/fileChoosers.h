// The system's file and folder choosers, as the filter dialog and the options page use them.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kiv {

// The open-file dialog for one sound path: starts from the edit's text and, when the user
// confirms, puts the chosen file into the edit. False on cancel.
bool chooseSoundFile(HWND dialog, int editId);

// Plays the sound file named in the edit.
void playEditSound(HWND dialog, int editId);

// The folder browser; true with the folder's file-system path when one was picked.
bool chooseFolder(HWND owner, char* folder, size_t size);

template <size_t N>
bool chooseFolder(HWND owner, char (&folder)[N]) {
    return chooseFolder(owner, folder, N);
}

}  // namespace kiv
