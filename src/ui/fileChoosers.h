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

// A sound path's row of buttons: browse, play or clear its edit when id is one of them; false for
// any other id. The row names its edit and buttons edit, browse, play and clear.
template <class Row>
bool soundButtonCommand(HWND dialog, const Row& row, int id) {
    if (id == row.browse)
        chooseSoundFile(dialog, row.edit);
    else if (id == row.play)
        playEditSound(dialog, row.edit);
    else if (id == row.clear)
        SetDlgItemTextA(dialog, row.edit, "");
    else
        return false;
    return true;
}

// The folder browser; true with the folder's file-system path when one was picked.
bool chooseFolder(HWND owner, char* folder, size_t size);

template <size_t N>
bool chooseFolder(HWND owner, char (&folder)[N]) {
    return chooseFolder(owner, folder, N);
}

}  // namespace kiv
