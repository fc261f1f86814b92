// Where a notification's progress bar and buttons go: under the description, within its column,
// the bar first and the row of buttons below it, right-aligned as a dialog's buttons are.
#pragma once

#include <windows.h>

#include "kiv/popup.h"

namespace kiv {

class actionLayout {
public:
    actionLayout() = default;  // nothing under the description
    // column: the description's left and right edges; captionWidths: what each caption needs in
    // the description font, whose line is lineHeight tall.
    actionLayout(const RECT& column, bool bar, const int* captionWidths, int count, int lineHeight);

    bool empty() const { return !bar_ && count_ == 0; }
    // The rows the bar and the buttons take, with the space above each.
    int height() const;
    // Both placed with the space above the first at top; empty rectangles for what is not there.
    void place(int top);
    RECT progress() const { return progress_; }
    RECT action(int k) const;
    // Where button k's caption goes: inside its frame, with room to spare on each side.
    RECT caption(int k) const;

private:
    void fitWidths(int room, int (&widths)[popupActions]) const;

    RECT column_ = {0, 0, 0, 0};
    bool bar_ = false;
    int count_ = 0;
    int widths_[popupActions] = {};
    int barHeight_ = 0, buttonHeight_ = 0;
    RECT progress_ = {0, 0, 0, 0};
    RECT actions_[popupActions] = {};
};

}  // namespace kiv
