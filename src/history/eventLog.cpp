#include "history/eventLog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/moduleState.h"
#include "settings/config.h"

namespace kiv {

namespace {

// Others may read, append to, rename or delete the file while the module holds it open.
HANDLE openForAppending(const std::string& path) {
    return CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Tabs and line breaks inside a field would split the line: they become spaces. A field past the
// longest is cut there and marked with its whole length.
void appendField(std::string& line, const char* field) {
    if (!line.empty()) line += '\t';
    const char* text = field ? field : "";
    const size_t length = strlen(text);
    const size_t kept = std::min(length, eventLog::longestField);
    for (const char* c = text; c < text + kept; ++c) line += (*c == '\t' || *c == '\r' || *c == '\n') ? ' ' : *c;
    if (kept < length) line += "… [ucięte, " + std::to_string(length) + " znaków]";
}

std::string lineOf(const char* protocol, const char* contactId, const char* event, const char* decision) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char time[32];
    snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    std::string line;
    for (const char* field : {static_cast<const char*>(time), protocol, contactId, event, decision})
        appendField(line, field);
    return line + "\r\n";
}

}  // namespace

eventLog::~eventLog() {
    close();
}

bool eventLog::enabled() {
    return plugin.log && plugin.settings && plugin.settings->eventlog && plugin.profileFolder[0];
}

void eventLog::write(const char* protocol, const char* contactId, const char* event, const char* decision) {
    if (enabled()) plugin.log->append(lineOf(protocol, contactId, event, decision));
}

void eventLog::followSettings() {
    if (plugin.log && !enabled()) plugin.log->close();
}

void eventLog::append(const std::string& line) {
    heldLock lock(lock_);
    appendHeld(line);
}

// The file stays open between lines, and each line is one write into the system's cache, so a
// process that dies keeps every line written. The size is asked of the file itself, which another
// program may have changed since the last line; the line about to be written decides: a file it
// would take past the limit rolls over first.
void eventLog::appendHeld(const std::string& line) {
    const std::string path = std::string(plugin.profileFolder) + "kiv.log";
    if (!file_.valid()) file_.reset(openForAppending(path));
    LARGE_INTEGER size = {};
    if (file_.valid() && GetFileSizeEx(file_.get(), &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) + line.size() > sizeLimit) {
        file_.close();
        if (!MoveFileExA(path.c_str(), (path + ".1").c_str(), MOVEFILE_REPLACE_EXISTING)) return;
        file_.reset(openForAppending(path));
    }
    DWORD written = 0;
    if (file_.valid()) WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void eventLog::close() {
    heldLock lock(lock_);
    file_.close();
}

}  // namespace kiv
