// The keys that reach kiv whatever window has the focus, pressed as the system delivers them, and
// what they share with a notification's menu: closing all, the history.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "historySupport.h"
#include "hotKeyRecorder.h"
#include "menuWatcher.h"

using namespace kivtest;

namespace {

struct hotKey {
    int32_t stored;  // as the hot-key control gives it
    UINT modifiers;  // as RegisterHotKey takes them
    UINT key;
};

const hotKey ctrlAltZ = {(HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'Z', MOD_CONTROL | MOD_ALT, 'Z'};
const hotKey ctrlShiftH = {(HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8 | 'H', MOD_CONTROL | MOD_SHIFT, 'H'};
const hotKey altF11 = {(HOTKEYF_ALT | HOTKEYF_EXT) << 8 | VK_F11, MOD_ALT, VK_F11};

std::string keysOf(int32_t close, int32_t history, const std::string& more = "") {
    return withExtra(more + "hotkeyclose=" + std::to_string(close) + "\r\nhotkeyhistory=" + std::to_string(history) +
                     "\r\n");
}

bool press(const hotKey& k) {
    const bool delivered = kivhost::hotKeyRecorder::get().press(k.modifiers, k.key);
    kivhost::pumpMessages(150);
    return delivered;
}

std::vector<std::string> hotKeyCalls() {
    std::vector<std::string> lines;
    for (const auto& call : kivhost::hotKeyRecorder::get().calls()) lines.push_back(kivhost::describe(call));
    kivhost::hotKeyRecorder::get().clear();
    return lines;
}

HWND keysWindow() {
    return FindWindowExA(HWND_MESSAGE, nullptr, "kiv_hotkeys", nullptr);
}

// Whether the system lets another program have the key: it does once kiv has let it go.
bool freeForOthers(const hotKey& k) {
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const bool free = RegisterHotKey(other, 1, k.modifiers, k.key) != FALSE;
    if (free) UnregisterHotKey(other, 1);
    DestroyWindow(other);
    return free;
}

}  // namespace

TEST_CASE("the keys are held from start-up to unloading, only those set, and freed for others after") {
    struct keysCase {
        const char* name;
        int32_t close, history;
        std::vector<std::string> registered;
        std::vector<hotKey> held;
    };
    const keysCase cases[] = {
        {"none", 0, 0, {}, {}},
        {"close", ctrlAltZ.stored, 0, {"RegisterHotKey id=1 Ctrl+Alt+0x5A"}, {ctrlAltZ}},
        {"history", 0, altF11.stored, {"RegisterHotKey id=2 Alt+0x7A"}, {altF11}},
        {"both",
         ctrlAltZ.stored,
         ctrlShiftH.stored,
         {"RegisterHotKey id=1 Ctrl+Alt+0x5A", "RegisterHotKey id=2 Ctrl+Shift+0x48"},
         {ctrlAltZ, ctrlShiftH}},
        {"modifiers without a key", 0x0600, 0x0800, {}, {}},
    };
    for (const keysCase& c : cases) {
        CAPTURE(std::string(c.name));
        kivhost::hotKeyRecorder::get().clear();
        kivSession session(std::string("hotkeys-held-") + c.name, false);
        writeFile(session.settingsFile, keysOf(c.close, c.history));
        session.start();
        CHECK(hotKeyCalls() == c.registered);
        CHECK(kivhost::hotKeyRecorder::get().held().size() == c.held.size());
        CHECK((keysWindow() != nullptr) == !c.held.empty());  // no window without a key
        for (const hotKey& k : c.held) CHECK_FALSE(freeForOthers(k));

        session.unload();
        CHECK(kivhost::hotKeyRecorder::get().held().empty());
        CHECK(keysWindow() == nullptr);
        for (const hotKey& k : c.held) CHECK(freeForOthers(k));
    }
}

namespace {

// "Zamknij wszystkie" in a notification's menu (its first window's) or the close key.
void closeAll(bool fromMenu, HWND first) {
    if (!fromMenu) {
        REQUIRE(press(ctrlAltZ));
        return;
    }
    kivhost::menuWatcher watcher("Zamknij wszystkie");
    SendMessageA(first, WM_RBUTTONUP, 0, 0);
    REQUIRE(watcher.seen().size() == 1);
}

}  // namespace

TEST_CASE("closing all, from the menu or the key, closes every notification, and what was queued never comes") {
    struct closing {
        const char* name;
        bool fromMenu;
        const char* windowKeys;
    };
    const char* const stack = "maxonscreen=2\r\nvisibletime=99\r\n";
    const closing cases[] = {
        {"key", false, ""}, {"key sliding", false, "effect=1\r\neffectclose=1\r\n"}, {"menu", true, ""}};
    for (const closing& c : cases) {
        CAPTURE(std::string(c.name));
        const std::string extra = "[extra]\r\nactionmenu=1\r\nhotkeyclose=" + std::to_string(ctrlAltZ.stored) + "\r\n";
        notifySession session(std::string("hotkeys-close-") + c.name,
                              settingsWith("none.kivs", stack + std::string(c.windowKeys), extra));
        for (int i = 0; i < 5; ++i) {
            popupRequest request;
            request.data = i;
            REQUIRE(popup(session, request) == 0);
        }
        const std::vector<HWND> shown = settle(2, 3000);
        REQUIRE(shown.size() == 2);
        closeAll(c.fromMenu, shown[0]);
        CHECK(waitForCount(0, 3000));
        kivhost::pumpMessages(600);  // ticks that would have shown the queued three
        CHECK(notifications().empty());

        popupRequest later;
        later.data = 9;
        CHECK(showOne(session, later) != nullptr);  // a new one shows as ever
    }
}

TEST_CASE("the history key and the menu's \"Historia...\" open the history window while history is kept") {
    struct historyCase {
        int history;
        bool fromMenu;
        bool opens;
    };
    const historyCase cases[] = {{20, false, true}, {0, false, false}, {20, true, true}};
    for (const historyCase& c : cases) {
        CAPTURE(c.history);
        CAPTURE(c.fromMenu);
        historyScene s("hotkeys-history-" + std::to_string(c.history) + (c.fromMenu ? "-menu" : ""),
                       keysOf(0, ctrlShiftH.stored, "actionmenu=1\r\nhistory=" + std::to_string(c.history) + "\r\n"));
        REQUIRE(historyWindow() == nullptr);
        if (c.fromMenu) {
            kivhost::menuWatcher watcher("Historia...");
            kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć");
            REQUIRE(waitForCount(1));
            SendMessageA(notifications()[0], WM_RBUTTONUP, 0, 0);
            kivhost::pumpMessages(150);
        } else {
            REQUIRE(press(ctrlShiftH));
        }
        CHECK((historyWindow() != nullptr) == c.opens);
    }
}
