// The sandbox's main window (the host's own main window, kept in front as the messenger's contact
// list is): the contact list as a tree of groups and contacts with their status icons, a panel
// that makes things happen to the selected contact, and a log of what happened.
//
// Right-clicking a contact or a group opens its context menu built from the plug-ins' items; a
// double click opens the chat window; "Menu statusu" opens the status menu.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

namespace kivhost {

class sandbox;

class sandboxWindow {
public:
    explicit sandboxWindow(sandbox& box);
    ~sandboxWindow();
    sandboxWindow(const sandboxWindow&) = delete;
    sandboxWindow& operator=(const sandboxWindow&) = delete;

    HWND handle() const { return window_; }

    // Rebuilds the tree from the contact book.
    void showContacts();
    // Shows the contact's current status icon and text.
    void refreshContact(const std::string& id);
    void addLog(const std::string& line);

private:
    void addLogEntry(const std::string& entry);
    enum controlId : int {
        treeId = 200,
        statusComboId,
        descriptionId,
        textId,
        setStatusButton,
        messageButton,
        chatButton,
        fileButton,
        voiceButton,
        emailButton,
        loginTlenButton,
        loginGgButton,
        statusMenuButton,
        optionsButton,
        logId,
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    HWND control(const char* className, const char* text, DWORD style, int x, int y, int width, int height, int id);
    void makeImages();
    std::string contactText(const std::string& id) const;
    std::string selectedContact() const;   // "" when a group or nothing is selected
    std::string itemText(int id) const;
    void onCommand(int id);
    LRESULT onNotify(const NMHDR& header);
    void openContextMenu();
    void act(bool done, const std::string& report);

    sandbox& box_;
    HWND window_ = nullptr;
    WNDPROC hostProcedure_ = nullptr;
    HWND tree_ = nullptr;
    HWND statusCombo_ = nullptr;
    HWND log_ = nullptr;
    HIMAGELIST images_ = nullptr;
    std::map<std::string, HTREEITEM> contactItems_;
    std::map<HTREEITEM, std::string> groupItems_;
};

}  // namespace kivhost
