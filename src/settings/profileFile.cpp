#include "settings/profileFile.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace kiv {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isProfileBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isProfileBlank(text.back())) text.remove_suffix(1);
    return text;
}

const char* afterBlanks(const char* text) {
    while (isProfileBlank(*text)) ++text;
    return text;
}

// A name or value ends at a zero byte, as the platform's strings do.
std::string_view upToZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// One pair of matching quotes round a value, as the reader drops them.
bool quoted(std::string_view value) {
    return value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
}

// The bytes the loader looks for in a line, found in one pass over it.
enum lineMark : unsigned char { plain, lineEnd, equalsSign, zeroByte };

constexpr std::array<unsigned char, 256> lineMarks = [] {
    std::array<unsigned char, 256> marks = {};
    marks['\r'] = marks['\n'] = lineEnd;
    marks['='] = equalsSign;
    marks[0] = zeroByte;
    return marks;
}();

}  // namespace

std::string_view profileFile::own(std::string text) {
    texts_.push_back(std::move(text));
    return texts_.back();
}

// Line by line as the platform's loader goes: blank lines vanish, "[name]" (up to the last
// bracket) opens a section, "name=value" is a key, and any other line (a comment too) is a key
// without a value, kept and written back as it was. Lines before the first section belong to
// one without a name, written without a header. Names and values are views of the one text, a
// zero byte ending them as it ends the platform's strings.
profileFile::profileFile(std::string bytes)
    : codec_(profileCodec::of(bytes)), firstSection_(0, foldedHash{codec_}, foldedEqual{codec_}) {
    const std::string_view contents = own(codec_.textOf(std::move(bytes)));
    addSection({}, 0);
    const char* const end = contents.data() + contents.size();
    const char* next = contents.data();
    while (next < end) {
        const char* const start = next;
        const char* equals = nullptr;
        bool zero = false;
        for (; next < end; ++next) {
            const unsigned char mark = lineMarks[static_cast<unsigned char>(*next)];
            if (mark == plain) continue;
            if (mark == lineEnd) break;
            if (mark == equalsSign && !equals) equals = next;
            zero = zero || mark == zeroByte;
        }
        const std::string_view raw(start, static_cast<size_t>(next - start));
        while (next < end && (*next == '\r' || *next == '\n')) ++next;
        const std::string_view line = trimmed(raw);
        if (line.empty()) continue;
        auto cut = [zero](std::string_view text) { return zero ? upToZero(text) : text; };
        const size_t close = line[0] == '[' ? line.rfind(']') : std::string_view::npos;
        if (close != std::string_view::npos) {
            addSection(cut(trimmed(line.substr(1, close - 1))), sections_.back().entries.size());
            continue;
        }
        entry e;
        if (!equals) {
            e.name = cut(line);
        } else {
            const size_t at = static_cast<size_t>(equals - line.data());
            e.name = cut(trimmed(line.substr(0, at)));
            e.value = cut(trimmed(line.substr(at + 1)));
            e.hasValue = true;
        }
        std::vector<entry>& entries = sections_.back().entries;
        if (e.name.empty() && !entries.empty() && entries.back().name.empty()) continue;
        entries.push_back(e);
    }
}

// A new section is made room for as many keys as the one before: the sections of a file are
// mostly alike.
void profileFile::addSection(std::string_view name, size_t expectedEntries) {
    const size_t first = firstSection_.emplace(name, sections_.size()).first->second;
    sections_.push_back(section{name, first, {}});
    sections_.back().entries.reserve(expectedEntries);
}

size_t profileFile::sectionAt(std::string_view heldName) const {
    auto found = firstSection_.find(heldName);
    return found == firstSection_.end() ? none : found->second;
}

size_t profileFile::sectionNamed(const std::string& heldName) {
    const size_t found = sectionAt(heldName);
    if (found != none) return found;
    addSection(own(heldName), 0);
    return sections_.size() - 1;
}

// The first key of that name, as the platform finds it.
size_t profileFile::entryAt(const section& in, std::string_view heldName) const {
    const bool sameSizes = codec_.kind() == profileCodec::windows1250;  // one byte a letter, folded or not
    for (size_t at = 0; at < in.entries.size(); ++at) {
        const std::string_view name = in.entries[at].name;
        if (sameSizes && name.size() != heldName.size()) continue;
        if (codec_.sameName(name, heldName)) return at;
    }
    return none;
}

