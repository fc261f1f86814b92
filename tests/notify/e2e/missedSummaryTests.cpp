// The summary of what was held back while kiv was silent: one notification a person sees, which
// opens the history.
#include <doctest.h>

#include "chatWindow.h"
#include "historySupport.h"

using namespace kivtest;

TEST_CASE("after silent one notification sums up what was held back, and opens the history") {
    historyScene s("history-summary", withExtra("history=20\r\nmissedsummary=1\r\n"));
    s.silent(true);
    for (const char* text : {"1", "2", "3"}) kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, text);
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 4, "czat");
    kivhost::raiseStatusChange(change("GG", "12345", 1, 2));
    kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 2, 5));
    kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "jej filtr tego nie pokazuje");
    CHECK(settle(0).empty());
    s.silent(false);
    std::vector<HWND> shown = settle(1);
    REQUIRE(shown.size() == 1);
    kivhost::paintedWindow paint = paintOf(shown[0]);
    CHECK(paint.texts == std::vector<std::string>{"kiv",
                                                  "Gdy kiv milczał: 3 wiadomości, 1 wiadomość czatu, 2 zmiany statusu"});
    SendMessageA(shown[0], WM_LBUTTONUP, 0, 0);
    kivhost::pumpMessages(100);
    CHECK(historyWindow());
    if (historyWindow()) DestroyWindow(historyWindow());

    // Silent again with nothing held back: no summary afterwards.
    s.silent(true);
    s.silent(false);
    kivhost::pumpMessages(300);
    CHECK(notifications().size() == 1);
}

TEST_CASE("a message its chat window already shows brings no summary, nor counts in a later one") {
    historyScene s("history-chat-front",
                   withExtra("history=20\r\nmissedsummary=1\r\n", "msgshowwhenbgonly=1\r\n"));
    {
        kivhost::chatWindow chat("Ala (ala@tlen.pl) - Dostępny");
        chat.bringToFront();
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == chat.handle(); }, 2000));
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "w czacie");
        CHECK(settle(0).empty());
    }
    SetForegroundWindow(s.session.host.mainWindow());
    s.silent(true);
    kivhost::raiseMessage("GG", "12345", 2, "podczas ciszy");
    s.silent(false);
    std::vector<HWND> shown = settle(1);
    REQUIRE(shown.size() == 1);
    CHECK(paintOf(shown[0]).texts.back() == "Gdy kiv milczał: 1 wiadomość");
}

TEST_CASE("the summary waits for the full-screen program to leave the front") {
    historyScene s("history-fullscreen", "[window]\r\nscheme=none.kivs\r\n[extra]\r\nhistory=20\r\nmissedsummary=1\r\n");
    {
        fullScreenApp cover;
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == cover.get(); }, 2000));
        kivhost::raiseMessage("GG", "12345", 2, "a");
        kivhost::raiseMessage("GG", "12345", 2, "b");
        CHECK(settle(0).empty());
    }
    std::vector<HWND> shown = settle(1);
    REQUIRE(shown.size() == 1);
    CHECK(paintOf(shown[0]).texts.back() == "Gdy kiv milczał: 2 wiadomości");
}
