// Scrolling a tall page by bar, wheel and hand drag, on a real window with a child control: the
// offset is read back from the scroll bar and from where the child went.
#include <doctest.h>

#include <memory>

#include "moduleFixture.h"
#include "ui/pageScroller.h"

using namespace kivtest;

namespace {

constexpr int childTop = 100;

// A page 1000 pixels tall seen through a 300-pixel view: the last offset is 700.
class tallPage {
public:
    explicit tallPage(int pageHeight = 1000, int viewHeight = 300) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "kiv_test_tall_page";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "kiv_test_tall_page", "", WS_POPUP | WS_VSCROLL | WS_VISIBLE, 0, 0, 200,
                                 pageHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, childTop, 50, 20, window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        scroller = std::make_unique<kiv::pageScroller>(window, kiv::plugin.instance);
        SetWindowPos(window, nullptr, 0, 0, 200, viewHeight, SWP_NOMOVE | SWP_NOZORDER);
        scroller->resize(viewHeight);
    }
    ~tallPage() {
        scroller.reset();
        DestroyWindow(window);
    }
    tallPage(const tallPage&) = delete;
    tallPage& operator=(const tallPage&) = delete;

    int barPosition() const { return GetScrollPos(window, SB_VERT); }
    // How far the content went up, as the child shows it.
    int contentOffset() const {
        RECT rect;
        GetWindowRect(child, &rect);
        POINT corner = {rect.left, rect.top};
        ScreenToClient(window, &corner);
        return childTop - corner.y;
    }
    // Both must agree: the bar always shows where the content is.
    int offset() const {
        CHECK(barPosition() == contentOffset());
        return contentOffset();
    }
    void scrollTo(int position) { scroller->scrollBar(SB_THUMBTRACK, position); }

    HWND window;
    HWND child;
    std::unique_ptr<kiv::pageScroller> scroller;
};

}  // namespace

TEST_CASE_FIXTURE(moduleFixture, "a line is a fiftieth of the view, a wheel step a fifteenth, a page the whole view") {
    tallPage page;
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(page.window, SB_VERT, &bar);
    CHECK(bar.nMin == 0);
    CHECK(bar.nMax == 1000);
    CHECK(bar.nPage == 300);

    page.scroller->scrollBar(SB_LINEDOWN, 0);
    CHECK(page.offset() == 6);
    page.scroller->wheel(-WHEEL_DELTA);
    CHECK(page.offset() == 26);
    page.scroller->scrollBar(SB_PAGEDOWN, 0);
    CHECK(page.offset() == 326);
    page.scroller->scrollBar(SB_PAGEUP, 0);
    CHECK(page.offset() == 26);
    page.scroller->wheel(WHEEL_DELTA);
    CHECK(page.offset() == 6);
    page.scroller->scrollBar(SB_LINEUP, 0);
    CHECK(page.offset() == 0);

    SUBCASE("three notches of the wheel are still one step") {
        page.scroller->wheel(-3 * WHEEL_DELTA);
        CHECK(page.offset() == 20);
    }
    SUBCASE("steps stop exactly at the last offset") {
        page.scrollTo(695);
        page.scroller->scrollBar(SB_LINEDOWN, 0);
        CHECK(page.offset() == 700);
        page.scroller->scrollBar(SB_LINEDOWN, 0);
        page.scroller->scrollBar(SB_PAGEDOWN, 0);
        page.scroller->wheel(-WHEEL_DELTA);
        CHECK(page.offset() == 700);
        page.scrollTo(690);
        page.scroller->wheel(-WHEEL_DELTA);
        CHECK(page.offset() == 700);
        page.scrollTo(500);
        page.scroller->scrollBar(SB_PAGEDOWN, 0);
        CHECK(page.offset() == 700);
    }
    SUBCASE("steps up stop at the top") {
        page.scrollTo(4);
        page.scroller->scrollBar(SB_LINEUP, 0);
        CHECK(page.offset() == 0);
        page.scroller->scrollBar(SB_LINEUP, 0);
        page.scroller->scrollBar(SB_PAGEUP, 0);
        page.scroller->wheel(WHEEL_DELTA);
        CHECK(page.offset() == 0);
        page.scrollTo(250);
        page.scroller->scrollBar(SB_PAGEUP, 0);
        CHECK(page.offset() == 0);
    }
}

