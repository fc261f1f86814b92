// The file held in memory against the platform itself: the same keys written in the same order
// through WritePrivateProfileStringA must give the same bytes, whatever the file held before.
#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings/freshProfile.h"
#include "settings/profileFile.h"
#include "base/wholeFile.h"
#include "base/wideText.h"
#include "badInput.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

struct write {
    const char* section;
    const char* key;
    const char* value;
};

// What the platform makes of before plus the writes, and what profileFile makes of them.
void sameBytes(const std::string& folder, const std::string& before, const std::vector<write>& writes) {
    std::string file = scratchFolder(folder) + "platform.ini";
    if (!before.empty()) writeFile(file, before);
    kiv::profileFile memory(before);
    for (const write& w : writes) {
        WritePrivateProfileStringA(w.section, w.key, w.value, file.c_str());
        memory.set(w.section, w.key, w.value);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    std::string platform = readFile(file);
    CHECK(memory.changed() == (platform != before));
    if (memory.changed()) CHECK(memory.text() == platform);
}

const std::vector<write> settingsWrites = {
    {"general", "silent", "0"},         {"general", "showsilent", "1"},     {"window", "scheme", "dark.kivs"},
    {"window", "bind", "-3,12"},        {"window", "effect", "2"},          {"sound", "filelogintlen", "C:\\dźwięki\\a.wav"},
    {"sound", "fileemail", ""},         {"ztk", "ignoremub", "1"},          {"Window", "space", "  4\t"},
};

const std::string oddFile =
    "; written by hand\r\nloose=1\r\n\r\n[general]\r\n  silent = 7  \r\nnovalue\r\n; note\r\n\r\n\r\n"
    "[Window]\r\nscheme=x.kivs\r\n[window]\r\nbind=1,1\r\n[inna]\nklucz=\"w cudzysłowie\"\n[bad\r\n"
    "=bez nazwy\r\n=drugi\r\n[ spacje ]\r\nq=1\r\n[]\r\npusta=1\r\n[hidden]\r\nloginignoretime=0\x1a\r\n"
    "[sound]\tfileemail=zle\r\nfileemail = C:\\a.wav ";

}  // namespace

TEST_CASE("the file made in memory has the bytes the platform writes for the same keys") {
    SUBCASE("no file before") { sameBytes("profile-none", "", settingsWrites); }
    SUBCASE("a file of another program's sections, comments, blanks and odd lines") {
        sameBytes("profile-odd", oddFile, settingsWrites);
    }
    SUBCASE("the same in UTF-8 and UTF-16 with their marks, characters beyond Windows-1250 kept") {
        const std::wstring beyond = L"[\x65E5\x672C]\r\nklucz=\x97F3\r\n[sound]\r\nfileemail=C:\\\x97F3.wav\r\n";
        for (const markedEncoding& encoding : markedEncodings) {
            const std::string encodingName = encoding.name;
            CAPTURE(encodingName);
            sameBytes("profile-marked", encoded(kiv::wideOf(oddFile, kiv::windows1250CodePage) + beyond, encoding),
                      settingsWrites);
            sameBytes("profile-marked-empty", encoding.mark, settingsWrites);
            // Where the platform would write the value's Windows-1250 reading over it, it stays.
            kiv::profileFile memory(encoded(beyond, encoding));
            memory.set("sound", "fileemail", "C:\\?.wav");
            CHECK_FALSE(memory.changed());
        }
    }
    SUBCASE("nothing changes: the platform leaves the file as it is") {
        sameBytes("profile-same", "[general]\r\nsilent=0\r\nshowsilent = 1",
                  {{"general", "silent", "0"}, {"general", "showsilent", "1"}});
    }
    SUBCASE("blanks after a value stay only when nothing is written after it") {
        sameBytes("profile-blanks", "[a]\r\nx=1\r\n", {{"a", "x", "2 "}, {"a", "x", "2"}, {"a", "y", "1"}});
        sameBytes("profile-blanks-kept", "[a]\r\nx=1\r\n", {{"a", "x", "2\t"}, {"a", "x", "2"}});
        sameBytes("profile-blanks-later", "", {{"a", "x", " 2 "}, {"a", "y", "3"}});
    }
}

