// Profile folders near and past the path buffers: no crash, and no file written where it does not
// belong.
#include <doctest.h>

#include <algorithm>
#include <string>

#include "badInput.h"

using namespace kivtest;

namespace {

// A real folder of about the given length under the test's profile, made of names the file
// system takes; longer than the platform's own paths, it is only named, never made.
std::string deepFolder(const std::string& base, size_t length) {
    std::string folder = base;
    while (folder.size() + 1 < length) {
        size_t part = std::min<size_t>(200, length - folder.size() - 1);
        folder += std::string(part, 'p') + "\\";
        if (length < 4000) CreateDirectoryA(folder.c_str(), nullptr);
    }
    return folder;
}

std::string winIni() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return readFile(std::string(folder) + "\\win.ini");
}

}  // namespace

TEST_SUITE("bad input") {

TEST_CASE("profile folders near and past the path buffers: no crash, and nothing lands in win.ini") {
    const std::string before = winIni();
    // The longer of the two names must fit 1024 bytes with its terminator, then one byte more.
    const size_t longestName = strlen("kiv.filters.config");
    for (size_t length : {1023 - longestName - 1, 1023 - longestName, 1024 - longestName, 1030u, 5000u}) {
        CAPTURE(length);
        kivSession session("bad-profile-path", false);
        std::string folder = deepFolder(session.profile, length);
        session.host.setProfile("tester", folder);
        session.start();
        REQUIRE(session.plugin->running());
        CHECK(stillShowsNotifications(session));
        session.service("kiv/setsilent", 1);
        CHECK(heapsIntact());
        session.unload();
    }
    CHECK(winIni() == before);
}

}  // TEST_SUITE
