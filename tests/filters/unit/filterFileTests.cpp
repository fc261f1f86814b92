// The filter file as the user's hand, an older version or this module leaves it: loaded, saved, and
// read back through the platform's own private-profile functions.
#include <doctest.h>

#include <string>
#include <vector>

#include "filters/filtersManager.h"
#include "moduleFixture.h"
#include "base/text.h"
#include "testSupport.h"

using namespace kivtest;

namespace {

std::string filtersIn(const std::string& folder, const std::string& content) {
    std::string file = scratchFolder(folder) + "kiv.filters.config";
    if (!content.empty()) writeFile(file, content);
    return file;
}

// The lines of a section as save writes it: the eleven window keys take their values from a
// string of eleven 0/1 digits, in file order.
std::string windowLines(const char* digits) {
    static const char* const keys[] = {"window_status_online", "window_status_chat",    "window_status_dnd",
                                       "window_status_away",   "window_status_xa",      "window_status_offline",
                                       "window_onlineonly",    "window_ignoreaway",     "window_descchange",
                                       "window_eventmessage",  "window_eventmessagechat"};
    std::string lines;
    for (int i = 0; i < 11; ++i) lines += std::string(keys[i]) + "=" + digits[i] + "\r\n";
    return lines;
}

std::string soundLines(const std::vector<std::string>& paths) {
    static const char* const keys[] = {"sound_fileonline",      "sound_fileoffline", "sound_filemessage",
                                       "sound_filemessagechatstart", "sound_filemessagechat", "sound_filefile",
                                       "sound_filevoice"};
    std::string lines;
    for (int i = 0; i < 7; ++i) lines += std::string(keys[i]) + "=" + paths[i] + "\r\n";
    return lines;
}

const std::vector<std::string> noPaths(7, "");

kiv::filter ownFilter(bool ownWindow, bool ownSound) {
    kiv::filter f;
    f.window_inherit = !ownWindow;
    f.sound_inherit = !ownSound;
    return f;
}

}  // namespace

TEST_CASE_FIXTURE(moduleFixture, "without a file the global filter holds nothing, and save writes all its keys") {
    std::string file = filtersIn("filters-none", "");
    {
        kiv::filtersManager filters(file.c_str());
        kiv::filter global;
        REQUIRE(filters.getFilter(kiv::levelGlobal, "", global, false));
        CHECK_FALSE(global.window_inherit);
        CHECK_FALSE(global.sound_inherit);
        for (bool flag : global.window_status) CHECK_FALSE(flag);
        CHECK_FALSE(global.window_onlineonly);
        CHECK(std::string(global.sound_fileonline).empty());
        CHECK_FALSE(fileExists(file));
    }
    CHECK(readFile(file) == "[global]\r\nwindow_inherit=0\r\n" + windowLines("00000000000") +
                                "sound_inherit=0\r\n" + soundLines(noPaths));
}