TEST_CASE("a file made from nothing has the bytes the platform writes for the same sections") {
    std::string file = scratchFolder("profile-fresh") + "platform.ini";
    kiv::freshProfile memory;
    for (const char* name : {"global", "group:Tab\tin", "group:\x01\x1b", "group:zażółć", "group:a]b]", "contact:1=2",
                             "contact:;x", "contact:GRUPA"}) {
        memory.section(name);
        for (const write& w : std::vector<write>{{name, "window_inherit", "0"},
                                                 {name, "sound_fileonline", "  C:\\Dźwięki\\a b.wav \t"},
                                                 {name, "sound_filemessage", ""}, {name, "sound_filefile", "x "}}) {
            WritePrivateProfileStringA(w.section, w.key, w.value, file.c_str());
            memory.key(w.key, w.value);
        }
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    CHECK(memory.text() == readFile(file));
}

namespace {

// Every key of every section, and a few that are not there, read by the platform and from memory.
void readsAlike(const std::string& folder, const std::string& content) {
    std::string file = scratchFolder(folder) + "read.ini";
    writeFile(file, content);
    kiv::profileFile memory(content);
    std::vector<std::string> names = sectionNames(file);
    // Names beyond Windows-1250 are left out, the others listed in order as the platform lists them.
    const std::vector<std::string> listed = memory.sectionNames();
    auto at = names.begin();
    for (const std::string& name : listed) {
        at = std::find(at, names.end(), name);
        REQUIRE(at != names.end());
        ++at;
    }
    if (memory.codec().kind() == kiv::profileCodec::windows1250) REQUIRE(listed == names);
    names.push_back("no such section");
    for (const std::string& name : names) {
        std::vector<char> list(1 << 16);
        DWORD length = GetPrivateProfileStringA(name.c_str(), nullptr, "", list.data(), static_cast<DWORD>(list.size()),
                                                file.c_str());
        std::vector<std::string> keys = {"silent", "no such key"};
        for (const char* key = list.data(); key < list.data() + length && *key; key += strlen(key) + 1) keys.push_back(key);
        for (const std::string& key : keys) {
            CAPTURE(name);
            CAPTURE(key);
            CHECK(memory.number(name.c_str(), key.c_str(), 7) ==
                  static_cast<int32_t>(GetPrivateProfileIntA(name.c_str(), key.c_str(), 7, file.c_str())));
            for (DWORD size : {DWORD{5}, DWORD{128}}) {
                std::vector<char> platform(size), mine(size);
                GetPrivateProfileStringA(name.c_str(), key.c_str(), "\"domyślna\"", platform.data(), size, file.c_str());
                memory.text(name.c_str(), key.c_str(), "\"domyślna\"", mine.data(), size);
                CHECK(std::string(mine.data()) == std::string(platform.data()));
            }
        }
    }
}

}  // namespace

TEST_CASE("values read from memory are those the platform reads") {
    SUBCASE("hostile numbers, quotes and prefixes") {
        std::string text = "[liczby]\r\n";
        int i = 0;
        for (const std::string& number : hostileNumbers) text += "n" + std::to_string(i++) + "=" + number + "\r\n";
        for (const char* value : {"0x1F", "0b101", "0o17", "-0x10", "+5", "'12'", "\"7\"", "\"", "''", "'a\"",
                                  "0X10", "1234567890123456789012345678901234", "\"abcd\"", "\"abc\"", "\t 42 x"})
            text += "v" + std::to_string(i++) + "=" + value + "\r\n";
        readsAlike("read-numbers", text + "[Liczby]\r\nn0=9\r\n[pusta]\r\nbez\r\n=x\r\n");
    }
    SUBCASE("random bytes") {
        for (unsigned seed = 61; seed <= 64; ++seed) readsAlike("read-random", garbage(seed).bytes(3000));
    }
    SUBCASE("random bytes after each byte-order mark") {
        for (const markedEncoding& encoding : markedEncodings)
            for (unsigned seed = 65; seed <= 66; ++seed) readsAlike("read-marked", encoding.mark + garbage(seed).bytes(3000));
    }
}