TEST_CASE_FIXTURE(moduleFixture, "the thumb moves the content to its position in one step, never past the ends") {
    tallPage page;
    page.scrollTo(100);
    page.scroller->scrollBar(SB_THUMBPOSITION, 450);
    CHECK(page.offset() == 450);
    page.scroller->scrollBar(SB_THUMBTRACK, 701);  // the bar's own range ends one pixel further
    CHECK(page.offset() == 700);
    page.scroller->scrollBar(SB_THUMBTRACK, 0xFFFF);
    CHECK(page.offset() == 700);
    page.scroller->scrollBar(SB_ENDSCROLL, 0);
    page.scroller->scrollBar(SB_TOP, 0);
    CHECK(page.offset() == 700);
}

TEST_CASE_FIXTURE(moduleFixture, "dragging the background moves the content with the mouse until an end") {
    tallPage page;
    HCURSOR open = LoadCursorA(kiv::plugin.instance, "hand_open");
    HCURSOR closed = LoadCursorA(kiv::plugin.instance, "hand_close");
    REQUIRE(open);
    REQUIRE(closed);

    page.scroller->drag(50);  // no button pressed: nothing happens
    CHECK(page.offset() == 0);

    page.scroller->grab(200);
    CHECK(GetCapture() == page.window);
    CHECK(GetCursor() == closed);
    page.scroller->drag(260);  // downwards at the top: stays
    CHECK(page.offset() == 0);
    page.scroller->drag(200);  // and back up: the content follows at once
    CHECK(page.offset() == 60);
    page.scroller->drag(150);
    CHECK(page.offset() == 110);
    page.scroller->drag(180);
    CHECK(page.offset() == 80);
    page.scroller->drag(-2000);  // far above the page, with the capture held
    CHECK(page.offset() == 700);
    page.scroller->drag(-2100);
    CHECK(page.offset() == 700);
    page.scroller->drag(-1900);
    CHECK(page.offset() == 500);

    page.scroller->release();
    CHECK(GetCapture() == nullptr);
    CHECK(GetCursor() == open);
    page.scroller->drag(0);
    CHECK(page.offset() == 500);

    SUBCASE("a drag ends when another window takes the capture") {
        page.scroller->grab(100);
        page.scroller->captureLost();
        page.scroller->drag(0);
        CHECK(page.offset() == 500);
    }
    SUBCASE("releasing without a drag leaves another window's capture alone") {
        HWND other = page.child;
        SetCapture(other);
        page.scroller->release();
        CHECK(GetCapture() == other);
        ReleaseCapture();
    }
}

TEST_CASE_FIXTURE(moduleFixture, "a page that fits its view does not move, whatever the gesture") {
    tallPage page(200, 300);
    page.scroller->scrollBar(SB_LINEDOWN, 0);
    page.scroller->scrollBar(SB_PAGEDOWN, 0);
    page.scroller->wheel(-WHEEL_DELTA);
    page.scroller->scrollBar(SB_THUMBTRACK, 50);
    CHECK(page.offset() == 0);
    page.scroller->grab(100);
    page.scroller->drag(0);
    page.scroller->drag(250);
    CHECK(page.offset() == 0);
    page.scroller->release();
}

TEST_CASE_FIXTURE(moduleFixture, "a new view size keeps the offset while it fits, else brings the end into view") {
    tallPage page;
    page.scrollTo(600);
    SetWindowPos(page.window, nullptr, 0, 0, 200, 350, SWP_NOMOVE | SWP_NOZORDER);
    page.scroller->resize(350);
    CHECK(page.offset() == 600);
    SetWindowPos(page.window, nullptr, 0, 0, 200, 500, SWP_NOMOVE | SWP_NOZORDER);
    page.scroller->resize(500);
    CHECK(page.offset() == 500);
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(page.window, SB_VERT, &bar);
    CHECK(bar.nPage == 500);
    page.scroller->scrollBar(SB_LINEUP, 0);
    CHECK(page.offset() == 490);  // the line follows the new view: 500 / 50
}
