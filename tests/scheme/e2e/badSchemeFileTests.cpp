// Files the user (or a crash, or another program) damaged: settings, filters and schemes of random
// bytes, hostile numbers, endless lines and broken records. The plug-in must start, keep working,
// write back values it can read again, and lose none of the user's files.
#include <doctest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "badInput.h"
#include "protocolEvents.h"
#include "schemeValues.h"

using namespace kivtest;

namespace {

// ---- settings ------------------------------------------------------------------------------

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

// ---- filters -------------------------------------------------------------------------------

const char* const filterFlags[] = {"window_inherit",      "window_status_online", "window_status_chat",
                                   "window_status_dnd",   "window_status_away",   "window_status_xa",
                                   "window_status_offline", "window_onlineonly",  "window_ignoreaway",
                                   "window_descchange",   "window_eventmessage",  "window_eventmessagechat",
                                   "sound_inherit"};
const char* const filterPaths[] = {"sound_fileonline",      "sound_fileoffline", "sound_filemessage",
                                   "sound_filemessagechatstart", "sound_filemessagechat", "sound_filefile",
                                   "sound_filevoice"};

std::string badFilterValue(const std::string& file) {
    for (const std::string& section : sectionNames(file)) {
        for (const char* key : filterFlags) {
            std::string value = iniValue(file, section.c_str(), key);
            if (value != "0" && value != "1" && value != "<missing>") return section.substr(0, 40) + " " + key + "=" + value;
        }
        for (const char* key : filterPaths)
            if (iniValue(file, section.c_str(), key).size() > 127) return section.substr(0, 40) + " " + key;
    }
    return "";
}

// A contact in each of two groups, so that status events go the whole way through the filters.
void addContacts(kivhost::contactList& contacts) {
    contacts.clear();
    int work = contacts.addGroup("Praca");
    int friends = contacts.addGroup(std::string(3000, 'g'));
    contacts.addContact("ala@tlen.pl", "Ala", work);
    contacts.addContact("12345", "Olek", friends, "GG");
}

void raiseSomeEvents() {
    kivhost::moduleClock::get().advance(60000);  // past the quiet period after the system's start
    for (const char* id : {"ala@tlen.pl", "12345"}) {
        kivhost::statusChange change;
        change.contactId = id;
        change.protocol = id[0] == '1' ? "GG" : "TLEN";
        kivhost::raiseStatusChange(change);
        change.previousStatus = 2;
        change.newStatus = 1;
        kivhost::raiseStatusChange(change);
        kivhost::raiseMessage(change.protocol, id, 6, "wiadomość");
        kivhost::hostCore::get().raiseSoundEvent(2, id);
    }
    kivhost::pumpMessages(250);
}

void survivesFilters(const std::string& name, const std::string& content) {
    CAPTURE(name);
    std::string written;
    {
        kivSession session(name, false);
        addContacts(session.host.contacts);
        writeFile(session.settingsFile, "[general]\r\nfullscreenautooff=0\r\n");
        writeFile(session.filtersFile, content);
        session.start();
        REQUIRE(session.plugin->running());
        raiseSomeEvents();
        CHECK(heapsIntact());
        session.unload();
        REQUIRE(fileExists(session.filtersFile));
        CHECK(iniValue(session.filtersFile, "global", "window_inherit") == "0");
        CHECK(badFilterValue(session.filtersFile) == "");
        written = readFile(session.filtersFile);
        session.host.contacts.clear();
    }
    kivSession again(name, false);
    writeFile(again.filtersFile, written);
    again.start();
    again.unload();
    CHECK(readFile(again.filtersFile) == written);
}

std::string filterSection(garbage& g, const std::string& name) {
    std::string text = "[" + name + "]\r\n";
    for (const char* key : filterFlags) text += std::string(key) + "=" + g.number() + "\r\n";
    for (const char* key : filterPaths) text += std::string(key) + "=" + g.value() + "\r\n";
    return text;
}

// ---- schemes -------------------------------------------------------------------------------

std::string fontValue(const LOGFONTA& font) {
    return kivhost::structText(&font, sizeof font);
}

// Any 60 bytes with a right checksum: sizes from nothing to enormous, no terminated face name.
std::string randomFont(garbage& g) {
    LOGFONTA font;
    auto* bytes = reinterpret_cast<unsigned char*>(&font);
    for (size_t i = 0; i < sizeof font; ++i) bytes[i] = static_cast<unsigned char>(g.below(256));
    const LONG heights[] = {0, 12, -12, 100000, -100000, INT32_MAX, INT32_MIN, 3000};
    font.lfHeight = heights[g.below(8)];
    font.lfWidth = heights[g.below(8)];
    std::string value = fontValue(font);
    switch (g.below(4)) {
    case 0: return value.substr(0, static_cast<size_t>(g.below(static_cast<int>(value.size()))));  // cut short
    case 1: return value + "00";  // too long
    default: return value;
    }
}

std::string schemeKeys(garbage& g) {
    static const char* const numberKeys[] = {"window_autoheight", "window_bgcolor", "window_framecolor",
                                             "bitmap_colorkey",   "id_color",       "desc_color"};
    static const char* const listKeys[] = {"window_size", "window_sizesmall", "bitmap_cut", "bitmap_cutsmall",
                                           "icon_pos",    "id_rect",          "desc_rect"};
    std::string text;
    for (const char* key : listKeys) text += std::string(key) + "=" + g.value() + "\r\n";
    for (const char* key : numberKeys) text += std::string(key) + "=" + g.number() + "\r\n";
    static const char* const bitmaps[] = {"#plugins\\kiv.scheme\\standard.bmp", "#plugins\\kiv.scheme\\rounded_small.bmp",
                                          "C:\\nie\\ma\\takiego.bmp", ""};
    text += std::string("bitmap_source=") + (g.below(3) ? bitmaps[g.below(4)] : g.value().c_str()) + "\r\n";
    text += std::string("bitmap_sourcesmall=") + bitmaps[g.below(4)] + "\r\n";
    text += "id_font=" + randomFont(g) + "\r\n";
    text += "desc_font=" + randomFont(g) + "\r\n";
    return text;
}

// Both sizes of window, painted, then the plug-in unloads; nothing it drew leaks.
void survivesScheme(const std::string& name, const std::string& body) {
    CAPTURE(name);
    testScheme scheme("kivtest-bad.kivs", body);
    const objectCounts before = liveObjects();
    {
        notifySession session(name, settingsWith(scheme.name, lines({"visibletime=30"})));
        REQUIRE(session.plugin->running());
        CHECK(stillShowsNotifications(session, "opis, który zawija się w kilka wierszy, bo jest długi i ma słowa"));
        CHECK(stillShowsNotifications(session, ""));
        CHECK(heapsIntact());
    }
    CHECK(liveObjects() == before);
}

// The shipped bitmap with its bytes changed or cut, for a scheme to name.
std::string damagedBitmap(const std::string& name, size_t length, size_t at = 0, uint32_t value = 0) {
    std::string bytes = readFile(schemeFolder() + "standard.bmp").substr(0, length);
    if (at + 4 <= bytes.size()) memcpy(&bytes[at], &value, sizeof value);
    std::string path = scratchFolder("damaged-" + name) + name + ".bmp";
    writeFile(path, bytes);
    return path;
}

LOGFONTA tahoma(LONG height) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfCharSet = EASTEUROPE_CHARSET;
    strcpy(font.lfFaceName, "Tahoma");
    return font;
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

TEST_CASE("filter files of random bytes, hostile numbers and endless names") {
    SUBCASE("random bytes") {
        for (unsigned seed = 21; seed <= 24; ++seed)
            survivesFilters("bad-filters-random-" + std::to_string(seed), garbage(seed).bytes(4000));
    }
    SUBCASE("every key with a hostile value, for the global filter, groups and contacts") {
        for (unsigned seed = 31; seed <= 33; ++seed) {
            garbage g(seed);
            std::string text = filterSection(g, "global") + filterSection(g, "group:Praca") +
                               filterSection(g, "group:" + std::string(3000, 'g')) +
                               filterSection(g, "contact:ala@tlen.pl") + filterSection(g, "contact:12345") +
                               filterSection(g, "contact:" + std::string(5000, 'c'));
            survivesFilters("bad-filters-numbers-" + std::to_string(seed), text);
        }
    }
}

TEST_CASE("scheme files of random bytes and hostile values") {
    SUBCASE("random bytes") {
        for (unsigned seed = 41; seed <= 43; ++seed)
            survivesScheme("bad-scheme-random-" + std::to_string(seed), garbage(seed).bytes(2000));
    }
    SUBCASE("every key with a hostile value, fonts cut short or enormous") {
        for (unsigned seed = 51; seed <= 58; ++seed) {
            garbage g(seed);
            survivesScheme("bad-scheme-values-" + std::to_string(seed), schemeKeys(g));
        }
    }
}

TEST_CASE("schemes with windows of no size or less, and cut lines outside the bitmap") {
    const std::string skinned = "bitmap_source=#plugins\\kiv.scheme\\standard.bmp\r\nwindow_autoheight=0\r\n";
    for (const char* size : {"0,0", "-50,-20", "1,1", "-2147483648,-2147483648", "250,0", "0,50"}) {
        survivesScheme(std::string("bad-scheme-size ") + size,
                       skinned + "window_size=" + size + "\r\nwindow_sizesmall=" + size + "\r\n");
    }
    for (const char* cut : {"-100,5000,-7,99999", "300,2,60,1", "2147483647,-2147483648,0,0"}) {
        survivesScheme(std::string("bad-scheme-cut ") + cut,
                       skinned + "bitmap_cut=" + cut + "\r\nbitmap_cutsmall=" + cut + "\r\n");
    }
}

TEST_CASE("damaged skin bitmaps and absurd font records: drawn without them, no crash") {
    SUBCASE("bitmaps found in the field and made from the shipped one") {
        const std::string fixtures = kivhost::programFolder() + "fixtures\\damaged-skins\\";
        const size_t whole = readFile(schemeFolder() + "standard.bmp").size();
        const std::vector<std::string> bitmaps = {
            fixtures + "offset-past-end.bmp", fixtures + "cut-short-32bpp.bmp",
            damagedBitmap("header-cut", 30), damagedBitmap("pixels-cut", whole / 2),
            damagedBitmap("offset", whole, 10, 0xFFFFFFF0u), damagedBitmap("width", whole, 18, 0x7FFFFFFFu),
            damagedBitmap("bits", whole, 28, 0x00010011u)};
        for (const std::string& bitmap : bitmaps)
            survivesScheme("bad-scheme-bitmap " + bitmap,
                           "bitmap_source=" + bitmap + "\r\nbitmap_sourcesmall=" + bitmap + "\r\n");
    }
    SUBCASE("font records with every field at its extremes") {
        std::vector<LOGFONTA> fonts;
        LOGFONTA font = tahoma(-11);
        font.lfWidth = INT32_MIN;
        font.lfWeight = 0x6F3C77C6;
        fonts.push_back(font);
        for (LONG height : {32767, -32767}) fonts.push_back(tahoma(height));
        font = tahoma(-11);
        font.lfEscapement = font.lfOrientation = 0x7FFFFFFF;
        fonts.push_back(font);
        font = tahoma(-11);
        font.lfItalic = font.lfUnderline = font.lfStrikeOut = 0xFF;
        memset(font.lfFaceName, 'T', sizeof font.lfFaceName);
        fonts.push_back(font);
        for (const LOGFONTA& f : fonts)
            survivesScheme("bad-scheme-font", "id_font=" + fontValue(f) + "\r\ndesc_font=" + fontValue(f) + "\r\n");
    }
}

TEST_CASE("a window grown by its text stays within the work area") {
    testScheme scheme("kivtest-tall.kivs", hugeFontScheme());
    notifySession session("bad-scheme-tall", settingsWith(scheme.name, lines({"autoheightrows=1000"})));
    REQUIRE(session.plugin->running());
    popupRequest request;
    const std::string text = manyLines();
    request.text = text.c_str();
    HWND shown = showOne(session, request);
    REQUIRE(shown);
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT rect = kivhost::windowRect(shown);
    CHECK(rect.bottom - rect.top > 200);
    CHECK(rect.bottom - rect.top <= area.bottom - area.top);
}

}  // TEST_SUITE
