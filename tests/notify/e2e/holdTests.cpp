// Notifications held open while the pointer rests on one or while the user is away, through the
// built plug-in with the module's clock and last-input time steered by kivhost.
#include <doctest.h>

#include "notifySupport.h"

using namespace kivtest;

namespace {

constexpr DWORD visibleTime = 2000;  // visibletime=2
constexpr DWORD tickSlack = 300;

std::string holdSettings(const std::string& extra) {
    return settingsWith("none.kivs", "visibletime=2\r\n", "[extra]\r\n" + extra);
}

// The clock moves and the manager gets a few ticks to act on it.
void after(DWORD milliseconds) {
    moveClock(milliseconds);
    kivhost::pumpMessages(tickSlack);
}

void pointerTo(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void pointerAway() {
    SetCursorPos(0, 0);
}

struct clockReset {
    ~clockReset() {
        kivhost::moduleClock::get().reset();
        pointerAway();
    }
};

}  // namespace

TEST_CASE("a window under the pointer outlives its visible time and closes a visible time after the pointer leaves") {
    clockReset reset;
    SUBCASE("held") {
        notifySession session("hold-hover", holdSettings("hoverhold=1\r\n"));
        freezeClock();
        HWND shown = showOne(session, popupRequest());
        REQUIRE(shown);
        pointerTo(shown);
        after(visibleTime * 5);
        CHECK(IsWindow(shown));
        pointerAway();
        after(visibleTime - 500);
        CHECK(IsWindow(shown));
        after(600);
        CHECK(waitForCount(0));
    }
    SUBCASE("without the setting the pointer changes nothing") {
        notifySession session("hold-hover-off", holdSettings(""));
        freezeClock();
        HWND shown = showOne(session, popupRequest());
        REQUIRE(shown);
        pointerTo(shown);
        after(visibleTime + 100);
        CHECK(waitForCount(0));
    }
}

TEST_CASE("windows stay while the user is idle and close a visible time after input returns") {
    clockReset reset;
    notifySession session("hold-idle", holdSettings("idlehold=60\r\n"));
    freezeClock();
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    SUBCASE("away before the windows came") {
        clock.lastInputAt(clock.now() - 61000);
        REQUIRE(showOne(session, popupRequest()));
        REQUIRE(showOne(session, popupRequest()));
        after(visibleTime * 10);
        CHECK(notifications().size() == 2);
        clock.lastInputAt(clock.now());
        after(visibleTime - 500);
        CHECK(notifications().size() == 2);
        after(600);
        CHECK(waitForCount(0));
    }
    SUBCASE("a shorter absence than the setting holds nothing") {
        clock.lastInputAt(clock.now() - 30000);
        REQUIRE(showOne(session, popupRequest()));
        after(visibleTime + 100);
        CHECK(waitForCount(0));
    }
}
