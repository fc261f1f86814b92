// Plays a script in the sandbox. Commands run one at a time from a thread timer, so a command that
// opens a modal dialog (a menu item such as "ustawienia...") does not stop the script: the
// dialog's own message loop runs the next commands, which can take its picture and press its
// buttons. `wait` only sets when the next command runs; expectations poll for up to 3 s.
//
// At the end, or at the first failure ("FILE:LINE: expected ..."), the runner posts WM_QUIT with
// 0 or 1, which also ends any dialog still open; with `stay` a finished script leaves the sandbox
// running for a person.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "programsTheme.h"
#include "sandbox.h"
#include "screenGrab.h"
#include "script.h"

namespace kivhost {

class scriptRunner {
public:
    scriptRunner(sandbox& box, screenGrab& grab, std::vector<scriptCommand> commands, std::string fileName);
    ~scriptRunner();
    scriptRunner(const scriptRunner&) = delete;
    scriptRunner& operator=(const scriptRunner&) = delete;

    // stay: leave the sandbox running after the last command. pictures: take the screenshots and
    // recordings (a person watching on their own screen gets none).
    void start(bool stay, bool pictures = true);
    bool finished() const { return finished_; }
    const std::string& error() const { return error_; }

    // Runs one command at once; false with the message ("expected ...") when it fails.
    bool execute(const scriptCommand& command, std::string& message);

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void step();
    void schedule(DWORD milliseconds);
    void finish(const std::string& error);

    bool expectation(const std::vector<std::string>& args, std::string& message);
    bool menu(const std::vector<std::string>& args, std::string& message);
    bool callService(const std::string& name, int wParam, std::string& message);
    bool recordedWait(DWORD milliseconds, std::string& message);
    bool area(const std::vector<std::string>& args, size_t first, RECT& result, std::string& message) const;
    std::string path(const std::string& name) const;

    sandbox& box_;
    screenGrab& grab_;
    std::vector<scriptCommand> commands_;
    std::string fileName_;
    size_t next_ = 0;
    int modalDepth_ = 0;
    int modalLine_ = 0;
    size_t soundsSeen_ = 0;
    bool stay_ = false;
    bool pictures_ = true;
    struct settingWrite {
        std::string file, section, key, value;
    };
    std::vector<settingWrite> pendingSettings_;  // written at the next load, after the unload
    std::unique_ptr<programsTheme> theme_;  // from the first 'theme' on: puts the value back at the end
    bool finished_ = false;
    std::string error_;
    UINT_PTR timer_ = 0;
    static scriptRunner* active_;
};

}  // namespace kivhost
