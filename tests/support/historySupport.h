// The history window as a person sees it: opened from the status menu, its list read row by row.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "hostCore.h"
#include "notifySupport.h"
#include "popupMenus.h"

namespace kivtest {

using rows = std::vector<std::vector<std::string>>;
using wideRows = std::vector<std::vector<std::wstring>>;

inline const char* const statusMenu = "Tlen/Status";
inline const char* const historyItem = "kiv/menu/history";
inline constexpr int historyList = 1100;

inline HWND historyWindow() {
    return FindWindowA(nullptr, "kiv / historia");
}

inline HWND openHistory() {
    if (!kivhost::choose(statusMenu, {}, historyItem)) return nullptr;
    kivhost::pumpMessages(100);
    return historyWindow();
}

// One cell as the list holds it, through the wide message.
inline std::wstring cell(HWND window, int row, int column) {
    wchar_t text[600] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text / sizeof text[0];
    SendMessageW(GetDlgItem(window, historyList), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

// Every row of the list as its four cells after the time, from the top.
inline wideRows listedWide(HWND window) {
    wideRows all;
    auto count = static_cast<int>(SendMessageW(GetDlgItem(window, historyList), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) all.push_back({cell(window, row, 1), cell(window, row, 2),
                                                         cell(window, row, 3), cell(window, row, 4)});
    return all;
}

// The same in Windows-1250, as this file's texts are.
inline rows listed(HWND window) {
    rows all;
    for (const auto& wide : listedWide(window)) {
        std::vector<std::string> cells;
        for (const std::wstring& text : wide) {
            char narrow[600] = "";
            WideCharToMultiByte(1250, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
            cells.push_back(narrow);
        }
        all.push_back(cells);
    }
    return all;
}

inline const char* const showEverything =
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

inline std::string withExtra(const std::string& extra, const std::string& windowKeys = "") {
    return settingsWith("none.kivs", windowKeys, "[extra]\r\n" + extra);
}

}  // namespace kivtest
