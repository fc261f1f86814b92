#include <doctest.h>

#include "moduleFixture.h"
#include "settings/config.h"
#include "base/text.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

std::string settingsIn(const std::string& folder, const std::string& content) {
    std::string file = scratchFolder(folder) + "kiv.config";
    if (!content.empty()) writeFile(file, content);
    return file;
}

}  // namespace

TEST_CASE_FIXTURE(moduleFixture, "config reads defaults for a missing file and keys") {
    kiv::plugin.setLayeredWindowAttributes = reinterpret_cast<kiv::SetLayeredWindowAttributesFn>(1);
    std::string file = settingsIn("config-defaults", "");
    kiv::config settings(file.c_str());
    CHECK_FALSE(settings.silent);
    CHECK(settings.showsilent);
    CHECK(settings.fullscreenautooff);
    CHECK(std::string(settings.scheme) == "standard.kivs");
    CHECK(settings.visibletime == 5);
    CHECK(settings.bindX == 2);
    CHECK(settings.bindY == 2);
    CHECK(settings.contactformat == 2);
    CHECK(settings.autoheightrows == 5);
    CHECK(settings.loginignoretime == 10);
    CHECK(settings.rearrangewindows);
    CHECK(settings.showdesc);
    CHECK(settings.showmessage);
    CHECK(settings.loginignore);
    CHECK(settings.maxonscreen == 0);
}

TEST_CASE_FIXTURE(moduleFixture, "config turns odd values into what the module can use") {
    kiv::plugin.setLayeredWindowAttributes = reinterpret_cast<kiv::SetLayeredWindowAttributesFn>(1);
    std::string file = settingsIn("config-odd",
                                  "[general]\r\nsilent=7\r\n[window]\r\nvisibletime=abc\r\nbind=10,20\r\n"
                                  "alpha=40\r\neffect=-3\r\n[hidden]\r\nloginignoretime=0\r\n");
    kiv::config settings(file.c_str());
    CHECK(settings.silent);
    CHECK(settings.visibletime == 0);
    CHECK(settings.bindX == 10);
    CHECK(settings.bindY == 20);
    CHECK(settings.alpha == 40);
    CHECK(settings.effect == -3);  // stored as read: no range checks
    CHECK(settings.loginignoretime == 0);
}

// A file written by hand holds numbers the options page would never store: they stay as written,
// in memory and in the file; only those no window can use (negative ones) are made usable.
TEST_CASE_FIXTURE(moduleFixture, "the window's numbers stay as the file holds them, past the options page's limits") {
    using kiv::config;
    struct kept {
        const char* key;
        const char* stored;
        int32_t config::*field;
        int32_t read;
    };
    for (const kept& k : {kept{"visibletime", "150", &config::visibletime, 150},
                          kept{"visibletime", "-4", &config::visibletime, 0},
                          kept{"maxonscreen", "2147483647", &config::maxonscreen, INT32_MAX},
                          kept{"maxonscreen", "-3", &config::maxonscreen, 0},
                          kept{"autoheightchars", "100000", &config::autoheightchars, 100000},
                          kept{"autoheightchars", "-7", &config::autoheightchars, 0},
                          kept{"autoheightrows", "100000", &config::autoheightrows, 100000}}) {
        CAPTURE(k.key);
        CAPTURE(k.stored);
        std::string file = settingsIn("config-window-kept", std::string("[window]\r\n") + k.key + "=" + k.stored);
        {
            kiv::config settings(file.c_str());
            CHECK(settings.*k.field == k.read);
        }
        CHECK(iniValue(file, "window", k.key) == std::to_string(k.read));
    }
}

TEST_CASE_FIXTURE(moduleFixture, "without layered windows a stored transparency reads and saves as 0") {
    std::string file = settingsIn("config-alpha", "[window]\r\nalpha=40\r\n");
    {
        kiv::config settings(file.c_str());
        CHECK(settings.alpha == 0);
    }
    CHECK(iniValue(file, "window", "alpha") == "0");
}

