#include "chatWindow.h"

#include "hostCore.h"

namespace kivhost {

namespace {

constexpr const char* chatClass = "TChat";

LRESULT CALLBACK chatProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerChatClass() {
    WNDCLASSA windowClass = {};
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, chatClass, &windowClass)) return;
    windowClass.lpfnWndProc = chatProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = chatClass;
    RegisterClassA(&windowClass);
}

}  // namespace

chatWindow::chatWindow(const std::string& title) {
    registerChatClass();
    window_ = CreateWindowExA(0, chatClass, title.c_str(), WS_OVERLAPPEDWINDOW, 380, 60, 360, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
}

// The host's own window comes back to the front, as when a user closes a chat.
chatWindow::~chatWindow() {
    if (window_) DestroyWindow(window_);
    SetForegroundWindow(hostCore::get().mainWindow());
    pumpMessages(20);
}

void chatWindow::setTitle(const std::string& title) {
    SetWindowTextA(window_, title.c_str());
}

void chatWindow::bringToFront() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    pumpMessages(20);
}

}  // namespace kivhost
