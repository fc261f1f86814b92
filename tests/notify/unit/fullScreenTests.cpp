#include <doctest.h>

#include "hostCore.h"
#include "moduleFixture.h"
#include "notify/hold.h"

using namespace kivtest;

namespace {

HWND popupAt(int x, int y, int width, int height) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "full screen", WS_POPUP | WS_VISIBLE, x, y, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    kivhost::pumpMessages(50);
    return window;
}

}  // namespace

TEST_CASE_FIXTURE(moduleFixture, "a window covering exactly the screen counts as a full-screen application") {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);

    HWND full = popupAt(0, 0, width, height);
    REQUIRE(GetForegroundWindow() == full);
    CHECK(kiv::isFullScreenAppActive());
    DestroyWindow(full);

    HWND larger = popupAt(-8, -8, width + 16, height + 16);  // a maximised captioned window
    REQUIRE(GetForegroundWindow() == larger);
    CHECK_FALSE(kiv::isFullScreenAppActive());
    DestroyWindow(larger);

    SetForegroundWindow(kivhost::hostCore::get().mainWindow());
    kivhost::pumpMessages(50);
    CHECK_FALSE(kiv::isFullScreenAppActive());
}