TEST_CASE_FIXTURE(moduleFixture, "a hand-made file loads whatever the case of its section names and saves canonically") {
    std::string file = filtersIn("filters-hand",
                                 "[GLOBAL]\r\n"
                                 "window_inherit=1\r\n"
                                 "window_status_online=0\r\n"
                                 "window_eventmessage=7\r\n"
                                 "window_descchange=yes\r\n"
                                 "sound_fileonline=C:\\dźwięki\\on.wav\r\n"
                                 "[contact:abc]\r\n"
                                 "window_inherit=0\r\n"
                                 "window_eventmessagechat=1\r\n"
                                 "sound_filemessage=C:\\ignored.wav\r\n"
                                 "[Group:praca]\r\n"
                                 "sound_inherit=0\r\n"
                                 "sound_filemessage=C:\\praca.wav\r\n"
                                 "[notes]\r\n"
                                 "written=by hand\r\n"
                                 "[group:Zespol]\r\n"
                                 "window_inherit=0\r\n"
                                 "[group:both]\r\n"
                                 "window_inherit=1\r\n"
                                 "sound_inherit=1\r\n");
    {
        kiv::filtersManager filters(file.c_str());
        kiv::filter global;
        filters.getFilter(kiv::levelGlobal, "globalne", global, false);
        CHECK_FALSE(global.window_inherit);  // the global filter never inherits
        CHECK_FALSE(global.window_status[2]);
        CHECK(global.window_status[3]);  // missing: the key's default
        CHECK_FALSE(global.window_status[1]);
        CHECK(global.window_onlineonly);
        CHECK(global.window_eventmessage);       // any non-zero number is set
        CHECK_FALSE(global.window_descchange);  // not a number: clear
        CHECK(std::string(global.sound_fileonline) == "C:\\dźwięki\\on.wav");
        CHECK(std::string(global.sound_filemessage).empty());

        // Only window_inherit=0: the window part is the keys' defaults.
        kiv::filter zespol;
        filters.getFilter(kiv::levelGroup, "Zespol", zespol, false);
        CHECK_FALSE(zespol.window_inherit);
        for (int s = 2; s <= 6; ++s) CHECK(zespol.window_status[s]);
        CHECK_FALSE(zespol.window_status[1]);
        CHECK(zespol.window_onlineonly);
        CHECK_FALSE(zespol.window_ignoreaway);
        CHECK_FALSE(zespol.window_descchange);
        CHECK_FALSE(zespol.window_eventmessage);
        CHECK(zespol.sound_inherit);
        CHECK(std::string(zespol.sound_fileonline) == "C:\\dźwięki\\on.wav");

        CHECK(filters.hasFilter(kiv::levelGroup, "praca"));
        CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "Praca"));  // keys keep their case
        CHECK(filters.hasFilter(kiv::levelContact, "abc"));
        CHECK(filters.hasFilter(kiv::levelGroup, "both"));  // an entry until the next save
        CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "notes"));
    }
    // Zespol before praca (byte order), groups before contacts; notes and both are gone.
    CHECK(readFile(file) == "[global]\r\nwindow_inherit=0\r\n" + windowLines("01111010010") +
                                "sound_inherit=0\r\n" +
                                soundLines({"C:\\dźwięki\\on.wav", "", "", "", "", "", ""}) +
                                "[group:Zespol]\r\nwindow_inherit=0\r\n" + windowLines("11111010000") +
                                "sound_inherit=1\r\n"
                                "[group:praca]\r\nwindow_inherit=1\r\nsound_inherit=0\r\n" +
                                soundLines({"", "", "C:\\praca.wav", "", "", "", ""}) +
                                "[contact:abc]\r\nwindow_inherit=0\r\n" + windowLines("11111010001") +
                                "sound_inherit=1\r\n");
    CHECK(iniValue(file, "contact:abc", "sound_filemessage") == "<missing>");
    CHECK(iniValue(file, "group:praca", "window_status_online") == "<missing>");

    // What was saved loads to the same filters.
    kiv::filtersManager again(file.c_str());
    kiv::filter praca;
    again.getFilter(kiv::levelGroup, "praca", praca, false);
    CHECK(praca.window_inherit);
    CHECK_FALSE(praca.sound_inherit);
    CHECK(std::string(praca.sound_filemessage) == "C:\\praca.wav");
    CHECK(std::string(praca.sound_fileonline).empty());
    CHECK_FALSE(again.hasFilter(kiv::levelGroup, "both"));
}

TEST_CASE_FIXTURE(moduleFixture, "a path longer than the field is cut to 127 characters when read") {
    std::string longPath = "C:\\" + std::string(200, 'x') + ".wav";
    std::string file = filtersIn("filters-longpath", "[global]\r\nsound_filevoice=" + longPath + "\r\n");
    kiv::filtersManager filters(file.c_str());
    kiv::filter global;
    filters.getFilter(kiv::levelGlobal, "", global, false);
    CHECK(std::string(global.sound_filevoice) == longPath.substr(0, 127));
}

TEST_CASE_FIXTURE(moduleFixture, "sections are saved in unsigned byte order of their keys") {
    std::string file = filtersIn("filters-order", "");
    {
        kiv::filtersManager filters(file.c_str());
        for (const char* group : {"Łódź", "zz", "Zakopane", "Zak"})
            filters.setFilter(kiv::levelGroup, group, ownFilter(true, false));
        filters.setFilter(kiv::levelContact, "ąbc", ownFilter(false, true));
        filters.setFilter(kiv::levelContact, "1234", ownFilter(false, true));
    }
    CHECK(sectionNames(file) == std::vector<std::string>{"global", "group:Zak", "group:Zakopane", "group:zz",
                                                         "group:Łódź", "contact:1234", "contact:ąbc"});
}

