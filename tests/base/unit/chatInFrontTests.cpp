// Whether the host's chat window with a contact is in front, read from its class and title.
#include <doctest.h>

#include "base/chatInFront.h"
#include "chatWindow.h"
#include "hostCore.h"

using kiv::isChatWindowActive;

TEST_CASE("isChatWindowActive looks for the contact in the front TChat window's title") {
    kivhost::chatWindow gg("Ola (GG# 123) - Zaraz wracam");
    kivhost::chatWindow tlen("Ala (ala) - Dostępny");

    gg.bringToFront();
    CHECK(isChatWindowActive("GG", "123"));
    CHECK_FALSE(isChatWindowActive("GG", "12"));
    CHECK_FALSE(isChatWindowActive("TLEN", "123"));  // "(123)" is not in the title
    CHECK_FALSE(isChatWindowActive("GG", "ala"));

    tlen.bringToFront();
    CHECK(isChatWindowActive("TLEN", "ala"));
    CHECK_FALSE(isChatWindowActive("GG", "123"));  // open, but not in front

    tlen.setTitle("Ala (ala) - Jestem zajęty");
    CHECK(isChatWindowActive("TLEN", "ala"));

    // Same title, another class: not a chat window.
    HWND other = CreateWindowExA(0, "STATIC", "Ala (ala) - Dostępny", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    kivhost::pumpMessages(20);
    REQUIRE(GetForegroundWindow() == other);
    CHECK_FALSE(isChatWindowActive("TLEN", "ala"));
    DestroyWindow(other);
}
