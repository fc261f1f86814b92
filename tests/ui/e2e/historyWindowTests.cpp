// The history window as a person uses it, and its item in the status menu.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "historySupport.h"
#include "objectTracker.h"
#include "popupMenus.h"

using namespace kivtest;

namespace {

constexpr int clearButton = 1101;

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

TEST_CASE("in high contrast the history list takes the system's colours, and leaves them when the mode goes") {
    historyScene s("history-contrast", withExtra("history=10\r\n"));
    auto contrast = std::make_unique<highContrastScene>();
    HWND window = openHistory();
    REQUIRE(window);
    HWND list = GetDlgItem(window, historyList);
    auto colours = [&] {
        return std::vector<COLORREF>{static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)),
                                     static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)),
                                     static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0))};
    };
    CHECK(colours() == std::vector<COLORREF>{highContrastScene::window, highContrastScene::window,
                                             highContrastScene::text});
    contrast.reset();  // the system tells its windows, as Windows does
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    CHECK(colours() == std::vector<COLORREF>{background, background, GetSysColor(COLOR_WINDOWTEXT)});
}
