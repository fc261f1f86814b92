// Shared by the in-process and end-to-end tests: scratch folders, files and INI reads, and a
// session that loads the built kiv.tpl into this process's kivhost.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hostCore.h"
#include "pluginLoader.h"
#include "recorders.h"

namespace kivtest {

// A fresh, empty folder beside the test program, ending in a backslash.
std::string scratchFolder(const std::string& name);

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

// One key as the platform's private-profile reader sees it; "<missing>" when absent.
std::string iniValue(const std::string& file, const char* section, const char* key);

// The section names of an INI file as the platform lists them, in file order.
std::vector<std::string> sectionNames(const std::string& file);

// Every key of every section, as "section/key" with its value, as the platform reads them.
std::map<std::string, std::string> profileValues(const std::string& file);

// The keys of before that after lacks or holds with another value, as "section/key=value; ...".
std::string valuesLost(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after);

// The encodings another editor may save a settings file in, each with its byte-order mark.
struct markedEncoding {
    const char* name;
    const char* mark;
    bool utf16;
    bool bigEndian;
};
extern const markedEncoding markedEncodings[3];

// The text as a file in the encoding, mark first.
std::string encoded(const std::wstring& text, const markedEncoding& encoding);
// A file's text in the encoding; empty when it lacks the encoding's mark.
std::wstring decoded(const std::string& bytes, const markedEncoding& encoding);

// The text with every "{profile}" replaced by the profile folder given.
std::string inProfile(std::string text, const std::string& profile);

// kivhost.exe in a process of its own playing a script in the profile folder given; killed at the
// end if it is still running. This process's windows answer the child's messages while it waits.
class kivhostProcess {
public:
    kivhostProcess(const std::string& profile, const std::string& script, const std::string& arguments = "");
    ~kivhostProcess();
    kivhostProcess(const kivhostProcess&) = delete;
    kivhostProcess& operator=(const kivhostProcess&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    // Its exit code once it ended within the time given; otherwise it is killed, with 1.
    DWORD finish(DWORD milliseconds);
    // Ends it at once, as a crash or the task manager would.
    void kill();

private:
    PROCESS_INFORMATION process_ = {};
};

// The built plug-in, loaded into kivhost with a profile of its own, as the messenger would.
class kivSession {
public:
    explicit kivSession(const std::string& profileName, bool load = true);
    ~kivSession();
    kivSession(const kivSession&) = delete;
    kivSession& operator=(const kivSession&) = delete;

    void start();  // version gate and LoadPlugin, for sessions made with load = false
    void unload();
    int service(const char* name, WPARAM wParam = 0, LPARAM lParam = 0);

    kivhost::hostCore& host;
    std::string profile;
    std::string settingsFile;
    std::string filtersFile;
    std::unique_ptr<kivhost::pluginLoader> plugin;
};

}  // namespace kivtest
