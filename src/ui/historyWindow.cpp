#include "ui/historyWindow.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "base/contactList.h"
#include "base/entryGuard.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "base/systemModes.h"
#include "base/wideText.h"
#include "history/notificationHistory.h"
#include "resources/resource.h"
#include "ui/uiText.h"

namespace kiv {

namespace {

HWND openWindow = nullptr;

// In dialog units, together narrower than the list, whose vertical scroll bar takes its share. The
// titles are the texts from IDS_HISTORY_COLUMNS on, in this order.
constexpr int columnWidths[] = {36, 106, 86, 148, 74};

// A list row shows one line: breaks in a message become spaces.
std::wstring oneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
    return text;
}

// Through the wide messages, so that a UTF-8 notification's text is listed as it was drawn.
void setCell(HWND list, int row, int col, const std::wstring& text) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = col;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, col == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void fillList(HWND window) {
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    if (plugin.history) {
        const auto& entries = plugin.history->entries();
        int row = 0;
        for (auto at = entries.rbegin(); at != entries.rend(); ++at, ++row) {
            char time[16];
            snprintf(time, sizeof time, "%02d:%02d:%02d", at->time.wHour, at->time.wMinute, at->time.wSecond);
            char event[64];
            setCell(list, row, 0, wideOf(time, false));
            setCell(list, row, 1, at->contact);
            setCell(list, row, 2, wideOf(eventText(*at, event, sizeof event), false));
            setCell(list, row, 3, oneLine(at->text));
            setCell(list, row, 4, wideOf(heldText(at->held), false));
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void addColumns(HWND window) {
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    int index = 0;
    for (int width : columnWidths) {
        RECT size = {0, 0, width, 0};
        MapDialogRect(window, &size);
        LVCOLUMNA entry = {};
        entry.mask = LVCF_TEXT | LVCF_WIDTH;
        entry.cx = size.right;
        entry.pszText = const_cast<char*>(uiText(IDS_HISTORY_COLUMNS + index));
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&entry));
    }
}

// In high contrast the list takes the colours the system gives windows and their text, as a
// notification does. A list hears of a change of the system's colours only from its parent; at each
// change they are set again, whichever way it went (out of high contrast they are its own anyway).
void followSystemColours(HWND window, bool changed) {
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    if (changed) SendMessageA(list, WM_SYSCOLORCHANGE, 0, 0);
    if (!changed && !highContrastOn()) return;
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    SendMessageA(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessageA(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOWTEXT)));
    InvalidateRect(list, nullptr, TRUE);
}

// The entry of a row, counted from the newest; null for no row or one gone meanwhile.
const historyEntry* entryAt(int row) {
    if (!plugin.history || row < 0) return nullptr;
    const auto& entries = plugin.history->entries();
    if (static_cast<size_t>(row) >= entries.size()) return nullptr;
    return &entries[entries.size() - 1 - static_cast<size_t>(row)];
}

void openSelectedChat(HWND window) {
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    auto row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const historyEntry* entry = entryAt(row);
    if (!entry || entry->contactId.empty()) return;
    openChatWindow(entry->protocol.c_str(), entry->contactId.c_str());
}

INT_PTR CALLBACK historyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        addColumns(window);
        followSystemColours(window, false);
        fillList(window);
        return TRUE;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        followSystemColours(window, true);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:  // Enter, from the host's dialog navigation
            openSelectedChat(window);
            return TRUE;
        case IDCANCEL:  // Zamknij, Escape and the caption's close box
            DestroyWindow(window);
            return TRUE;
        case IDC_HISTORY_CLEAR:
            if (plugin.history) plugin.history->clear();
            fillList(window);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_HISTORY_LIST && header->code == NM_DBLCLK) openSelectedChat(window);
        return FALSE;
    }
    case WM_DESTROY:
        host::callService(abi::svcRemoveDialogHandle, reinterpret_cast<WPARAM>(window), 0);
        if (openWindow == window) openWindow = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

void historyWindow::show() {
    if (openWindow) {
        ShowWindow(openWindow, SW_RESTORE);
        SetForegroundWindow(openWindow);
        return;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    openWindow = CreateDialogParamA(plugin.instance, MAKEINTRESOURCEA(IDD_HISTORY), nullptr, guardedCallback<historyProc>, 0);
    if (!openWindow) return;
    host::callService(abi::svcAddDialogHandle, reinterpret_cast<WPARAM>(openWindow), 0);
    ShowWindow(openWindow, SW_SHOW);
}

void historyWindow::refresh() {
    if (openWindow) fillList(openWindow);
}

void historyWindow::close() {
    if (openWindow) DestroyWindow(openWindow);
}

}  // namespace kiv
