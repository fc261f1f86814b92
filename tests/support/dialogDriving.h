// Driving a modal dialog from a dialogWatcher's thread, as a person would through its controls.
// Nothing here may use the test framework's checks: they run off the main thread. Actions read
// what they need into variables that the test checks after the dialog has closed.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>

#include "dialogWatcher.h"

namespace kivtest {

inline std::string controlText(HWND dialog, int id) {
    char text[2048] = "";
    SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Paths the system hands back may differ from ours in letter case only.
inline bool sameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

inline void typeText(HWND dialog, int id, const std::string& text) {
    SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline bool isChecked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline bool isEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

inline bool isShown(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

// A click on a button whose work ends before the click returns.
inline void click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A click on a button that opens a dialog of its own: posted, so the watcher is not held.
inline void clickLater(HWND dialog, int id) {
    kivhost::dialogWatcher::press(dialog, id);
}

// A check box set to a state and clicked, so the dialog hears of the change.
inline void setCheck(HWND dialog, int id, bool checked) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    click(dialog, id);
}

// Waits up to the time given for the condition; true when it came.
template <class Condition>
bool waitFor(Condition condition, DWORD milliseconds = 5000) {
    for (DWORD waited = 0; waited < milliseconds; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

// The system's open-file dialog answered with a file name: found by its file-name field, as
// its caption depends on the system's language.
inline kivhost::dialogWatcher answerOpenFile(const std::string& file) {
    return kivhost::dialogWatcher("", [file](HWND dialog) {
        const int fileNameEdit = 0x480;
        const int fileNameCombo = 0x47c;
        int field = GetDlgItem(dialog, fileNameEdit) ? fileNameEdit : fileNameCombo;
        if (!GetDlgItem(dialog, field)) return;
        typeText(dialog, field, file);
        kivhost::dialogWatcher::press(dialog, IDOK);
    });
}

inline std::string selectedTreeItem(HWND tree) {
    char text[MAX_PATH] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (item.hItem) SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

// The system's folder browser answered with a folder: found by its tree of folders. The folder
// is selected again until the tree shows it, as the tree may still be filling when it appears.
inline kivhost::dialogWatcher answerFolder(const std::string& folder) {
    return kivhost::dialogWatcher("", [folder](HWND dialog) {
        HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
        if (!tree) return;
        std::string name = folder.substr(folder.find_last_of('\\') + 1);
        waitFor([&] {
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
            return lstrcmpiA(selectedTreeItem(tree).c_str(), name.c_str()) == 0;
        });
        kivhost::dialogWatcher::press(dialog, IDOK);
    });
}

// Closes every dialog of this process still open after the time given, so a test whose driver
// missed its dialog fails instead of hanging in the modal loop.
class dialogGuard {
public:
    explicit dialogGuard(DWORD milliseconds = 20000) : timeout_(milliseconds) {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &dialogGuard::run, this, 0, nullptr);
    }
    ~dialogGuard() {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
    }
    dialogGuard(const dialogGuard&) = delete;
    dialogGuard& operator=(const dialogGuard&) = delete;

    bool fired() const { return fired_ != 0; }

private:
    static DWORD WINAPI run(void* self) {
        auto* guard = static_cast<dialogGuard*>(self);
        if (WaitForSingleObject(guard->stop_, guard->timeout_) != WAIT_TIMEOUT) return 0;
        do {
            EnumWindows(&dialogGuard::closeDialog, reinterpret_cast<LPARAM>(guard));
        } while (WaitForSingleObject(guard->stop_, 500) == WAIT_TIMEOUT);
        return 0;
    }
    static BOOL CALLBACK closeDialog(HWND window, LPARAM self) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        if (process != GetCurrentProcessId() || lstrcmpA(className, "#32770") != 0) return TRUE;
        InterlockedExchange(&reinterpret_cast<dialogGuard*>(self)->fired_, 1);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    DWORD timeout_;
    volatile LONG fired_ = 0;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

}  // namespace kivtest
