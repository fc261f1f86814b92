#include "optionsWindow.h"

#include <commctrl.h>

#include "childControl.h"

namespace kivhost {

namespace {

constexpr const char* windowClass = "kivhost_options";
constexpr int margin = 8;
constexpr int listWidth = 150;
constexpr int buttonWidth = 80;
constexpr int buttonHeight = 24;
constexpr int listId = 100;

void registerClass(WNDPROC procedure) {
    WNDCLASSA options = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), windowClass, &options)) return;
    options.lpfnWndProc = procedure;
    options.hInstance = GetModuleHandleA(nullptr);
    options.hCursor = LoadCursor(nullptr, IDC_ARROW);
    options.lpszClassName = windowClass;
    RegisterClassA(&options);
}

}  // namespace

optionsWindow::optionsWindow(hostCore& host) : optionsWindow(host, layout()) {}

optionsWindow::optionsWindow(hostCore& host, const layout& look) : host_(host), look_(look) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    background_ = CreateSolidBrush(look_.background);
    create();
    choose(host_.optionsPages().empty() ? 0 : 1);
}

optionsWindow::~optionsWindow() {
    if (isOpen()) cancel();
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    DeleteObject(background_);
}

void optionsWindow::create() {
    registerClass(&optionsWindow::windowProc);
    area_ = {margin * 2 + listWidth, margin, margin * 2 + listWidth + look_.areaWidth, margin + look_.areaHeight};
    RECT frame = {0, 0, area_.right + margin, area_.bottom + margin * 2 + buttonHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window_ = CreateWindowExA(WS_EX_CONTROLPARENT, windowClass, "Opcje", style, 60, 40, frame.right - frame.left,
                              frame.bottom - frame.top, host_.mainWindow(), nullptr, GetModuleHandleA(nullptr),
                              this);

    list_ = childControl("LISTBOX", "", WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, margin,
                  margin, listWidth, look_.areaHeight, window_, listId);
    SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Ogólne"));
    for (const optionsPage& page : host_.optionsPages()) {
        std::string entry = page.group.empty() ? page.pageName : page.group;
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    ownPage_ = childControl("STATIC", "Ustawienia komunikatora kivhost.", SS_LEFT, area_.left, area_.top, look_.areaWidth,
                     look_.areaHeight, window_, 0);

    int y = area_.bottom + margin;
    int x = area_.right - 3 * buttonWidth - 2 * margin;
    childControl("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, x, y, buttonWidth, buttonHeight, window_, okButton);
    childControl("BUTTON", "Zastosuj", BS_PUSHBUTTON | WS_TABSTOP, x + buttonWidth + margin, y, buttonWidth, buttonHeight,
          window_, applyButton);
    childControl("BUTTON", "Anuluj", BS_PUSHBUTTON | WS_TABSTOP, x + 2 * (buttonWidth + margin), y, buttonWidth,
          buttonHeight, window_, cancelButton);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

void optionsWindow::choose(int entry) {
    if (!isOpen() || entry < 0 || entry > static_cast<int>(host_.optionsPages().size())) return;
    if (current_ > 0 && current_ != entry) sendEvent(current_ - 1, abi::optionsHide);
    current_ = entry;
    SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    ShowWindow(ownPage_, entry == 0 ? SW_SHOW : SW_HIDE);
    if (entry == 0) return;
    shown_.insert(entry - 1);
    sendEvent(entry - 1, abi::optionsShow);
}

bool optionsWindow::choosePage(const std::string& pageName) {
    const auto& pages = host_.optionsPages();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i].pageName != pageName) continue;
        choose(static_cast<int>(i) + 1);
        return true;
    }
    return false;
}

HWND optionsWindow::pageWindow() const {
    for (HWND dialog : host_.dialogHandles())
        if (IsWindow(dialog) && GetParent(dialog) == window_) return dialog;
    return nullptr;
}

void optionsWindow::sendEvent(int pageIndex, int code) {
    const optionsPage& page = host_.optionsPages()[static_cast<size_t>(pageIndex)];
    if (!page.callback) return;
    abi::options_page_event event = {};
    event.event = code;
    event.parent = window_;
    event.x = area_.left;
    event.y = area_.top;
    event.width = area_.right - area_.left;
    event.height = area_.bottom - area_.top;
    event.background = look_.background;
    page.callback(&event);
    lastEvent_ = event;
}

void optionsWindow::sendToShown(int code) {
    std::set<int> pages = shown_;  // a page callback may run a nested loop
    for (int page : pages) sendEvent(page, code);
}

void optionsWindow::press(int id) {
    HWND pressed = button(id);
    if (pressed) SendMessageA(pressed, BM_CLICK, 0, 0);
}

void optionsWindow::onCommand(int id, int notification) {
    switch (id) {
    case okButton:
        sendToShown(abi::optionsApplyClose);
        close();
        break;
    case applyButton:
        sendToShown(abi::optionsApply);
        break;
    case cancelButton:
        sendToShown(abi::optionsClose);
        close();
        break;
    case listId:
        if (notification == LBN_SELCHANGE)
            choose(static_cast<int>(SendMessageA(list_, LB_GETCURSEL, 0, 0)));
        break;
    default:
        break;
    }
}

void optionsWindow::close() {
    shown_.clear();
    current_ = -1;
    HWND closing = window_;
    if (closing && IsWindow(closing)) DestroyWindow(closing);
}

void optionsWindow::run() {
    MSG message;
    while (isOpen() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (host_.routeDialogMessage(message) || IsDialogMessageA(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LRESULT CALLBACK optionsWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<optionsWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        self->onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        self->cancel();
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, self->background_);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), self->look_.background);
        return reinterpret_cast<LRESULT>(self->background_);
    case WM_NCDESTROY:
        self->window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace kivhost
