// The setting monitor with two monitors side by side: a primary of 1024 x 768 and a second of
// 800 x 600 to its right, each with a taskbar, answered to the module by kivhost from a layout on
// a virtual screen of 1824 x 768 (tests/wideScreen.sh), so that windows on the second monitor are
// really drawn.
#include <doctest.h>

#include <cstdlib>

#include "monitorLayout.h"
#include "notifySupport.h"
#include "screenGrab.h"

using namespace kivtest;

namespace {

const RECT primaryBounds = {0, 0, 1024, 768};
const RECT primaryWork = {0, 0, 1024, 740};
const RECT secondBounds = {1024, 0, 1824, 600};
const RECT secondWork = {1024, 0, 1824, 570};
const POINT onPrimary = {500, 300};
const POINT onSecond = {1400, 300};

// The two monitors for the module while the test runs.
class twoMonitors {
public:
    twoMonitors() {
        REQUIRE_MESSAGE(GetSystemMetrics(SM_CXSCREEN) >= 1824,
                        "these tests need a screen of 1824 x 768: run them through tests/wideScreen.sh");
        kivhost::monitorLayout::get().set({{primaryBounds, primaryWork}, {secondBounds, secondWork}});
    }
    ~twoMonitors() {
        kivhost::monitorLayout::get().clear();
        SetCursorPos(onPrimary.x, onPrimary.y);
    }
    twoMonitors(const twoMonitors&) = delete;
    twoMonitors& operator=(const twoMonitors&) = delete;

    // The second monitor unplugged.
    void unplugSecond() { kivhost::monitorLayout::get().set({{primaryBounds, primaryWork}}); }
};

std::string extra(int monitor) {
    return "[extra]\r\nmonitor=" + std::to_string(monitor) + "\r\n";
}

void pointerAt(POINT at) {
    SetCursorPos(at.x, at.y);
    kivhost::pumpMessages(20);
}

POINT topLeft(HWND window) {
    RECT r = kivhost::windowRect(window);
    return {r.left, r.top};
}

std::string describe(HWND window) {
    RECT r = kivhost::windowRect(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The stack photographed from the X side when tests/wideScreen.sh offers it.
void photograph(const std::string& name) {
    const char* folder = getenv("KIV_GRAB");
    if (!folder || !*folder) return;
    kivhost::screenGrab grab(folder);
    std::string error;
    CHECK_MESSAGE(grab.picture(RECT{0, 0, 1824, 768}, std::string(folder) + "\\" + name, error), error);
}

}  // namespace

TEST_SUITE("wide screen") {

TEST_CASE("monitor 1: a stack in each corner of the monitor under the pointer, bind counted from its work area") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    twoMonitors monitors;
    pointerAt(onSecond);
    for (int bindpos : {0, 1, 2, 3}) {
        CAPTURE(bindpos);
        notifySession session("monitor-corners", settingsWith(scheme.name,
                                                              lines({"bindpos=" + std::to_string(bindpos),
                                                                     "bind=7,9", "space=3"}),
                                                              extra(1)));
        popupRequest small;
        small.text = "";
        HWND first = showOne(session, {});
        HWND second = showOne(session, small);  // above or below the first, 24 high
        REQUIRE((first && second));
        const bool left = bindpos == 1 || bindpos == 2;
        const bool top = bindpos == 2 || bindpos == 3;
        const LONG x = left ? secondWork.left + 7 : secondWork.right - 250 - 7;
        const LONG firstY = top ? secondWork.top + 9 : secondWork.bottom - 9 - 50;
        const LONG secondY = top ? firstY + 50 + 3 : firstY - 3 - 24;
        CHECK_MESSAGE(topLeft(first).x == x, describe(first));
        CHECK_MESSAGE(topLeft(first).y == firstY, describe(first));
        CHECK_MESSAGE(topLeft(second).x == x, describe(second));
        CHECK_MESSAGE(topLeft(second).y == secondY, describe(second));
        if (bindpos == 0) photograph("second-monitor-bottom-right.png");
    }
}

TEST_CASE("a stack stays on its monitor while it has windows; the next stack follows the pointer") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    twoMonitors monitors;
    notifySession session("monitor-stays", settingsWith(scheme.name, lines({"visibletime=5"}), extra(1)));
    freezeClock();
    pointerAt(onSecond);
    HWND first = showOne(session, {});
    pointerAt(onPrimary);
    HWND second = showOne(session, {});
    REQUIRE(first);
    REQUIRE(second);
    CHECK_MESSAGE(inside(first, secondWork), describe(first));
    CHECK_MESSAGE(inside(second, secondWork), describe(second));

    moveClock(5000);
    REQUIRE(waitForCount(0));
    HWND third = showOne(session, {});
    REQUIRE(third);
    CHECK_MESSAGE(topLeft(third).x == primaryWork.right - 252, describe(third));
    CHECK_MESSAGE(topLeft(third).y == primaryWork.bottom - 52, describe(third));  // the layout's work area
}

TEST_CASE("monitor 2: the monitor of the window in front") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    twoMonitors monitors;
    pointerAt(onPrimary);
    notifySession session("monitor-front", settingsWith(scheme.name, "", extra(2)));
    {
        frontWindow browser(RECT{1100, 50, 1500, 400});
        REQUIRE(GetForegroundWindow() == browser.get());
        HWND shown = showOne(session, {});
        REQUIRE(shown);
        CHECK_MESSAGE(inside(shown, secondWork), describe(shown));
    }
}

