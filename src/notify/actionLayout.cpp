#include "notify/actionLayout.h"

#include <algorithm>

namespace kiv {

namespace {

constexpr int space = 4;          // above the bar, above the row, between buttons
constexpr int sidePadding = 8;    // on each side of a caption
constexpr int captionInset = 4;   // a caption cut short ends this far from the frame
constexpr int edgePadding = 3;    // above and below a caption

}  // namespace

actionLayout::actionLayout(const RECT& column, bool bar, const int* captionWidths, int count, int lineHeight)
    : column_(column),
      bar_(bar),
      count_(std::clamp(count, 0, popupActions)),
      barHeight_(std::max(4, lineHeight / 2)),
      buttonHeight_(std::max(0, lineHeight) + 2 * edgePadding) {
    column_.right = std::max(column_.left, column_.right);
    for (int k = 0; k < count_; ++k) widths_[k] = std::max(0, captionWidths[k]) + 2 * sidePadding;
}

int actionLayout::height() const {
    return (bar_ ? space + barHeight_ : 0) + (count_ > 0 ? space + buttonHeight_ : 0);
}

// Each button as wide as its caption asks while the row has room; when it has not, the widest
// ones are narrowed to the same width, and their captions end in an ellipsis when painted.
void actionLayout::place(int top) {
    int y = top;
    progress_ = {0, 0, 0, 0};
    if (bar_) {
        y += space;
        progress_ = {column_.left, y, column_.right, y + barHeight_};
        y += barHeight_;
    }
    if (count_ == 0) return;
    y += space;
    int widths[popupActions];
    fitWidths(static_cast<int>(column_.right - column_.left) - space * (count_ - 1), widths);
    int right = column_.right;
    for (int k = count_ - 1; k >= 0; --k) {
        actions_[k] = {right - widths[k], y, right, y + buttonHeight_};
        right -= widths[k] + space;
    }
}

// The narrowest buttons first: each keeps its own width when it is within an equal share of what
// is left, and what it leaves over goes to the wider ones.
void actionLayout::fitWidths(int room, int (&widths)[popupActions]) const {
    int order[popupActions] = {0, 1, 2};
    for (int i = 1; i < count_; ++i)
        for (int j = i; j > 0 && widths_[order[j - 1]] > widths_[order[j]]; --j) std::swap(order[j - 1], order[j]);
    int left = std::max(0, room);
    for (int i = 0; i < count_; ++i) {
        const int k = order[i];
        widths[k] = std::min(widths_[k], left / (count_ - i));
        left -= widths[k];
    }
}

RECT actionLayout::action(int k) const {
    if (k < 0 || k >= count_) return {0, 0, 0, 0};
    return actions_[k];
}

RECT actionLayout::caption(int k) const {
    RECT inside = action(k);
    if (IsRectEmpty(&inside)) return inside;
    inside.left += std::min<LONG>(captionInset, (inside.right - inside.left) / 2);
    inside.right = std::max(inside.left, inside.right - captionInset);
    return inside;
}

}  // namespace kiv