TEST_CASE_FIXTURE(moduleFixture, "long names keep their filters; names the file cannot carry spoil nothing") {
    std::string file = filtersIn("filters-names", "");
    std::string group(200, 'g');
    std::string contact = std::string(150, 'c') + "@tlen.pl";
    {
        kiv::filtersManager filters(file.c_str());
        kiv::filter praca = ownFilter(true, false);
        praca.window_eventmessage = true;
        filters.setFilter(kiv::levelGroup, "Praca", praca);
        filters.setFilter(kiv::levelGroup, "praca", ownFilter(true, true));  // the reader folds case
        filters.setFilter(kiv::levelGroup, "x]\r\nwindow_inherit=1\r\n[global", ownFilter(true, false));
        filters.setFilter(kiv::levelGroup, "Dom ", ownFilter(true, false));  // the reader trims blanks
        filters.setFilter(kiv::levelGroup, "Dom\t", ownFilter(true, false));
        filters.setFilter(kiv::levelGroup, "Dom\rogrod", ownFilter(true, false));
        filters.setFilter(kiv::levelGroup, "Tab\tControl\x01Escape\x1b", ownFilter(true, false));
        filters.setFilter(kiv::levelGroup, "[stara] praca]", ownFilter(true, false));
        filters.setFilter(kiv::levelGroup, group.c_str(), ownFilter(true, false));
        filters.setFilter(kiv::levelContact, contact.c_str(), ownFilter(false, true));
        CHECK(filters.hasFilter(kiv::levelGroup, "praca"));  // kept for this session
    }
    CHECK(sectionNames(file) == std::vector<std::string>{"global", "group:Praca", "group:Tab\tControl\x01Escape\x1b",
                                                         "group:[stara] praca]", "group:" + group,
                                                         "contact:" + contact});
    CHECK(iniValue(file, "global", "window_inherit") == "0");
    CHECK(iniValue(file, "group:Praca", "window_eventmessage") == "1");
    CHECK(iniValue(file, "group:Praca", "sound_inherit") == "1");

    kiv::filtersManager filters(file.c_str());
    for (const std::string& kept :
         {std::string("Praca"), std::string("[stara] praca]"), group, std::string("Tab\tControl\x01Escape\x1b")})
        CHECK(filters.hasFilter(kiv::levelGroup, kept.c_str()));
    CHECK(filters.hasFilter(kiv::levelContact, contact.c_str()));
    CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "praca"));
    CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "Dom"));
    CHECK_FALSE(filters.hasFilter(kiv::levelGroup, "Dom\rogrod"));
}

TEST_CASE_FIXTURE(moduleFixture, "a file with more section names than the first buffer holds loses none of them") {
    // Sections that inherit everything load as entries and are not written again, which keeps
    // the save at the end of this test short.
    std::string content;
    const int count = 170;  // with 200-character names: more than 32,767 characters in all
    for (int i = 0; i < count; ++i)
        content += "[contact:" + std::to_string(100000 + i) + std::string(190, 'x') + "]\r\nsound_inherit=1\r\n";
    std::string file = filtersIn("filters-many", content);
    kiv::filtersManager filters(file.c_str());
    CHECK(filters.hasFilter(kiv::levelContact, (std::to_string(100000) + std::string(190, 'x')).c_str()));
    CHECK(filters.hasFilter(kiv::levelContact, (std::to_string(100000 + count - 1) + std::string(190, 'x')).c_str()));
}

TEST_CASE_FIXTURE(moduleFixture, "without a profile path nothing is read or written") {
    for (const char* path : {"", static_cast<const char*>(nullptr)}) {
        kiv::filtersManager filters(path);
        filters.setFilter(kiv::levelGroup, "Praca", ownFilter(true, false));
        filters.save();
        kiv::filter global;
        CHECK(filters.getFilter(kiv::levelGlobal, "", global, false));
        CHECK_FALSE(global.window_inherit);
    }
}

