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

// Every key of every section, and a few that are not there, read by the platform and from memory,
// both by the section's name and by the section the file lists for it (as the filters read).
void readsAlike(const std::string& folder, const std::string& content) {
    std::string file = scratchFolder(folder) + "read.ini";
    writeFile(file, content);
    kiv::profileFile memory(content);
    std::vector<std::string> names = sectionNames(file);
    // The platform lists a name too long for it to read any key under; memory leaves it out.
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n.size() > kiv::profileFile::longestName; }),
                names.end());
    // Names beyond Windows-1250 are left out, the others listed in order as the platform lists them.
    const std::vector<kiv::profileFile::readable> listed = memory.readableSections();
    std::vector<std::string> listedNames;
    for (const kiv::profileFile::readable& r : listed) listedNames.push_back(r.name);
    auto at = names.begin();
    for (const std::string& name : listedNames) {
        at = std::find(at, names.end(), name);
        REQUIRE(at != names.end());
        ++at;
    }
    if (memory.codec().kind() == kiv::profileCodec::windows1250) REQUIRE(listedNames == names);
    names.push_back("no such section");
    for (const std::string& name : names) {
        auto own = std::find(listedNames.begin(), listedNames.end(), name);
        const size_t section = own == listedNames.end() ? SIZE_MAX : listed[static_cast<size_t>(own - listedNames.begin())].section;
        std::vector<char> list(1 << 17);
        DWORD length = GetPrivateProfileStringA(name.c_str(), nullptr, "", list.data(), static_cast<DWORD>(list.size()),
                                                file.c_str());
        std::vector<std::string> keys = {"silent", "no such key"};
        for (const char* key = list.data(); key < list.data() + length && *key; key += strlen(key) + 1) keys.push_back(key);
        for (const std::string& key : keys) {
            CAPTURE(name);
            CAPTURE(key);
            const auto platformNumber = static_cast<int32_t>(GetPrivateProfileIntA(name.c_str(), key.c_str(), 7, file.c_str()));
            CHECK(memory.number(name.c_str(), key.c_str(), 7) == platformNumber);
            if (section != SIZE_MAX) CHECK(memory.number(section, key.c_str(), 7) == platformNumber);
            for (DWORD size : {DWORD{5}, DWORD{128}, DWORD{1 << 17}}) {
                std::vector<char> platform(size), mine(size), byIndex(size);
                GetPrivateProfileStringA(name.c_str(), key.c_str(), "\"domyślna\"", platform.data(), size, file.c_str());
                memory.text(name.c_str(), key.c_str(), "\"domyślna\"", mine.data(), size);
                CHECK(std::string(mine.data()) == std::string(platform.data()));
                if (section == SIZE_MAX) continue;
                memory.text(section, key.c_str(), "\"domyślna\"", byIndex.data(), size);
                CHECK(std::string(byIndex.data()) == std::string(platform.data()));
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
    SUBCASE("files written by hand: blanks, quotes, repeated names, comments, odd lines, long lines") {
        const std::string longValue(70000, 'v');
        const std::string longName(40000, 'n'), longest(kiv::profileFile::longestName, 'm');
        struct trickyFile {
            const char* what;
            std::string text;
        };
        for (const trickyFile& t : std::vector<trickyFile>{
                 {"blanks round names and values", "[ a ]\r\n  key  =  value  \r\n\tk2\t=\t2\t\r\n[\tb\t]\r\nk = \" q \" \r\n"},
                 {"quotes", "[q]\r\nk1=\"v\"\r\nk2='v'\r\nk3=\"v'\r\nk4=\"\r\nk5=''\r\nk6=\"\"\"\r\nk7=\"a\"b\"\r\n"},
                 {"repeated sections and keys: the first wins",
                  "[d]\r\nk=1\r\n[D]\r\nk=2\r\nj=3\r\n[d]\r\nk=4\r\nK=5\r\nj=6\r\n[dd]\r\nk=7\r\n"},
                 {"comments", "; c\r\n[c]\r\n;k=1\r\n#k=2\r\nk=3 ; not a comment\r\n  ;k=4\r\n[;c]\r\nk=5\r\n"},
                 {"lines without a name or an equals sign", "[n]\r\nbare\r\n=v\r\n==\r\nk==v\r\nbare\r\n=w\r\n\r\n=\r\n"},
                 {"letter case", "[Case]\r\nKEY=1\r\n[case]\r\nkey=2\r\nKey=3\r\n"},
                 {"brackets", "[a]b]\r\nk=1\r\n[[x]]\r\nk=2\r\n[no close\r\nk=3\r\n[]\r\nk=4\r\n [s] \r\nk=5\r\n"},
                 {"line ends and zero bytes", std::string("[e]\rk=1\nj=2\n\r\ri=3\r\n[z\0z]\r\nk=a\0b\r\nn\0m=1\r\n", 40)},
                 {"over-long lines", "[long]\r\nk=" + longValue + "\r\n" + longName + "=1\r\n" + longest + "=2\r\n" +
                                         longest + "o=3\r\n[" + longName + "]\r\nk=4\r\n[" + longest + "]\r\nk=5\r\n[" +
                                         longest + "o]\r\nk=6\r\n"},
             }) {
            const std::string what = t.what;
            CAPTURE(what);
            readsAlike("read-tricky", t.text);
        }
        const std::string fixtures = kivhost::programFolder() + "fixtures\\bad-inputs\\";
        for (const char* name : {"filters-utf16le-bom.config", "filters-utf8-bom.config"}) {
            CAPTURE(name);
            readsAlike("read-fixture", readFile(fixtures + name));
        }
    }
    SUBCASE("random bytes") {
        for (unsigned seed = 61; seed <= 64; ++seed) readsAlike("read-random", garbage(seed).bytes(3000));
    }
    SUBCASE("random bytes after each byte-order mark") {
        for (const markedEncoding& encoding : markedEncodings)
            for (unsigned seed = 65; seed <= 66; ++seed) readsAlike("read-marked", encoding.mark + garbage(seed).bytes(3000));
    }
}
