#include "history/eventLog.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/moduleState.h"
#include "base/scopedHandle.h"
#include "settings/config.h"

namespace kiv {

namespace {

HANDLE openForAppending(const std::string& path) {
    return CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

unsigned long long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
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

}  // namespace

bool eventLog::enabled() {
    return plugin.settings && plugin.settings->eventlog && plugin.profileFolder[0];
}

void eventLog::write(const char* protocol, const char* contactId, const char* event, const char* decision) {
    if (!enabled()) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char time[32];
    snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    std::string line;
    for (const char* field : {static_cast<const char*>(time), protocol, contactId, event, decision})
        appendField(line, field);
    line += "\r\n";

    const std::string path = std::string(plugin.profileFolder) + "kiv.log";
    // The line about to be written decides: a file it would take past the limit rolls over first.
    const unsigned long long size = fileSize(path);
    if (size > 0 && size + line.size() > sizeLimit &&
        !MoveFileExA(path.c_str(), (path + ".1").c_str(), MOVEFILE_REPLACE_EXISTING))
        return;
    fileHandle file(openForAppending(path));
    if (!file.valid()) return;
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace kiv
