// An INI file held in memory: read as the platform's private-profile functions read one, changed
// key by key as they change it, and given back as the bytes they would write. One read and one
// write then replace the key-at-a-time calls, each of which reads and rewrites the whole file.
// Names and values are given and taken in Windows-1250, whatever the file's encoding; a file in
// UTF-8 or UTF-16 keeps it, and keeps the characters Windows-1250 lacks where nothing changed them.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <unordered_map>
#include <vector>

#include "settings/profileCodec.h"

namespace kiv {

// The platform's blanks in these files: tab to carriage return, the DOS end-of-file mark, space.
inline bool isProfileBlank(char c) {
    return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == ' ';
}

class profileFile {
public:
    // The platform reads no key of a section with a longer name, nor a key with a longer name:
    // it has no string that long.
    static constexpr size_t longestName = 32766;

    profileFile() = default;
    explicit profileFile(std::string bytes);
    profileFile(const profileFile&) = delete;
    profileFile& operator=(const profileFile&) = delete;
    profileFile(profileFile&&) = default;
    profileFile& operator=(profileFile&&) = default;

    // As WritePrivateProfileStringA(section, key, value): names lose their outer blanks, the
    // first section and key matching without regard to case take the value, and a missing one is
    // added at the end.
    void set(const char* section, const char* key, const char* value);

    // As GetPrivateProfileIntA: the default for a missing or empty value; otherwise the number it
    // begins with (0x, 0o and 0b prefixes too), wrapped to 32 bits; 0 when it begins with none.
    int32_t number(const char* section, const char* key, int32_t fallback) const;
    // As GetPrivateProfileStringA into a buffer of the given size: one pair of matching quotes
    // around the value is dropped, and the text is cut to size - 1 bytes.
    void text(const char* section, const char* key, const char* fallback, char* buffer, size_t size) const;

    // A section by the name the platform would read it under, found once for all its keys: a
    // number from readableSections.
    struct readable {
        std::string name;
        size_t section;  // the first section of that name, whose keys the platform reads
    };
    // The sections with a name it can read, in file order, repeated ones too. A name with
    // characters beyond Windows-1250 is left out: no group or contact of the host has it.
    std::vector<readable> readableSections() const;
    int32_t number(size_t section, const char* key, int32_t fallback) const;
    void text(size_t section, const char* key, const char* fallback, char* buffer, size_t size) const;

    // Whether any set changed the contents; the platform leaves the file alone otherwise.
    bool changed() const { return changed_; }
    // The file's bytes, in the encoding it was read in.
    std::string text() const;

    const profileCodec& codec() const { return codec_; }
    // What to write for the value of key in section in a new file of this encoding: this file's
    // own text when it reads as value, otherwise value itself.
    std::string keptText(const std::string& section, const char* key, const char* value) const;
    // The sections named beyond Windows-1250, as held inside, for a new file to keep as they were.
    std::string sectionsBeyondWindows1250() const;

private:
    // Names and values are views of the file's text, or of a text that set gave, all held in
    // texts_; a deque keeps each where it is, through a move of the whole file too.
    struct entry {
        std::string_view name;
        std::string_view value;
        bool hasValue = false;
    };
    struct section {
        std::string_view name;
        size_t first;  // the first section of this name, whose keys the platform reads
        std::vector<entry> entries;
    };
    // Section names hashed and compared as the platform matches them, without regard to case.
    struct foldedHash {
        profileCodec codec;
        size_t operator()(std::string_view name) const { return codec.nameHash(name); }
    };
    struct foldedEqual {
        profileCodec codec;
        bool operator()(std::string_view a, std::string_view b) const { return codec.sameName(a, b); }
    };
    static constexpr size_t none = SIZE_MAX;

    std::string_view own(std::string text);
    size_t sectionAt(std::string_view heldName) const;
    size_t sectionNamed(const std::string& heldName);
    size_t entryAt(const section& in, std::string_view heldName) const;
    const std::string_view* find(const char* section, const char* key) const;
    const std::string_view* find(size_t section, const char* key) const;
    void text(const std::string_view* found, const char* fallback, char* buffer, size_t size) const;
    static void appendSection(std::string& bytes, const section& s);
    void addSection(std::string_view name, size_t expectedEntries);

    profileCodec codec_;
    std::deque<std::string> texts_;
    std::vector<section> sections_;
    std::unordered_map<std::string_view, size_t, foldedHash, foldedEqual> firstSection_;  // name -> first index
    std::pair<size_t, size_t> lastSet_{none, 0};  // section, entry
    bool changed_ = false;
};

}  // namespace kiv
