// The file held in memory against the platform itself: the same keys written in the same order
// through WritePrivateProfileStringA must give the same bytes, whatever the file held before.
#include <doctest.h>

#include <string>
#include <vector>

#include "settings/freshProfile.h"
#include "settings/profileFile.h"
#include "settings/wholeFile.h"
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

}  // namespace

TEST_CASE("the file made in memory has the bytes the platform writes for the same keys") {
    SUBCASE("no file before") { sameBytes("profile-none", "", settingsWrites); }
    SUBCASE("a file of another program's sections, comments, blanks and odd lines") {
        sameBytes("profile-odd",
                  "; written by hand\r\nloose=1\r\n\r\n[general]\r\n  silent = 7  \r\nnovalue\r\n; note\r\n\r\n\r\n"
                  "[Window]\r\nscheme=x.kivs\r\n[window]\r\nbind=1,1\r\n[inna]\nklucz=\"w cudzysłowie\"\n[bad\r\n"
                  "=bez nazwy\r\n=drugi\r\n[ spacje ]\r\nq=1\r\n[]\r\npusta=1\r\n[hidden]\r\nloginignoretime=0\x1a\r\n"
                  "[sound]\tfileemail=zle\r\nfileemail = C:\\a.wav ",
                  settingsWrites);
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

TEST_CASE("a whole file is replaced in one step or not at all") {
    std::string folder = scratchFolder("whole-file");
    std::string file = folder + "kiv.config";
    std::string bytes;
    CHECK(kiv::readWholeFile(file.c_str(), bytes) == kiv::fileState::missing);
    REQUIRE(kiv::replaceWholeFile(file.c_str(), "[a]\r\nx=1\r\n"));
    CHECK(kiv::readWholeFile(file.c_str(), bytes) == kiv::fileState::read);
    CHECK(bytes == "[a]\r\nx=1\r\n");

    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK_FALSE(kiv::replaceWholeFile(file.c_str(), "[b]\r\n"));
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    CHECK(readFile(file) == "[a]\r\nx=1\r\n");

    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(kiv::readWholeFile(file.c_str(), bytes) == kiv::fileState::unreadable);
    CloseHandle(held);
    CHECK_FALSE(fileExists(file + ".tmp"));
}
