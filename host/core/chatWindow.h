// The messenger's chat window as plug-ins see it: a top-level window of class "TChat" whose title
// names the contact ("Ala (ala) - Dostępny", "Ola (GG# 123) - Zaraz wracam").
#pragma once

#include <windows.h>

#include <string>

namespace kivhost {

class chatWindow {
public:
    explicit chatWindow(const std::string& title);
    ~chatWindow();
    chatWindow(const chatWindow&) = delete;
    chatWindow& operator=(const chatWindow&) = delete;

    HWND handle() const { return window_; }
    void setTitle(const std::string& title);
    // Shows it and makes it the foreground window, as a user's click would.
    void bringToFront();

private:
    HWND window_ = nullptr;
};

}  // namespace kivhost
