// kiv.log in the profile folder: one line for each protocol event, sound event and call of the
// popup services, saying what the module did with it and why. Written only while eventlog is on; never
// grows past 1 MB (the file that a line would take past it becomes kiv.log.1).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "base/criticalSection.h"
#include "base/scopedHandle.h"

namespace kiv {

class eventLog {
public:
    static constexpr size_t sizeLimit = 1024 * 1024;
    // A longer field keeps this many bytes and says how long it was, so that no line comes near
    // the limit whatever a caller hands over.
    static constexpr size_t longestField = 1024;

    eventLog() = default;
    ~eventLog();
    eventLog(const eventLog&) = delete;
    eventLog& operator=(const eventLog&) = delete;

    static bool enabled();
    // One line: local time, protocol, contact, event and decision, separated by tabs, CRLF. A file
    // that cannot be written is left alone.
    static void write(const char* protocol, const char* contactId, const char* event, const char* decision);
    // After the settings changed: a log switched off lets go of its file at once.
    static void followSettings();

private:
    void append(const std::string& line);
    void appendHeld(const std::string& line);  // with the lock held
    void close();

    criticalSection lock_;
    fileHandle file_{INVALID_HANDLE_VALUE};
};

}  // namespace kiv
