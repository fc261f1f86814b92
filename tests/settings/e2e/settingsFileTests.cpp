// The settings file as the loaded plug-in reads and writes it: defaults written at unload, values
// kept the way they are read, and no file without a profile.
#include <doctest.h>

#include <string>

#include "testSupport.h"

using namespace kivtest;

TEST_CASE("settings: defaults are written at unload, every key but loginignoretime") {
    kivSession session("settings-defaults");
    CHECK_FALSE(fileExists(session.settingsFile));
    session.unload();
    REQUIRE(fileExists(session.settingsFile));
    const std::string& f = session.settingsFile;
    CHECK(iniValue(f, "general", "silent") == "0");
    CHECK(iniValue(f, "general", "showsilent") == "1");
    CHECK(iniValue(f, "general", "fullscreenautooff") == "1");
    CHECK(iniValue(f, "window", "scheme") == "standard.kivs");
    CHECK(iniValue(f, "window", "visibletime") == "5");
    CHECK(iniValue(f, "window", "bind") == "2,2");
    CHECK(iniValue(f, "window", "contactformat") == "2");
    CHECK(iniValue(f, "window", "autoheightrows") == "5");
    CHECK(iniValue(f, "window", "loginignore") == "1");
    CHECK(iniValue(f, "sound", "filelogintlen") == "");
    CHECK(iniValue(f, "sound", "offemail") == "0");
    CHECK(iniValue(f, "ztk", "ignoremub") == "0");
    CHECK(iniValue(f, "ztk", "noautoclose") == "0");
    CHECK(iniValue(f, "hidden", "loginignoretime") == "<missing>");
    CHECK(iniValue(f, "extra", "darkscheme") == "dark.kivs");  // a first run's profile
}

TEST_CASE("settings: values survive a load and unload, normalised the way they are read") {
    kivSession session("settings-roundtrip", false);
    writeFile(session.settingsFile,
              "[general]\r\nsilent=7\r\n[window]\r\nbind=10,20\r\nvisibletime=abc\r\nspace=-4\r\n"
              "scheme=ciemny.kivs\r\n[sound]\r\nfileemail=C:\\dźwięki\\poczta.wav\r\n"
              "[hidden]\r\nloginignoretime=0\r\n[mine]\r\nkeep=this\r\n");
    session.start();
    CHECK(session.service("kiv/getsilent") == 1);
    session.unload();
    const std::string& f = session.settingsFile;
    CHECK(iniValue(f, "general", "silent") == "1");
    CHECK(iniValue(f, "window", "bind") == "10,20");
    CHECK(iniValue(f, "window", "visibletime") == "0");
    CHECK(iniValue(f, "window", "space") == "-4");
    CHECK(iniValue(f, "window", "scheme") == "ciemny.kivs");
    CHECK(iniValue(f, "sound", "fileemail") == "C:\\dźwięki\\poczta.wav");
    CHECK(iniValue(f, "hidden", "loginignoretime") == "0");
    CHECK(iniValue(f, "mine", "keep") == "this");
    CHECK(iniValue(f, "extra", "darkscheme") == "");  // a file from before the dark theme
}

TEST_CASE("the silent switch set by the service is written with the settings at unload") {
    kivSession session("settings-silent");
    session.service("kiv/setsilent", 1);
    session.unload();
    CHECK(iniValue(session.settingsFile, "general", "silent") == "1");
}

TEST_CASE("a host without a profile gets no settings file anywhere") {
    kivSession session("no-profile", false);
    session.host.setProfile("tester", "");
    session.start();
    CHECK(session.service("kiv/getsilent") == 0);
    session.unload();
    CHECK_FALSE(fileExists(session.settingsFile));
}