TEST_CASE_FIXTURE(moduleFixture, "a bind value that is not two numbers keeps the default for what is missing") {
    SUBCASE("one number") {
        std::string file = settingsIn("config-bind1", "[window]\r\nbind=30\r\n");
        kiv::config settings(file.c_str());
        CHECK(settings.bindX == 30);
        CHECK(settings.bindY == 2);
    }
    SUBCASE("no number") {
        std::string file = settingsIn("config-bind0", "[window]\r\nbind=left,top\r\n");
        kiv::config settings(file.c_str());
        CHECK(settings.bindX == 2);
        CHECK(settings.bindY == 2);
    }
}

TEST_CASE_FIXTURE(moduleFixture, "save writes negative numbers and long paths as they are") {
    std::string file = settingsIn("config-save", "");
    {
        kiv::config settings(file.c_str());
        settings.space = -12;
        std::string longPath(259, 'a');
        kiv::copyText(settings.filelogingg, longPath.c_str());
        settings.save();
    }
    CHECK(iniValue(file, "window", "space") == "-12");
    CHECK(iniValue(file, "sound", "filelogingg") == std::string(259, 'a'));
}

TEST_CASE_FIXTURE(moduleFixture, "the extra settings are clamped into their ranges as they are read, and saved so") {
    // The quiet hours take only a whole number: the integer reader's 22 of "22:00" would be 00:22.
    // A hot key is a virtual key with the hot-key control's modifiers (0x600 is Ctrl+Alt alone).
    struct bounds {
        const char* stored;
        int32_t idlehold, history, quiet, hotKey;
    };
    for (const bounds& b :
         {bounds{"-5", 0, 0, -1, 0}, bounds{"3601", 3600, 500, 1439, 3601}, bounds{"4294967295", 0, 0, 1439, 0},
          bounds{"2147483647", 3600, 500, 1439, 0}, bounds{"oops", 0, 0, -1, 0}, bounds{"120", 120, 120, 120, 120},
          bounds{"22:00", 22, 22, -1, 22}, bounds{"0x10", 16, 16, -1, 16}, bounds{"0", 0, 0, 0, 0},
          bounds{"1536", 1536, 500, 1439, 0}, bounds{"1604", 1604, 500, 1439, 1604},
          bounds{"4164", 3600, 500, 1439, 0}}) {
        CAPTURE(b.stored);
        std::string file = settingsIn("config-extra",
                                      std::string("[extra]\r\nhoverhold=3\r\nidlehold=") + b.stored +
                                          "\r\nhistory=" + b.stored + "\r\nmissedsummary=9\r\neventlog=-1\r\n" +
                                          "quietfrom=" + b.stored + "\r\nquietto=" + b.stored + "\r\nhotkeyclose=" +
                                          b.stored + "\r\nhotkeyhistory=" + b.stored + "\r\n");
        {
            kiv::config settings(file.c_str());
            CHECK(settings.hoverhold);
            CHECK(settings.idlehold == b.idlehold);
            CHECK(settings.history == b.history);
            CHECK(settings.missedsummary);
            CHECK(settings.eventlog);
            CHECK(settings.quietfrom == b.quiet);
            CHECK(settings.quietto == b.quiet);
            CHECK(settings.hotkeyclose == b.hotKey);
            CHECK(settings.hotkeyhistory == b.hotKey);
        }
        CHECK(iniValue(file, "extra", "idlehold") == std::to_string(b.idlehold));
        CHECK(iniValue(file, "extra", "history") == std::to_string(b.history));
        CHECK(iniValue(file, "extra", "hoverhold") == "1");
        CHECK(iniValue(file, "extra", "quietfrom") == std::to_string(b.quiet));
        CHECK(iniValue(file, "extra", "quietto") == std::to_string(b.quiet));
        CHECK(iniValue(file, "extra", "hotkeyclose") == std::to_string(b.hotKey));
        CHECK(iniValue(file, "extra", "hotkeyhistory") == std::to_string(b.hotKey));
    }
}
