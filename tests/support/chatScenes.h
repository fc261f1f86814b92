// The messenger's chat window with Ala as a test needs it in front: on a thread that stops
// answering, or in another program.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "chatWindow.h"
#include "pluginLoader.h"
#include "testSupport.h"
#include "workerThreads.h"

namespace kivtest {

// The chat window with Ala on a thread of its own that stops answering messages until the test lets
// it go, as a hung window would; given up on, it wakes by itself after a while and answers then.
class hungChat {
public:
    hungChat() {
        thread_.start([this] {
            kivhost::chatWindow chat("Ala (ala@tlen.pl) - Dostępny");
            window_ = chat.handle();
            chat.bringToFront();
            SetEvent(ready_);
            if (WaitForSingleObject(release_, 5000) == WAIT_TIMEOUT) InterlockedExchange(&wokeByItself_, 1);
            kivhost::pumpMessages(50);  // what was sent to it meanwhile is answered now
        });
        kivhost::pumpUntil([this] { return WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0; }, 5000);
    }
    ~hungChat() {
        SetEvent(release_);
        thread_.finish(5000);
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    hungChat(const hungChat&) = delete;
    hungChat& operator=(const hungChat&) = delete;

    HWND handle() const { return window_; }
    bool stillHung() const { return InterlockedCompareExchange(&wokeByItself_, 0, 0) == 0; }

private:
    HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    mutable LONG wokeByItself_ = 0;
    HWND window_ = nullptr;
    workerThreads thread_;
};

// The sandbox in a process of its own, with its chat window with Ala open.
class otherMessenger {
public:
    explicit otherMessenger(const std::string& folder) {
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string script = folder + "chat.kivscript";
        writeFile(script, "open-chat ala@tlen.pl\nwait 60000\n");
        // The folder without its last backslash, which would escape the closing quote.
        std::string command = "\"" + kivhost::programFolder() + "kivhost.exe\" --profile \"" +
                              folder.substr(0, folder.size() - 1) + "\" --script \"" + script + "\" --no-pictures";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
            return;
        kivhost::pumpUntil([this] { return (chat_ = findChat()) != nullptr; }, 30000);
    }
    ~otherMessenger() {
        if (!process_.hProcess) return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    otherMessenger(const otherMessenger&) = delete;
    otherMessenger& operator=(const otherMessenger&) = delete;

    HWND chat() const { return chat_; }

private:
    struct search {
        DWORD process;
        HWND found;
    };
    static BOOL CALLBACK visit(HWND window, LPARAM data) {
        auto* wanted = reinterpret_cast<search*>(data);
        char className[32] = "", title[256] = "";
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
        if (owner == wanted->process && strcmp(className, "TChat") == 0 && strstr(title, "(ala@tlen.pl)"))
            wanted->found = window;
        return wanted->found == nullptr;
    }
    HWND findChat() const {
        search wanted = {process_.dwProcessId, nullptr};
        EnumWindows(visit, reinterpret_cast<LPARAM>(&wanted));
        return wanted.found;
    }

    PROCESS_INFORMATION process_ = {};
    HWND chat_ = nullptr;
};

}  // namespace kivtest
