// The history of notifications, from protocol events and requests to the rows of its list.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include "chatWindow.h"
#include "historySupport.h"

using namespace kivtest;

namespace {

std::string timeCell(HWND window, int row) {
    std::wstring time = cell(window, row, 0);
    return std::string(time.begin(), time.end());  // digits and colons
}

std::vector<std::string> columnTitles(HWND window) {
    std::vector<std::string> titles;
    for (int column = 0;; ++column) {
        char text[64] = "";
        LVCOLUMNA entry = {};
        entry.mask = LVCF_TEXT;
        entry.pszText = text;
        entry.cchTextMax = sizeof text;
        if (!SendMessageA(GetDlgItem(window, historyList), LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                          reinterpret_cast<LPARAM>(&entry)))
            return titles;
        titles.push_back(text);
    }
}

}  // namespace

TEST_CASE("the history lists shown and held-back notifications newest first, with why they were held back") {
    historyScene s("history-list", withExtra("history=5\r\n", "msgshowwhenbgonly=1\r\n"));
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "pierwsza");
    s.silent(true);
    kivhost::raiseStatusChange(change("GG", "12345", 1, 2, nullptr, "jestem"));
    kivhost::raiseMessage("TLEN", "ewa@tlen.pl", 2, "filtr Ewy jej nie pokazuje");
    kivhost::raiseMessage("TLEN", "obcy@tlen.pl", 2, "spoza listy");
    popupRequest request;
    request.nick = "Wtyczka";
    request.contactId = "";
    request.text = "z innej wtyczki";
    CHECK(popup(s.session, request) == -1);
    s.silent(false);
    {
        kivhost::chatWindow chat("Ala (ala@tlen.pl) - Dostępny");
        chat.bringToFront();
        REQUIRE(kivhost::pumpUntil([&] { return GetForegroundWindow() == chat.handle(); }, 2000));
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 4, "w czacie");
    }
    SetForegroundWindow(s.session.host.mainWindow());
    HWND window = openHistory();
    REQUIRE(window);
    CHECK(columnTitles(window) == std::vector<std::string>{"czas", "kontakt", "zdarzenie", "treść", "uwagi"});
    CHECK(listed(window) == rows{{"Ala (ala@tlen.pl)", "wiadomość czatu", "w czacie", "okno czatu na wierzchu"},
                                 {"Wtyczka", "powiadomienie wtyczki", "z innej wtyczki", "wyciszone"},
                                 {"Olek (12345)", "status: Dostępny", "jestem", "wyciszone"},
                                 {"Ala (ala@tlen.pl)", "wiadomość", "pierwsza", ""}});
    CHECK(timeCell(window, 0).size() == 8);  // hh:mm:ss

    // A new entry shows in the open window at once; past five the oldest go.
    for (const char* text : {"a", "b", "c"}) kivhost::raiseMessage("GG", "12345", 2, text);
    rows now = listed(window);
    REQUIRE(now.size() == 5);
    CHECK(now[0][2] == "c");
    CHECK(now[4][2] == "z innej wtyczki");
    CHECK(settle(4).size() == 4);  // only what was not held back was shown
}

TEST_CASE("kiv/popup/show is in the history as kiv/popup is: UTF-8 texts as written, updated, held back with why") {
    historyScene s("history-show", withExtra("history=5\r\n"));
    const kiv::popup_options2 utf8 = options2(kiv::popupUtf8);
    popupRequest greeting;
    greeting.nick = u8"Ωμέγα Юлия";
    greeting.text = u8"Привет, καλημέρα,\r\nzażółć gęślą jaźń";
    const int id = showPopup(s.session, greeting, &utf8);
    REQUIRE(id > 0);
    popupRequest plain;
    plain.text = "zażółć gęślą jaźń";
    CHECK(showPopup(s.session, plain) > id);
    s.silent(true);
    popupRequest held;
    held.nick = u8"Фото";
    held.text = u8"Фото.zip";
    CHECK(showPopup(s.session, held, &utf8) == -1);
    s.silent(false);
    HWND window = openHistory();
    REQUIRE(window);
    // Outside the checks, which keep their own text in Windows-1250.
    const wideRows expected = {
        {L"Фото (ala)", L"powiadomienie wtyczki", L"Фото.zip", L"wyciszone"},
        {L"Ala (ala)", L"powiadomienie wtyczki", L"zażółć gęślą jaźń", L""},
        {L"Ωμέγα Юлия (ala)", L"powiadomienie wtyczki", L"Привет, καλημέρα,  zażółć gęślą jaźń", L""}};
    CHECK(listedWide(window) == expected);

    // An update gives the notification's entry its new text, in the open window at once.
    const char* greek = u8"Ελληνικά";
    const std::wstring wideGreek = L"Ελληνικά";
    CHECK(updatePopup(s.session, id, greek) == 0);
    CHECK(cell(window, 2, 3) == wideGreek);
    CHECK(listedWide(window).size() == 3);
}

TEST_CASE("events of the quiet period after a log-in are not recorded") {
    historyScene s("history-quiet", withExtra("history=5\r\n"));
    kivhost::raiseLogin("TLEN");
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "w burzy logowania");
    s.silent(true);
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "też w burzy");
    HWND window = openHistory();
    REQUIRE(window);
    CHECK(listed(window).empty());
}
