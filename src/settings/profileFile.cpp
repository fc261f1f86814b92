#include "settings/profileFile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace kiv {

namespace {

std::string trimmed(const char* begin, const char* end) {
    while (begin < end && isProfileBlank(*begin)) ++begin;
    while (end > begin && isProfileBlank(end[-1])) --end;
    return std::string(begin, end);
}

std::string trimmed(const char* text) {
    return trimmed(text, text + strlen(text));
}

const char* afterBlanks(const char* text) {
    while (isProfileBlank(*text)) ++text;
    return text;
}

// A name or value ends at a zero byte, as the platform's strings do.
std::string upToZero(std::string text) {
    size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

// One pair of matching quotes round a value, as the reader drops them.
bool quoted(const std::string& value) {
    return value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
}

}  // namespace

// Line by line as the platform's loader goes: blank lines vanish, "[name]" (up to the last
// bracket) opens a section, "name=value" is a key, and any other line (a comment too) is a key
// without a value, kept and written back as it was. Lines before the first section belong to
// one without a name, written without a header.
profileFile::profileFile(const std::string& bytes) : codec_(profileCodec::of(bytes)) {
    const std::string contents = codec_.textOf(bytes);
    addSection("");
    const char* const end = contents.data() + contents.size();
    const char* next = contents.data();
    while (next < end) {
        const char* start = next;
        while (next < end && *next != '\r' && *next != '\n') ++next;
        std::string line = trimmed(start, next);
        while (next < end && (*next == '\r' || *next == '\n')) ++next;
        if (line.empty()) continue;
        size_t close = line.rfind(']');
        if (line[0] == '[' && close != std::string::npos) {
            addSection(upToZero(trimmed(line.data() + 1, line.data() + close)));
            continue;
        }
        entry e;
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            e.name = upToZero(line);
        } else {
            e.name = upToZero(trimmed(line.data(), line.data() + equals));
            e.value = upToZero(trimmed(line.data() + equals + 1, line.data() + line.size()));
            e.hasValue = true;
        }
        section& current = sections_.back();
        if (e.name.empty() && !current.entries.empty() && current.entries.back().name.empty()) continue;
        addEntry(current, std::move(e));
    }
}

void profileFile::addSection(std::string name) {
    firstSection_.emplace(codec_.folded(name), sections_.size());
    sections_.push_back(section{std::move(name), {}, {}});
}

void profileFile::addEntry(section& to, entry e) {
    to.firstEntry.emplace(codec_.folded(e.name), to.entries.size());
    to.entries.push_back(std::move(e));
}

profileFile::section& profileFile::sectionNamed(const std::string& name) {
    auto found = firstSection_.find(codec_.folded(name));
    if (found != firstSection_.end()) return sections_[found->second];
    addSection(name);
    return sections_.back();
}

