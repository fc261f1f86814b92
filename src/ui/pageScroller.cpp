#include "ui/pageScroller.h"

#include <algorithm>

namespace kiv {

pageScroller::pageScroller(HWND page, HINSTANCE cursorModule)
    : page_(page),
      openHand_(LoadCursorA(cursorModule, "hand_open")),
      closedHand_(LoadCursorA(cursorModule, "hand_close")) {
    RECT rect = {};
    GetWindowRect(page, &rect);
    pageHeight_ = rect.bottom - rect.top;
    GetClientRect(page, &rect);
    viewHeight_ = rect.bottom;
}

// A page that fits its area cannot be scrolled at all, whatever the gesture.
int pageScroller::lastOffset() const {
    return std::max(0, maxScroll());
}

// The bar always follows the content: a smaller view never leaves the content past its end.
void pageScroller::resize(int newViewHeight) {
    viewHeight_ = newViewHeight;
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    bar.nMin = 0;
    bar.nMax = pageHeight_;
    bar.nPage = static_cast<UINT>(std::max(0, viewHeight_));
    bar.nPos = scrollPos_;
    SetScrollInfo(page_, SB_VERT, &bar, TRUE);
    if (scrollPos_ > lastOffset()) scrollTo(lastOffset());
}

void pageScroller::scrollBar(int request, int thumbPosition) {
    int line = viewHeight_ / 50;
    switch (request) {
    case SB_LINEUP:
        if (scrollPos_ > 0) scrollBy(-std::min(line, scrollPos_));
        break;
    case SB_LINEDOWN:
        if (scrollPos_ < maxScroll()) scrollBy(std::min(line, maxScroll() - scrollPos_));
        break;
    case SB_PAGEUP:
        if (scrollPos_ > 0) scrollBy(-std::min(viewHeight_, scrollPos_));
        break;
    case SB_PAGEDOWN:
        if (scrollPos_ < maxScroll()) scrollBy(std::min(viewHeight_, maxScroll() - scrollPos_));
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        // The bar's own range ends one pixel past the last offset, and a sent message can carry
        // any position: neither may move the content past its end.
        scrollTo(std::clamp(thumbPosition, 0, lastOffset()));
        break;
    default:
        scrollBy(0);
        break;
    }
}

// One step per message, however far the wheel turned.
void pageScroller::wheel(int delta) {
    int step = viewHeight_ / 15;
    if (delta < 0) {
        if (scrollPos_ < maxScroll()) scrollBy(std::min(step, maxScroll() - scrollPos_));
    } else if (scrollPos_ > 0) {
        scrollBy(-std::min(step, scrollPos_));
    }
}

void pageScroller::grab(int y) {
    dragging_ = true;
    SetCapture(page_);
    lastY_ = static_cast<short>(y);
    SetCursor(closedHand_);
}

// Positions are signed 16-bit: above the page, with the capture held, y is negative.
void pageScroller::drag(int y) {
    if (!dragging_) return;
    short current = static_cast<short>(y);
    int distance = lastY_ - current;
    lastY_ = current;
    scrollTo(std::clamp(scrollPos_ + distance, 0, lastOffset()));
}

// Only a drag in progress holds the capture; releasing someone else's would break their click.
void pageScroller::release() {
    if (!dragging_) return;
    dragging_ = false;
    if (GetCapture() == page_) ReleaseCapture();
    SetCursor(openHand_);
}

// The capture was taken away (another window, a menu): the drag is over without a button-up.
void pageScroller::captureLost() {
    dragging_ = false;
}

void pageScroller::showOpenHand() const {
    SetCursor(openHand_);
}

void pageScroller::scrollTo(int offset) {
    scrollBy(offset - scrollPos_);
}

void pageScroller::scrollBy(int distance) {
    scrollPos_ += distance;
    SetScrollPos(page_, SB_VERT, scrollPos_, TRUE);
    if (distance != 0)
        ScrollWindowEx(page_, 0, -distance, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

}  // namespace kiv
