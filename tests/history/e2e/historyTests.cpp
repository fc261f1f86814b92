// The history of notifications and the summary of what was held back, from protocol events and
// requests to the history window and the notification a person sees.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include "chatWindow.h"
#include "historySupport.h"
#include "notifySupport.h"
#include "objectTracker.h"
#include "popupMenus.h"

using namespace kivtest;

namespace {

constexpr int clearButton = 1101;

const char* const showEverything =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_offline=1\r\nwindow_onlineonly=0\r\nwindow_eventmessage=1\r\n"
    "window_eventmessagechat=1\r\nsound_inherit=0\r\n"
    "[contact:ewa@tlen.pl]\r\nwindow_inherit=0\r\nwindow_eventmessage=0\r\nsound_inherit=1\r\n";

// Ala and Olek in one group; Ewa's own filter shows no messages.
struct historyScene {
    kivSession session;
    historyScene(const std::string& name, const std::string& settings) : session(name, false) {
        kivhost::contactList& contacts = session.host.contacts;
        contacts.clear();
        int work = contacts.addGroup("Praca");
        contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
        contacts.addContact("12345", "Olek", work, "GG");
        contacts.addContact("ewa@tlen.pl", "Ewa", work, "TLEN");
        writeFile(session.settingsFile, settings);
        writeFile(session.filtersFile, showEverything);
        session.start();
        kivhost::moduleClock::get().advance(60000);  // past the quiet period of start-up
    }
    ~historyScene() {
        session.unload();
        session.host.contacts.clear();
        kivhost::moduleClock::get().reset();
    }
    void silent(bool on) { session.service("kiv/setsilent", on ? 1 : 0); }
};

std::string withExtra(const std::string& extra, const std::string& windowKeys = "") {
    return settingsWith("none.kivs", windowKeys, "[extra]\r\n" + extra);
}

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

void select(HWND window, int row) {
    HWND list = GetDlgItem(window, historyList);
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// A key as a person presses it in the list: through the host's message loop, which hands it to
// the dialog navigation of the windows plug-ins registered.
void press(HWND window, WPARAM key) {
    HWND list = GetDlgItem(window, historyList);
    SetFocus(list);
    PostMessageA(list, WM_KEYDOWN, key, 0);
    PostMessageA(list, WM_KEYUP, key, 0xC0000000);
    kivhost::pumpMessages(200);
}

void doubleClick(HWND window, int row) {
    HWND list = GetDlgItem(window, historyList);
    RECT cell = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    kivhost::pumpMessages(100);
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

TEST_CASE("the history window: one at a time, opens chats, empties, closes by button, Escape and unloading") {
    historyScene s("history-window", withExtra("history=10\r\n", "visibletime=99\r\n"));
    auto& host = s.session.host;
    const kivhost::menuItem* item = host.findMenuItem(historyItem);
    REQUIRE(item);
    CHECK(item->caption == "kiv / historia...");
    CHECK(item->menu == statusMenu);
    CHECK(host.menuItems().front().itemName == "kiv/menu/silent");  // added after the silent switch
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "do Ali");
    kivhost::raiseMessage("GG", "12345", 2, "do Olka");

    REQUIRE(settle(2).size() == 2);
    const size_t objectsBefore = kivhost::objectTracker::get().liveCount();
    HWND window = openHistory();
    REQUIRE(window);
    CHECK(openHistory() == window);
    CHECK(GetForegroundWindow() == window);

    host.chatRequests().clear();
    select(window, 0);
    press(window, VK_RETURN);
    REQUIRE(host.chatRequests().size() == 1);
    CHECK(host.chatRequests()[0].contactId == "12345");
    CHECK(host.chatRequests()[0].title.rfind("Olek (GG# 12345) - ", 0) == 0);
    doubleClick(window, 1);
    REQUIRE(host.chatRequests().size() == 2);
    CHECK(host.chatRequests()[1].contactId == "ala@tlen.pl");
    CHECK(IsWindow(window));

    SendMessageA(GetDlgItem(window, clearButton), BM_CLICK, 0, 0);
    CHECK(listed(window).empty());
    SendMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    CHECK_FALSE(IsWindow(window));
    CHECK(kivhost::objectTracker::get().liveCount() == objectsBefore);  // the window owned nothing more
    CHECK(std::find(host.dialogHandles().begin(), host.dialogHandles().end(), window) == host.dialogHandles().end());

    window = openHistory();
    REQUIRE(window);
    CHECK(listed(window).empty());  // cleared stays cleared
    press(window, VK_ESCAPE);
    CHECK_FALSE(IsWindow(window));

    window = openHistory();
    REQUIRE(window);
    s.session.unload();
    CHECK_FALSE(IsWindow(window));
    CHECK(host.dialogHandles().empty());
}

TEST_CASE("without showsilent the history item is kiv's only status-menu item") {
    historyScene s("history-alone", "[general]\r\nshowsilent=0\r\n[extra]\r\nhistory=1\r\n");
    std::vector<std::string> statusItems;
    for (const auto& item : s.session.host.menuItems())
        if (item.menu == statusMenu) statusItems.push_back(item.itemName);
    CHECK(statusItems == std::vector<std::string>{historyItem});
}

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
