#include "settings/profileFile.h"

#include <windows.h>

#include <cstring>

namespace kiv {

namespace {

// The platform's blanks in these files: tab to carriage return, the DOS end-of-file mark, space.
bool isBlank(char c) {
    return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == ' ';
}

std::string trimmed(const char* begin, const char* end) {
    while (begin < end && isBlank(*begin)) ++begin;
    while (end > begin && isBlank(end[-1])) --end;
    return std::string(begin, end);
}

std::string trimmed(const char* text) {
    return trimmed(text, text + strlen(text));
}

const char* afterBlanks(const char* text) {
    while (isBlank(*text)) ++text;
    return text;
}

std::string folded(std::string name) {
    if (!name.empty()) CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

}  // namespace

// Line by line as the platform's loader goes: blank lines vanish, "[name]" (up to the last
// bracket) opens a section, "name=value" is a key, and any other line (a comment too) is a key
// without a value, kept and written back as it was. Lines before the first section belong to
// one without a name, written without a header.
profileFile::profileFile(const std::string& bytes) {
    addSection("");
    const char* const end = bytes.data() + bytes.size();
    const char* next = bytes.data();
    while (next < end) {
        const char* start = next;
        while (next < end && *next != '\r' && *next != '\n') ++next;
        std::string line = trimmed(start, next);
        while (next < end && (*next == '\r' || *next == '\n')) ++next;
        if (line.empty()) continue;
        size_t close = line.rfind(']');
        if (line[0] == '[' && close != std::string::npos) {
            addSection(trimmed(line.data() + 1, line.data() + close));
            continue;
        }
        entry e;
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            e.name = line;
        } else {
            e.name = trimmed(line.data(), line.data() + equals);
            e.value = trimmed(line.data() + equals + 1, line.data() + line.size());
            e.hasValue = true;
        }
        section& current = sections_.back();
        if (e.name.empty() && !current.entries.empty() && current.entries.back().name.empty()) continue;
        addEntry(current, std::move(e));
    }
}

void profileFile::addSection(std::string name) {
    firstSection_.emplace(folded(name), sections_.size());
    sections_.push_back(section{std::move(name), {}, {}});
}

void profileFile::addEntry(section& to, entry e) {
    to.firstEntry.emplace(folded(e.name), to.entries.size());
    to.entries.push_back(std::move(e));
}

profileFile::section& profileFile::sectionNamed(const std::string& name) {
    auto found = firstSection_.find(folded(name));
    if (found != firstSection_.end()) return sections_[found->second];
    addSection(name);
    return sections_.back();
}

// The platform strips only the value's leading blanks, but reads the file again before its next
// write, which strips the trailing ones too: only the value written last may keep them.
void profileFile::set(const char* sectionName, const char* key, const char* value) {
    if (sections_.empty()) addSection("");
    section& target = sectionNamed(trimmed(sectionName));
    const size_t sectionIndex = static_cast<size_t>(&target - sections_.data());
    std::string name = trimmed(key);
    std::string stored = afterBlanks(value);
    auto found = target.firstEntry.find(folded(name));
    if (found != target.firstEntry.end()) {
        const entry& existing = target.entries[found->second];
        bool pending = lastSet_ == std::make_pair(sectionIndex, found->second);
        std::string current = pending ? trimmed(existing.value.c_str()) : existing.value;
        if (existing.hasValue && current == stored) return;
    }
    if (lastSet_.first < sections_.size()) {
        std::string& last = sections_[lastSet_.first].entries[lastSet_.second].value;
        last = trimmed(last.c_str());
    }
    changed_ = true;
    if (found == target.firstEntry.end()) {
        lastSet_ = {sectionIndex, target.entries.size()};
        addEntry(target, entry{std::move(name), std::move(stored), true});
        return;
    }
    lastSet_ = {sectionIndex, found->second};
    entry& existing = target.entries[found->second];
    existing.value = std::move(stored);
    existing.hasValue = true;
}

std::string profileFile::text() const {
    std::string bytes;
    for (const section& s : sections_) {
        if (!s.name.empty()) bytes += "[" + s.name + "]\r\n";
        for (const entry& e : s.entries) {
            bytes += e.name;
            if (e.hasValue) bytes += "=" + e.value;
            bytes += "\r\n";
        }
    }
    return bytes;
}

}  // namespace kiv