TEST_CASE_FIXTURE(moduleFixture, "replaceSoundFolder keeps each file name and moves it into the folder") {
    std::string file = filtersIn("filters-folder", "");
    kiv::filtersManager filters(file.c_str());
    kiv::filter global;
    filters.getFilter(kiv::levelGlobal, "", global, false);
    kiv::copyText(global.sound_fileonline, "C:\\a\\b.wav");
    kiv::copyText(global.sound_fileoffline, "b.wav");
    kiv::copyText(global.sound_filemessage, "C:/x/y.wav");
    std::string deep = "C:\\" + std::string(100, 'd') + "\\long-name.wav";
    kiv::copyText(global.sound_filevoice, deep.c_str());
    filters.setFilter(kiv::levelGlobal, "", global);
    kiv::filter contact = ownFilter(false, true);
    kiv::copyText(contact.sound_filefile, "E:\\mine\\file.wav");
    filters.setFilter(kiv::levelContact, "abc", contact);

    SUBCASE("a folder without a trailing backslash") {
        filters.replaceSoundFolder("D:\\snd");
        filters.getFilter(kiv::levelGlobal, "", global, false);
        CHECK(std::string(global.sound_fileonline) == "D:\\snd\\b.wav");
        CHECK(std::string(global.sound_fileoffline) == "D:\\snd\\b.wav");
        CHECK(std::string(global.sound_filemessage) == "D:\\snd\\y.wav");
        CHECK(std::string(global.sound_filemessagechat).empty());
        CHECK(std::string(global.sound_filevoice) == "D:\\snd\\long-name.wav");
        filters.save();
        CHECK(iniValue(file, "contact:abc", "sound_filefile") == "D:\\snd\\file.wav");
    }
    SUBCASE("a drive root, and a folder ending in a forward slash") {
        filters.replaceSoundFolder("D:\\");
        filters.getFilter(kiv::levelGlobal, "", global, false);
        CHECK(std::string(global.sound_filemessage) == "D:\\y.wav");
        filters.replaceSoundFolder("F:/snd/");
        filters.getFilter(kiv::levelGlobal, "", global, false);
        CHECK(std::string(global.sound_filemessage) == "F:/snd/y.wav");
    }
    SUBCASE("a result that would not fit the field leaves the path as it was") {
        std::string folder = "D:\\" + std::string(115, 'f');
        filters.replaceSoundFolder(folder.c_str());
        filters.getFilter(kiv::levelGlobal, "", global, false);
        CHECK(std::string(global.sound_fileonline) == folder + "\\b.wav");  // 124 characters
        CHECK(std::string(global.sound_filevoice) == deep);
    }
    SUBCASE("an empty folder changes nothing") {
        filters.replaceSoundFolder("");
        filters.replaceSoundFolder(nullptr);
        filters.getFilter(kiv::levelGlobal, "", global, false);
        CHECK(std::string(global.sound_fileonline) == "C:\\a\\b.wav");
    }
}

TEST_CASE_FIXTURE(moduleFixture, "priority is a contact's own key: kept alone, written only when set, nowhere else") {
    std::string file = filtersIn("filters-priority",
                                 "[global]\r\nwindow_inherit=0\r\npriority=1\r\n"
                                 "[group:Praca]\r\nwindow_inherit=1\r\nsound_inherit=0\r\npriority=1\r\n"
                                 "[contact:ala]\r\nwindow_inherit=1\r\nsound_inherit=1\r\npriority=7\r\n"
                                 "[contact:ola]\r\nwindow_inherit=0\r\nsound_inherit=1\r\npriority=0\r\n"
                                 "[contact:ewa]\r\nwindow_inherit=1\r\nsound_inherit=1\r\npriority=0\r\n");
    {
        kiv::filtersManager filters(file.c_str());
        CHECK(filters.isPriority("ala"));
        CHECK_FALSE(filters.isPriority("ola"));
        CHECK_FALSE(filters.isPriority("Praca"));
        kiv::filter group;
        filters.getFilter(kiv::levelGroup, "Praca", group, false);
        CHECK_FALSE(group.priority);
    }
    // The key follows the section's other keys, so a reader that knows none of it loses nothing.
    CHECK(readFile(file) == "[global]\r\nwindow_inherit=0\r\n" + windowLines("11111010000") + "sound_inherit=0\r\n" +
                                soundLines(noPaths) + "[group:Praca]\r\nwindow_inherit=1\r\nsound_inherit=0\r\n" +
                                soundLines(noPaths) +
                                "[contact:ala]\r\nwindow_inherit=1\r\nsound_inherit=1\r\npriority=1\r\n"
                                "[contact:ola]\r\nwindow_inherit=0\r\n" + windowLines("11111010000") +
                                "sound_inherit=1\r\n");
}
