// Sliding and fading, one animation tick at a time, and the layered alpha that transparency sets.
// The tests stop the message loop right after the tick that shows a window and then drive its
// 20 ms timer by hand, so every step is seen.
#include <doctest.h>

#include "notifySupport.h"

using namespace kivtest;

namespace {

int leftOf(HWND window) {
    return kivhost::windowRect(window).left;
}

bool layered(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

int alphaOf(HWND window) {
    BYTE alpha = 0;
    return kivhost::layeredAlpha(window, alpha) ? alpha : -1;
}

}  // namespace

TEST_CASE("slide at the bottom right: in from the work area's right edge in 9 ticks, out the same way") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("slide-right", settingsWith(scheme.name, lines({"effect=1", "effectclose=1"})));
    const RECT area = workArea();
    const int x = area.right - 252;
    freezeClock();
    HWND shown = showOne(session, {});
    REQUIRE(shown);
    CHECK(leftOf(shown) == area.right);  // x + width + bindX
    int ticks = 0;
    while (leftOf(shown) != x && ticks < 50) {
        int before = leftOf(shown);
        animationTick(shown);
        ++ticks;
        CHECK(leftOf(shown) == std::max(x, before - 30));
    }
    CHECK(ticks == 9);
    CHECK(kivhost::windowRect(shown).top == area.bottom - 52);

    moveClock(5000);
    REQUIRE(kivhost::pumpUntil([&] { return leftOf(shown) != x; }, 1500));
    CHECK(leftOf(shown) == x + 30);
    ticks = 1;
    while (leftOf(shown) != area.right && ticks < 50) {
        animationTick(shown);
        ++ticks;
    }
    CHECK(ticks == 9);
    CHECK(waitForCount(0));
}

TEST_CASE("slide at the top left: in from beyond the left edge, out past the work area's left") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("slide-left", settingsWith(scheme.name, lines({"effect=1", "effectclose=1", "bindpos=2"})));
    const RECT area = workArea();
    freezeClock();
    HWND shown = showOne(session, {});
    REQUIRE(shown);
    CHECK(leftOf(shown) == 2 - 250 - 2);
    int ticks = 0;
    while (leftOf(shown) != 2 && ticks < 50) {
        animationTick(shown);
        ++ticks;
    }
    CHECK(ticks == 9);

    moveClock(5000);
    REQUIRE(kivhost::pumpUntil([&] { return leftOf(shown) != 2; }, 1500));
    CHECK(leftOf(shown) == 2 - 30);
    while (leftOf(shown) != area.left - 250 && ticks < 100) {
        animationTick(shown);
        ++ticks;
    }
    CHECK(leftOf(shown) == area.left - 250);
    CHECK(waitForCount(0));
}

TEST_CASE("slide without effectclose: at the end of its time the window vanishes where it stands") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("slide-noclose", settingsWith(scheme.name, lines({"effect=1"})));
    const int x = workArea().right - 252;
    freezeClock();
    HWND shown = showOne(session, {});
    for (int i = 0; i < 9; ++i) animationTick(shown);
    REQUIRE(leftOf(shown) == x);
    moveClock(5000);
    bool moved = false;
    CHECK(kivhost::pumpUntil(
        [&] {
            if (IsWindow(shown) && leftOf(shown) != x) moved = true;
            return !IsWindow(shown);
        },
        1000));
    CHECK_FALSE(moved);
}

TEST_CASE("fade with alpha 0: from invisible to opaque in 20 ticks, then no longer layered") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("fade", settingsWith(scheme.name, lines({"effect=2", "effectclose=1"})));
    freezeClock();
    HWND shown = showOne(session, {});
    REQUIRE(shown);
    CHECK(alphaOf(shown) == 0);
    for (int tick = 1; tick < 20; ++tick) {
        animationTick(shown);
        CHECK(alphaOf(shown) == 5 * tick * 255 / 100);
    }
    animationTick(shown);
    CHECK_FALSE(layered(shown));

    // Fading out: opaque but layered when the time is over, invisible after 20 more ticks.
    moveClock(5000);
    REQUIRE(kivhost::pumpUntil([&] { return layered(shown); }, 1500));
    CHECK(alphaOf(shown) == 255);
    for (int tick = 1; tick <= 20; ++tick) {
        animationTick(shown);
        CHECK(alphaOf(shown) == (100 - 5 * tick) * 255 / 100);
    }
    CHECK(waitForCount(0));
}

TEST_CASE("transparency: alpha 30 is constant alpha 178, reached at once or by a 14-tick fade") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    SUBCASE("no effect") {
        notifySession session("alpha-still", settingsWith(scheme.name, lines({"alpha=30"})));
        HWND shown = showOne(session, {});
        REQUIRE(shown);
        CHECK(alphaOf(shown) == 178);
    }
    SUBCASE("fade") {
        notifySession session("alpha-fade", settingsWith(scheme.name, lines({"alpha=30", "effect=2"})));
        HWND shown = showOne(session, {});
        REQUIRE(shown);
        int ticks = 0;
        while (alphaOf(shown) != 178 && ticks < 50) {
            animationTick(shown);
            ++ticks;
        }
        CHECK(ticks == 14);
        CHECK(layered(shown));
    }
    SUBCASE("a caller's effect does not force the fade") {
        notifySession session("alpha-caller", settingsWith(scheme.name, ""));
        kiv::popup_info info = {};
        info.size = sizeof info;
        info.text = "tekst";
        info.effect = 2;
        info.effectClose = 1;
        REQUIRE(session.service("kiv/popup", reinterpret_cast<WPARAM>(&info)) == 0);
        REQUIRE(waitForCount(1));
        CHECK_FALSE(layered(notifications()[0]));
    }
}

TEST_CASE("visibletime 0: an opening window is not interrupted, a shown one closes at the next tick") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("visible-zero", settingsWith(scheme.name, lines({"visibletime=0", "effect=2"})));
    HWND shown = showOne(session, {});
    REQUIRE(shown);
    kivhost::pumpMessages(250);  // a fade needs 20 ticks of 20 ms: still opening
    CHECK(IsWindow(shown));
    CHECK(waitForCount(0, 3000));
}
