// Whole-file input and output: a file read at once, within the caller's limit, and replaced in one
// step or not at all.
#include <doctest.h>

#include <windows.h>

#include <string>

#include "base/wholeFile.h"
#include "testSupport.h"

using namespace kivtest;

TEST_CASE("a whole file is replaced in one step or not at all") {
    std::string folder = scratchFolder("whole-file");
    std::string file = folder + "kiv.config";
    std::string bytes;
    CHECK(kiv::readWholeFile(file.c_str(), bytes) == kiv::fileState::missing);
    REQUIRE(kiv::replaceWholeFile(file.c_str(), "[a]\r\nx=1\r\n"));
    CHECK(kiv::readWholeFile(file.c_str(), bytes) == kiv::fileState::read);
    CHECK(bytes == "[a]\r\nx=1\r\n");
    // A file past the caller's limit (a scheme's bitmap, say) is not read at all.
    CHECK(kiv::readWholeFile(file.c_str(), bytes, 10) == kiv::fileState::read);
    CHECK(kiv::readWholeFile(file.c_str(), bytes, 9) == kiv::fileState::unreadable);
    CHECK(bytes.empty());

    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK_FALSE(kiv::replaceWholeFile(file.c_str(), "[b]\r\n"));
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    CHECK(readFile(file) == "[a]\r\nx=1\r\n");

    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(kiv::readWholeFile(file.c_str(), bytes) == kiv::fileState::unreadable);
    CloseHandle(held);
    CHECK_FALSE(fileExists(file + ".tmp"));
}
