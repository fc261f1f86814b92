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
    : choice_(std::move(choice)), whileOpen_(std::move(whileOpen)) {
    InitializeCriticalSection(&lock_);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &menuWatcher::run, this, 0, nullptr);
}

menuWatcher::~menuWatcher() {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
    DeleteCriticalSection(&lock_);
}

std::vector<menuWatcher::items> menuWatcher::seen() const {
    EnterCriticalSection(&lock_);
    std::vector<items> copy = seen_;
    LeaveCriticalSection(&lock_);
    return copy;
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

DWORD WINAPI menuWatcher::run(void* self) {
    auto* watcher = static_cast<menuWatcher*>(self);
    while (WaitForSingleObject(watcher->stop_, 20) == WAIT_TIMEOUT) {
        std::vector<HWND> found;
        EnumWindows(&menuWatcher::collect, reinterpret_cast<LPARAM>(&found));
        // A menu window that went away may come back with the same handle for the next menu.
        auto gone = [&](HWND w) { return std::find(found.begin(), found.end(), w) == found.end(); };
        watcher->handled_.erase(std::remove_if(watcher->handled_.begin(), watcher->handled_.end(), gone),
                                watcher->handled_.end());
        for (HWND menuWindow : found)
            if (std::find(watcher->handled_.begin(), watcher->handled_.end(), menuWindow) == watcher->handled_.end())
                watcher->answer(menuWindow);
    }
    return 0;
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
    EnterCriticalSection(&lock_);
    seen_.push_back(texts);
    LeaveCriticalSection(&lock_);
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
