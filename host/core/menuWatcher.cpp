#include "menuWatcher.h"

#include <algorithm>

namespace kivhost {

namespace {

constexpr UINT getMenu = 0x01E1;  // MN_GETHMENU: the menu a popup-menu window shows
constexpr DWORD paintTime = 200;  // the menu is drawn before anyone looks at it

void press(HWND menuWindow, UINT key) {
    PostMessageA(menuWindow, WM_KEYDOWN, key, 1);
    PostMessageA(menuWindow, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

menuWatcher::menuWatcher(std::string choice, look whileOpen)
    : choice_(std::move(choice)), whileOpen_(std::move(whileOpen)), thread_([this] { lookAround(); }) {}

std::vector<menuWatcher::items> menuWatcher::seen() const {
    lockHeld held(lock_);
    return seen_;
}

menuWatcher::items menuWatcher::itemsOf(HWND menuWindow) {
    items texts;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(menuWindow, getMenu, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return texts;
    HMENU menu = reinterpret_cast<HMENU>(result);
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[512] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        texts.push_back(item.fType & MFT_SEPARATOR ? "-" : text);
    }
    return texts;
}

void menuWatcher::lookAround() {
    std::vector<HWND> found;
    EnumWindows(&menuWatcher::collect, reinterpret_cast<LPARAM>(&found));
    // A menu window that went away may come back with the same handle for the next menu.
    auto gone = [&](HWND w) { return std::find(found.begin(), found.end(), w) == found.end(); };
    handled_.erase(std::remove_if(handled_.begin(), handled_.end(), gone), handled_.end());
    for (HWND menuWindow : found)
        if (std::find(handled_.begin(), handled_.end(), menuWindow) == handled_.end()) answer(menuWindow);
}

BOOL CALLBACK menuWatcher::collect(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32768") == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// Down selects the first item and then each next one, passing over separators; Enter chooses.
void menuWatcher::answer(HWND menuWindow) {
    handled_.push_back(menuWindow);
    Sleep(paintTime);
    const items texts = itemsOf(menuWindow);
    {
        lockHeld held(lock_);
        seen_.push_back(texts);
    }
    if (whileOpen_) whileOpen_(menuWindow);
    auto chosen = std::find(texts.begin(), texts.end(), choice_);
    if (choice_.empty() || chosen == texts.end()) {
        press(menuWindow, VK_ESCAPE);
        return;
    }
    const auto downs = std::count_if(texts.begin(), chosen + 1, [](const std::string& t) { return t != "-"; });
    for (long i = 0; i < downs; ++i) press(menuWindow, VK_DOWN);
    press(menuWindow, VK_RETURN);
}

}  // namespace kivhost
