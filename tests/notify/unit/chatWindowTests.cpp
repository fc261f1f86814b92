// Whether the host's chat window with a contact is in front, read from its class and title.
#include <doctest.h>

#include "chatWindow.h"
#include "moduleFixture.h"
#include "notify/windowsManager.h"

using namespace kivtest;

TEST_CASE_FIXTURE(moduleFixture, "isChatWindowActive looks for the contact in the front TChat window's title") {
    kiv::windowsManager manager;
    kivhost::chatWindow gg("Ola (GG# 123) - Zaraz wracam");
    kivhost::chatWindow tlen("Ala (ala) - Dostępny");

    gg.bringToFront();
    CHECK(manager.isChatWindowActive("GG", "123"));
    CHECK_FALSE(manager.isChatWindowActive("GG", "12"));
    CHECK_FALSE(manager.isChatWindowActive("TLEN", "123"));  // "(123)" is not in the title
    CHECK_FALSE(manager.isChatWindowActive("GG", "ala"));

    tlen.bringToFront();
    CHECK(manager.isChatWindowActive("TLEN", "ala"));
    CHECK_FALSE(manager.isChatWindowActive("GG", "123"));  // open, but not in front

    tlen.setTitle("Ala (ala) - Jestem zajęty");
    CHECK(manager.isChatWindowActive("TLEN", "ala"));

    // Same title, another class: not a chat window.
    HWND other = CreateWindowExA(0, "STATIC", "Ala (ala) - Dostępny", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    kivhost::pumpMessages(20);
    REQUIRE(GetForegroundWindow() == other);
    CHECK_FALSE(manager.isChatWindowActive("TLEN", "ala"));
    DestroyWindow(other);
}
