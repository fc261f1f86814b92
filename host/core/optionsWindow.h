// kivhost's options window: a list of pages on the left (the host's own "Ogólne", then every page a
// plug-in registered with Tlen/AddOptionsPage), the chosen page's area on the right, and "OK",
// "Zastosuj" and "Anuluj" below.
//
// Host-side choices (the interface leaves them to the host):
// - a plug-in page is told 1 when it is chosen and 2 when another entry is chosen;
// - "OK", "Zastosuj" and "Anuluj" send 3, 4 and 5 to every plug-in page shown since the window
//   opened (or since the last "OK"); "OK" and "Anuluj" then close the window, as does the
//   caption's close button (which counts as "Anuluj");
// - the first plug-in page, when there is one, is chosen when the window opens;
// - the page area's background is the colour given at opening (by default the system's button
//   face colour), and the same colour goes to the pages in the event record;
// - the window registers the common controls (the trackbar among them) before any page exists.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "hostCore.h"

namespace kivhost {

class optionsWindow {
public:
    struct layout {
        int areaWidth = 470;
        int areaHeight = 420;
        COLORREF background = GetSysColor(COLOR_BTNFACE);
    };

    enum buttonId : int { okButton = IDOK, applyButton = 3, cancelButton = IDCANCEL };

    explicit optionsWindow(hostCore& host);
    optionsWindow(hostCore& host, const layout& look);
    ~optionsWindow();
    optionsWindow(const optionsWindow&) = delete;
    optionsWindow& operator=(const optionsWindow&) = delete;

    HWND window() const { return window_; }
    bool isOpen() const { return window_ && IsWindow(window_); }
    HWND button(int id) const { return GetDlgItem(window_, id); }
    HWND pageList() const { return list_; }
    RECT area() const { return area_; }

    // 0 is the host's own page, 1 and on the plug-in pages in the order they were registered.
    void choose(int entry);
    bool choosePage(const std::string& pageName);

    // The plug-in's page window inside this window, as given with Tlen/AddDialogHandle.
    HWND pageWindow() const;

    // The record of the latest event, as the plug-in left it.
    const abi::options_page_event& lastEvent() const { return lastEvent_; }

    void ok() { press(okButton); }
    void apply() { press(applyButton); }
    void cancel() { press(cancelButton); }

    // Runs messages until the window is closed (the sandbox's loop).
    void run();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void onCommand(int id, int notification);
    void press(int id);
    void sendEvent(int pageIndex, int code);
    void sendToShown(int code);
    void close();

    hostCore& host_;
    layout look_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND ownPage_ = nullptr;
    HBRUSH background_ = nullptr;
    RECT area_ = {};
    int current_ = -1;
    std::set<int> shown_;  // plug-in pages (indexes into hostCore::optionsPages) told 1
    abi::options_page_event lastEvent_ = {};
};

}  // namespace kivhost
