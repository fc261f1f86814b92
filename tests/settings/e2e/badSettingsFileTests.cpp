// Settings files the user (or a crash, or another program) damaged: random bytes, hostile numbers
// and endless lines. The plug-in must start, keep working and write back values it can read again.
#include <doctest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "badInput.h"

using namespace kivtest;

namespace {

enum class kind { flag, number, pair, text };

struct settingKey {
    const char* section;
    const char* key;
    kind type;
    size_t longest = 0;  // text keys: the field less its terminator
};

const settingKey settingKeys[] = {
    {"general", "silent", kind::flag},          {"general", "showsilent", kind::flag},
    {"general", "fullscreenautooff", kind::flag}, {"window", "scheme", kind::text, 127},
    {"window", "effect", kind::number},         {"window", "effectclose", kind::flag},
    {"window", "visibletime", kind::number},    {"window", "rearrangewindows", kind::flag},
    {"window", "newatbegin", kind::flag},       {"window", "showdesc", kind::flag},
    {"window", "showmessage", kind::flag},      {"window", "clickclose", kind::flag},
    {"window", "clickopenchat", kind::flag},    {"window", "msgshowwhenbgonly", kind::flag},
    {"window", "bindpos", kind::number},        {"window", "bind", kind::pair},
    {"window", "space", kind::number},          {"window", "contactformat", kind::number},
    {"window", "alpha", kind::number},          {"window", "autoheightchars", kind::number},
    {"window", "autoheightrows", kind::number}, {"window", "loginignore", kind::flag},
    {"window", "maxonscreen", kind::number},    {"sound", "filelogintlen", kind::text, 259},
    {"sound", "filelogingg", kind::text, 259},  {"sound", "fileemail", kind::text, 259},
    {"sound", "offlogin", kind::flag},          {"sound", "offonline", kind::flag},
    {"sound", "offmessage", kind::flag},        {"sound", "offmessagechatstart", kind::flag},
    {"sound", "offmessagechat", kind::flag},    {"sound", "offfile", kind::flag},
    {"sound", "offvoice", kind::flag},          {"sound", "offemail", kind::flag},
    {"ztk", "ignoremub", kind::flag},           {"ztk", "noautoclose", kind::flag},
};

bool isInteger(const std::string& text) {
    long long value = 0;
    int used = 0;
    return sscanf(text.c_str(), "%lld%n", &value, &used) == 1 && used == static_cast<int>(text.size()) &&
           value >= INT32_MIN && value <= INT32_MAX;
}

// What the plug-in wrote is what it can read again: flags 0 or 1, numbers, two numbers for bind,
// texts within their fields.
std::string badlyWritten(const std::string& file) {
    for (const settingKey& k : settingKeys) {
        std::string value = iniValue(file, k.section, k.key);
        bool good = k.type == kind::flag     ? value == "0" || value == "1"
                    : k.type == kind::number ? isInteger(value)
                    : k.type == kind::pair   ? value.find(',') != std::string::npos &&
                                                 isInteger(value.substr(0, value.find(','))) &&
                                                 isInteger(value.substr(value.find(',') + 1))
                                             : value.size() <= k.longest;
        if (!good) return std::string(k.key) + "=" + value.substr(0, 60);
    }
    return "";
}

// Start with the file, show a notification, stop; then once more from what was written, which
// must come back unchanged.
void survivesSettings(const std::string& name, const std::string& content) {
    CAPTURE(name);
    std::string written;
    {
        kivSession session(name, false);
        writeFile(session.settingsFile, content);
        session.start();
        REQUIRE(session.plugin->running());
        CHECK(stillShowsNotifications(session));
        CHECK(heapsIntact());
        session.unload();
        REQUIRE(fileExists(session.settingsFile));
        CHECK(badlyWritten(session.settingsFile) == "");
        written = readFile(session.settingsFile);
    }
    kivSession again(name, false);
    writeFile(again.settingsFile, written);
    again.start();
    again.unload();
    CHECK(readFile(again.settingsFile) == written);
}

}  // namespace

TEST_SUITE("bad input") {

TEST_CASE("settings files of random bytes, hostile numbers and endless lines") {
    SUBCASE("random bytes") {
        for (unsigned seed = 1; seed <= 4; ++seed)
            survivesSettings("bad-settings-random-" + std::to_string(seed), garbage(seed).bytes(3000));
    }
    SUBCASE("every key with a hostile value") {
        for (unsigned seed = 11; seed <= 14; ++seed) {
            garbage g(seed);
            std::string text;
            const char* section = "";
            for (const settingKey& k : settingKeys) {
                if (strcmp(section, k.section) != 0) text += std::string("[") + (section = k.section) + "]\r\n";
                text += std::string(k.key) + "=" + (k.type == kind::text ? g.value() : g.number()) + "\r\n";
            }
            text += "[hidden]\r\nloginignoretime=" + g.number() + "\r\n";
            survivesSettings("bad-settings-numbers-" + std::to_string(seed), text);
        }
    }
    SUBCASE("lines thousands of characters long") {
        const std::string longLine(20000, '7');
        survivesSettings("bad-settings-long",
                         "[general]\r\nsilent=" + longLine + "\r\n[window]\r\nscheme=" + std::string(5000, 's') +
                             ".kivs\r\nbind=" + longLine + "," + longLine + "\r\nvisibletime=" + longLine +
                             "\r\n" + std::string(100000, 'x') + "\r\n[" + std::string(40000, 'w') +
                             "]\r\nkey=1\r\n[sound]\r\nfileemail=C:\\" + std::string(5000, 'e') + ".wav\r\n");
    }
}

}  // TEST_SUITE