// The platform strips only the value's leading blanks, but reads the file again before its next
// write, which strips the trailing ones too: only the value written last may keep them. A value
// that reads as the one given stays as it is, with any characters Windows-1250 lacks.
void profileFile::set(const char* sectionName, const char* key, const char* value) {
    if (sections_.empty()) addSection("");
    section& target = sectionNamed(codec_.toHeld(trimmed(sectionName)));
    const size_t sectionIndex = static_cast<size_t>(&target - sections_.data());
    std::string name = codec_.toHeld(trimmed(key));
    std::string stored = afterBlanks(value);
    auto found = target.firstEntry.find(codec_.folded(name));
    if (found != target.firstEntry.end()) {
        const entry& existing = target.entries[found->second];
        bool pending = lastSet_ == std::make_pair(sectionIndex, found->second);
        std::string current = pending ? trimmed(existing.value.c_str()) : existing.value;
        if (existing.hasValue && codec_.toModule(std::move(current)) == stored) return;
    }
    stored = codec_.toHeld(std::move(stored));
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

const std::string* profileFile::find(const char* sectionName, const char* key) const {
    if (strlen(sectionName) > longestSectionName) return nullptr;
    auto at = firstSection_.find(codec_.folded(codec_.toHeld(trimmed(sectionName))));
    if (at == firstSection_.end()) return nullptr;
    const section& found = sections_[at->second];
    auto entryAt = found.firstEntry.find(codec_.folded(codec_.toHeld(trimmed(key))));
    if (entryAt == found.firstEntry.end()) return nullptr;
    const entry& e = found.entries[entryAt->second];
    return e.hasValue ? &e.value : nullptr;
}

// One pair of quotes is dropped as the platform drops it: the opening one first, then the last
// byte that fits, so a value exactly as long as the buffer loses its last letter instead.
void profileFile::text(const char* sectionName, const char* key, const char* fallback, char* buffer,
                       size_t size) const {
    if (!size) return;
    const std::string* found = find(sectionName, key);
    std::string value = found ? codec_.toModule(*found) : std::string(fallback ? fallback : "");
    const bool inQuotes = quoted(value);
    if (inQuotes) value.erase(0, 1);
    size_t length = std::min(value.size(), size - 1);
    if (inQuotes && size >= value.size() && length > 0) --length;
    memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
}

// The platform reads the number from the text of the value (at most 29 characters) in base 10,
// or in the base a 0b, 0o or 0x prefix names, ignoring overflow.
int32_t profileFile::number(const char* sectionName, const char* key, int32_t fallback) const {
    char value[30];
    text(sectionName, key, "", value, sizeof value);
    if (!value[0]) return fallback;
    const char* at = value;
    while (*at && static_cast<unsigned char>(*at) <= ' ') ++at;
    bool minus = *at == '-';
    if (*at == '+' || *at == '-') ++at;
    uint32_t base = 10;
    if (at[0] == '0' && (at[1] == 'b' || at[1] == 'o' || at[1] == 'x')) {
        base = at[1] == 'b' ? 2 : at[1] == 'o' ? 8 : 16;
        at += 2;
    }
    uint32_t total = 0;
    for (;; ++at) {
        char c = *at;
        uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                         : c >= 'a' && c <= 'z' ? static_cast<uint32_t>(c - 'a' + 10)
                         : c >= 'A' && c <= 'Z' ? static_cast<uint32_t>(c - 'A' + 10)
                                                : 99;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return static_cast<int32_t>(minus ? 0u - total : total);
}

std::vector<std::string> profileFile::sectionNames() const {
    std::vector<std::string> names;
    for (const section& s : sections_) {
        if (s.name.empty() || !codec_.fitsWindows1250(s.name)) continue;
        std::string name = codec_.toModule(s.name);
        if (name.size() <= longestSectionName) names.push_back(std::move(name));
    }
    return names;
}

std::string profileFile::keptText(const std::string& sectionName, const char* key, const char* value) const {
    if (codec_.kind() == profileCodec::windows1250) return value;
    const std::string* found = find(sectionName.c_str(), key);
    if (!found) return codec_.toHeld(value);
    std::string own = quoted(*found) ? found->substr(1, found->size() - 2) : *found;
    return codec_.toModule(own) == value ? own : codec_.toHeld(value);
}

void profileFile::appendSection(std::string& bytes, const section& s) {
    if (!s.name.empty()) bytes += "[" + s.name + "]\r\n";
    for (const entry& e : s.entries) {
        bytes += e.name;
        if (e.hasValue) bytes += "=" + e.value;
        bytes += "\r\n";
    }
}

std::string profileFile::sectionsBeyondWindows1250() const {
    std::string held;
    for (const section& s : sections_)
        if (!s.name.empty() && !codec_.fitsWindows1250(s.name)) appendSection(held, s);
    return held;
}

std::string profileFile::text() const {
    std::string held;
    for (const section& s : sections_) appendSection(held, s);
    return codec_.bytesOf(held);
}

}  // namespace kiv