TEST_CASE("a slide enters and leaves through the edge of its own monitor") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    twoMonitors monitors;
    pointerAt(onSecond);
    for (int bindpos : {0, 1}) {
        CAPTURE(bindpos);
        const bool left = bindpos == 1;
        notifySession session("monitor-slide", settingsWith(scheme.name,
                                                            lines({"bindpos=" + std::to_string(bindpos), "effect=1",
                                                                   "effectclose=1", "visibletime=5"}),
                                                            extra(1)));
        freezeClock();
        REQUIRE(popup(session, {}) == 0);
        REQUIRE(waitForCount(1));
        HWND shown = notifications()[0];
        const LONG target = left ? secondWork.left + 2 : secondWork.right - 252;
        LONG outermost = topLeft(shown).x, innermost = outermost;
        auto watch = [&] {
            if (!IsWindow(shown)) return;
            const LONG x = topLeft(shown).x;
            outermost = left ? std::min(outermost, x) : std::max(outermost, x);
            innermost = left ? std::max(innermost, x) : std::min(innermost, x);
        };
        kivhost::pumpUntil([&] { watch(); return topLeft(shown).x == target; }, 3000);
        CHECK(innermost == target);
        // It came from just beyond the monitor's own edge, not the primary's.
        CHECK(outermost == (left ? secondWork.left - 250 : secondWork.right));

        moveClock(5000);
        kivhost::pumpUntil([&] { watch(); return notifications().empty(); }, 3000);
        CHECK(notifications().empty());
        CHECK(outermost >= (left ? secondWork.left - 250 - 30 : secondWork.right));
        CHECK(outermost <= (left ? secondWork.left - 250 : secondWork.right + 30));
    }
}

TEST_CASE("a window grown by its text stays within its own monitor's work area") {
    testScheme scheme("kivtest-tall.kivs", hugeFontScheme());
    twoMonitors monitors;
    pointerAt(onSecond);
    notifySession session("monitor-tall", settingsWith(scheme.name, lines({"autoheightrows=1000"}), extra(1)));
    popupRequest request;
    const std::string text = manyLines();
    request.text = text.c_str();
    HWND shown = showOne(session, request);
    REQUIRE(shown);
    // Taller than the primary's work area allows for the second monitor's would be off its screen.
    const RECT rect = kivhost::windowRect(shown);
    CHECK_MESSAGE(rect.left >= secondWork.left, describe(shown));
    CHECK_MESSAGE(rect.bottom - rect.top <= secondWork.bottom - secondWork.top, describe(shown));
    CHECK(rect.bottom - rect.top > 400);
}

TEST_CASE("a monitor that is gone: the stack goes to the primary") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    twoMonitors monitors;
    notifySession session("monitor-gone", settingsWith(scheme.name, "", extra(1)));
    pointerAt(onSecond);
    HWND first = showOne(session, {});
    REQUIRE(first);
    CHECK_MESSAGE(inside(first, secondWork), describe(first));
    monitors.unplugSecond();
    HWND second = showOne(session, {});
    REQUIRE(second);
    CHECK_MESSAGE(topLeft(first).y == primaryWork.bottom - 52, describe(first));  // rearranged with the new one
    CHECK_MESSAGE(topLeft(second).y == primaryWork.bottom - 104, describe(second));
    CHECK_MESSAGE(topLeft(second).x == primaryWork.right - 252, describe(second));
}

TEST_CASE("full-screen suppression checks the window in front against its own monitor") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    twoMonitors monitors;
    pointerAt(onPrimary);
    const std::string settings = "[window]\r\nscheme=" + scheme.name + "\r\n";  // fullscreenautooff on
    SUBCASE("a game filling the second monitor silences kiv") {
        notifySession session("monitor-game", settings + extra(1));
        frontWindow game(secondBounds);
        CHECK(popup(session, {}) == -1);
    }
    SUBCASE("a game filling the primary monitor too") {
        notifySession session("monitor-game-primary", settings + extra(2));
        frontWindow game(primaryBounds);
        CHECK(popup(session, {}) == -1);
    }
    SUBCASE("a window that fills no monitor does not") {
        notifySession session("monitor-no-game", settings + extra(1));
        frontWindow browser(RECT{1024, 0, 1824, 570});
        CHECK(popup(session, {}) == 0);
    }
    SUBCASE("with monitor 0 the test compares with the whole screen, as before") {
        notifySession session("monitor-game-0", settings);
        frontWindow game(secondBounds);
        CHECK(popup(session, {}) == 0);
    }
}

}  // TEST_SUITE