// The platform strips only the value's leading blanks, but reads the file again before its next
// write, which strips the trailing ones too: only the value written last may keep them. A value
// that reads as the one given stays as it is, with any characters Windows-1250 lacks.
void profileFile::set(const char* sectionName, const char* key, const char* value) {
    if (sections_.empty()) addSection({}, 0);
    const size_t sectionIndex = sectionNamed(codec_.toHeld(std::string(trimmed(sectionName))));
    section& target = sections_[sectionIndex];
    const std::string name = codec_.toHeld(std::string(trimmed(key)));
    std::string stored = afterBlanks(value);
    const size_t found = entryAt(target, name);
    if (found != none) {
        const entry& existing = target.entries[found];
        const bool pending = lastSet_ == std::make_pair(sectionIndex, found);
        const std::string_view current = pending ? trimmed(existing.value) : existing.value;
        if (existing.hasValue && codec_.toModule(std::string(current)) == stored) return;
    }
    const std::string_view held = own(codec_.toHeld(std::move(stored)));
    if (lastSet_.first < sections_.size()) {
        std::string_view& last = sections_[lastSet_.first].entries[lastSet_.second].value;
        last = trimmed(last);
    }
    changed_ = true;
    if (found == none) {
        lastSet_ = {sectionIndex, target.entries.size()};
        target.entries.push_back(entry{own(name), held, true});
        return;
    }
    lastSet_ = {sectionIndex, found};
    entry& existing = target.entries[found];
    existing.value = held;
    existing.hasValue = true;
}

const std::string_view* profileFile::find(const char* sectionName, const char* key) const {
    if (strlen(sectionName) > longestName) return nullptr;
    return find(sectionAt(codec_.toHeld(std::string(trimmed(sectionName)))), key);
}

const std::string_view* profileFile::find(size_t sectionIndex, const char* key) const {
    if (sectionIndex >= sections_.size() || strlen(key) > longestName) return nullptr;
    const section& in = sections_[sectionIndex];
    std::string_view name = trimmed(key);
    std::string held;
    if (codec_.kind() != profileCodec::windows1250 && !profileCodec::isAscii(name))
        name = held = codec_.toHeld(std::string(name));
    const size_t at = entryAt(in, name);
    if (at == none) return nullptr;
    const entry& e = in.entries[at];
    return e.hasValue ? &e.value : nullptr;
}

void profileFile::text(const char* sectionName, const char* key, const char* fallback, char* buffer,
                       size_t size) const {
    text(find(sectionName, key), fallback, buffer, size);
}

void profileFile::text(size_t sectionIndex, const char* key, const char* fallback, char* buffer, size_t size) const {
    text(find(sectionIndex, key), fallback, buffer, size);
}

// One pair of quotes is dropped as the platform drops it: the opening one first, then the last
// byte that fits, so a value exactly as long as the buffer loses its last letter instead.
void profileFile::text(const std::string_view* found, const char* fallback, char* buffer, size_t size) const {
    if (!size) return;
    std::string converted;
    std::string_view value = fallback ? fallback : "";
    if (found && (codec_.kind() == profileCodec::windows1250 || profileCodec::isAscii(*found))) {
        value = *found;
    } else if (found) {
        converted = codec_.toModule(std::string(*found));
        value = converted;
    }
    const bool inQuotes = quoted(value);
    if (inQuotes) value.remove_prefix(1);
    size_t length = std::min(value.size(), size - 1);
    if (inQuotes && size >= value.size() && length > 0) --length;
    memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
}

namespace {

// The platform reads the number from the text of the value (at most 29 characters) in base 10,
// or in the base a 0b, 0o or 0x prefix names, ignoring overflow.
int32_t numberOf(const char* value, int32_t fallback) {
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

}  // namespace

int32_t profileFile::number(const char* sectionName, const char* key, int32_t fallback) const {
    char value[30];
    text(sectionName, key, "", value, sizeof value);
    return numberOf(value, fallback);
}

int32_t profileFile::number(size_t sectionIndex, const char* key, int32_t fallback) const {
    char value[30];
    text(sectionIndex, key, "", value, sizeof value);
    return numberOf(value, fallback);
}

std::vector<profileFile::readable> profileFile::readableSections() const {
    std::vector<readable> found;
    for (const section& s : sections_) {
        if (s.name.empty()) continue;
        std::string held(s.name);
        if (!codec_.fitsWindows1250(held)) continue;
        std::string name = codec_.toModule(std::move(held));
        if (name.size() <= longestName) found.push_back(readable{std::move(name), s.first});
    }
    return found;
}

std::string profileFile::keptText(const std::string& sectionName, const char* key, const char* value) const {
    if (codec_.kind() == profileCodec::windows1250) return value;
    const std::string_view* found = find(sectionName.c_str(), key);
    if (!found) return codec_.toHeld(value);
    const std::string own(quoted(*found) ? found->substr(1, found->size() - 2) : *found);
    return codec_.toModule(own) == value ? own : codec_.toHeld(value);
}

void profileFile::appendSection(std::string& bytes, const section& s) {
    if (!s.name.empty()) {
        bytes += '[';
        bytes += s.name;
        bytes += "]\r\n";
    }
    for (const entry& e : s.entries) {
        bytes += e.name;
        if (e.hasValue) {
            bytes += '=';
            bytes += e.value;
        }
        bytes += "\r\n";
    }
}

std::string profileFile::sectionsBeyondWindows1250() const {
    std::string held;
    for (const section& s : sections_)
        if (!s.name.empty() && !codec_.fitsWindows1250(std::string(s.name))) appendSection(held, s);
    return held;
}

std::string profileFile::text() const {
    std::string held;
    for (const section& s : sections_) appendSection(held, s);
    return codec_.bytesOf(held);
}

}  // namespace kiv
