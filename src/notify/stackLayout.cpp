#include "notify/stackLayout.h"

#include <algorithm>

#include "settings/config.h"

namespace kiv {

namespace {

// Settings are any 32-bit number; sums are taken wide and brought back within the area.
int within(int64_t value, LONG low, LONG high) {
    return static_cast<int>(std::max<int64_t>(low, std::min<int64_t>(value, std::max(low, high))));
}

}  // namespace

stackLayout::stackLayout(const RECT& area, const RECT& origin, int32_t bindpos, int32_t bindX, int32_t bindY,
                         int32_t space)
    : area_(area), top_(isTopCorner(bindpos)), left_(isLeftCorner(bindpos)), space_(space) {
    const int64_t edge = top_ ? int64_t{origin.top} + bindY : int64_t{area.bottom} - bindY;
    first_ = within(edge, area.top, area.bottom);
    anchorX_ = within(left_ ? int64_t{origin.left} + bindX : int64_t{area.right} - bindX, area.left, area.right);
}

int stackLayout::x(int width) const {
    return within(left_ ? anchorX_ : int64_t{anchorX_} - width, area_.left, area_.right - width);
}

// A window alone taller than the room it has is cut to the area, and stands at its far side.
int stackLayout::y(int edge, int height) const {
    return within(top_ ? edge : int64_t{edge} - height, area_.top, area_.bottom - height);
}

int stackLayout::nextEdge(int y, int height) const {
    const int64_t next = top_ ? int64_t{y} + height + space_ : int64_t{y} - space_;
    return within(next, area_.top - 1, area_.bottom + 1);  // one past the area: nothing fits there
}

bool stackLayout::fits(int edge, int height) const {
    return top_ ? int64_t{edge} + height <= area_.bottom : int64_t{edge} - height >= area_.top;
}

int stackLayout::room() const {
    return top_ ? area_.bottom - first_ : first_ - area_.top;
}

}  // namespace kiv
