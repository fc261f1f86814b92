// Scrolls a page that is taller than its window: by the vertical scroll bar, by the mouse wheel,
// and by grabbing the page's background and dragging it like a hand tool.
#pragma once

#include <windows.h>

namespace kiv {

class pageScroller {
public:
    // The page's height is taken from its window as it is now, before the host sizes it.
    pageScroller(HWND page, HINSTANCE cursorModule);
    pageScroller(const pageScroller&) = delete;
    pageScroller& operator=(const pageScroller&) = delete;

    void resize(int newViewHeight);
    void scrollBar(int request, int thumbPosition);
    void wheel(int delta);

    void grab(int y);
    void drag(int y);
    void release();
    void captureLost();

    void showOpenHand() const;

private:
    int maxScroll() const { return pageHeight_ - viewHeight_; }
    int lastOffset() const;
    void scrollTo(int offset);
    void scrollBy(int distance);

    HWND page_;
    HCURSOR openHand_;
    HCURSOR closedHand_;
    int pageHeight_;
    int viewHeight_ = 0;
    int scrollPos_ = 0;
    bool dragging_ = false;
    short lastY_ = 0;
};

}  // namespace kiv
