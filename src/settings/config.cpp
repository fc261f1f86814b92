#include "settings/config.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/moduleState.h"
#include "base/text.h"
#include "base/wholeFile.h"
#include "settings/profileFile.h"
#include "settings/quietHours.h"

namespace kiv {

bool isTopCorner(int32_t bindpos) {
    return bindpos == cornerTopLeft || bindpos == cornerTopRight;
}

bool isLeftCorner(int32_t bindpos) {
    return bindpos == cornerBottomLeft || bindpos == cornerTopLeft;
}

int32_t hotKeyOrNone(int32_t value) {
    const bool hasKey = (value & 0xFF) != 0;
    const bool controlBitsOnly = (value & ~0x0FFF) == 0;
    return hasKey && controlBitsOnly ? value : 0;
}

namespace {

struct settingsReader {
    const profileFile& file;

    void flag(const char* section, const char* key, bool& field, int fallback) {
        field = file.number(section, key, fallback) != 0;
    }
    void number(const char* section, const char* key, int32_t& field, int fallback) {
        field = file.number(section, key, fallback);
    }
    void readOnlyNumber(const char* section, const char* key, int32_t& field, int fallback) {
        number(section, key, field, fallback);
    }
    void bounded(const char* section, const char* key, int32_t& field, int fallback, int32_t lowest, int32_t highest) {
        number(section, key, field, fallback);
        field = std::clamp(field, lowest, highest);
    }
    // As the file holds it: a window may stay 150 s though the page offers 99. Only a number the
    // module cannot use (a negative count or time) is made usable.
    void paged(const char* section, const char* key, int32_t& field, int fallback, int32_t lowest, int32_t) {
        number(section, key, field, fallback);
        field = std::max(field, lowest);
    }
    // Off unless the whole value is a number: the integer reader would take "22:00" for 00:22.
    void minuteOfDay(const char* section, const char* key, int32_t& field) {
        char value[32];
        file.text(section, key, "", value, sizeof value);
        field = minuteOfDayFrom(value);
    }
    void hotKey(const char* section, const char* key, int32_t& field) {
        number(section, key, field, 0);
        field = hotKeyOrNone(field);
    }
    template <size_t N>
    void text(const char* section, const char* key, char (&field)[N], const char* fallback) {
        file.text(section, key, fallback, field, N);
    }
    // Two numbers joined by a comma; a value that does not give both keeps the defaults for
    // the missing ones, so a damaged file never leaves the window anchored somewhere random.
    void pair(const char* section, const char* key, int32_t& first, int32_t& second, const char* fallback) {
        char value[128];
        file.text(section, key, fallback, value, sizeof value);
        int32_t numbers[2] = {};
        readNumberList(fallback, numbers, 2);
        readNumberList(value, numbers, 2);
        first = numbers[0];
        second = numbers[1];
    }
};

// Every key into the file held in memory, as the private-profile writer would put it there.
struct settingsWriter {
    profileFile& file;

    void write(const char* section, const char* key, const char* value) { file.set(section, key, value); }
    void flag(const char* section, const char* key, bool& field, int) { write(section, key, field ? "1" : "0"); }
    void number(const char* section, const char* key, int32_t& field, int) {
        char value[16];
        snprintf(value, sizeof value, "%ld", static_cast<long>(field));
        write(section, key, value);
    }
    void readOnlyNumber(const char*, const char*, int32_t&, int) {}
    void bounded(const char* section, const char* key, int32_t& field, int fallback, int32_t, int32_t) {
        number(section, key, field, fallback);
    }
    void paged(const char* section, const char* key, int32_t& field, int fallback, int32_t, int32_t) {
        number(section, key, field, fallback);
    }
    void minuteOfDay(const char* section, const char* key, int32_t& field) { number(section, key, field, quietOff); }
    void hotKey(const char* section, const char* key, int32_t& field) { number(section, key, field, 0); }
    template <size_t N>
    void text(const char* section, const char* key, char (&field)[N], const char*) {
        write(section, key, field);
    }
    void pair(const char* section, const char* key, int32_t& first, int32_t& second, const char*) {
        char value[32];
        snprintf(value, sizeof value, "%ld,%ld", static_cast<long>(first), static_cast<long>(second));
        write(section, key, value);
    }
};

// The bounds the list gives one field, which the options page stores within; a field the list
// does not bound may hold any number.
struct limitsFinder {
    const int32_t* wanted;
    limits found{INT32_MIN, INT32_MAX};

    void flag(const char*, const char*, bool&, int) {}
    void number(const char*, const char*, int32_t&, int) {}
    void readOnlyNumber(const char*, const char*, int32_t&, int) {}
    void bounded(const char*, const char*, int32_t& field, int, int32_t lowest, int32_t highest) {
        if (&field == wanted) found = {lowest, highest};
    }
    void paged(const char* section, const char* key, int32_t& field, int fallback, int32_t lowest, int32_t highest) {
        bounded(section, key, field, fallback, lowest, highest);
    }
    void minuteOfDay(const char*, const char*, int32_t&) {}
    void hotKey(const char*, const char*, int32_t&) {}
    template <size_t N>
    void text(const char*, const char*, char (&)[N], const char*) {}
    void pair(const char*, const char*, int32_t&, int32_t&, const char*) {}
};

}  // namespace

config::config(const char* settingsFile) : settingsPath(settingsFile) {
    load();
}

config::~config() {
    save();
}

// Without a profile from the host there is no file: the defaults stay and nothing is written. A
// file that is there but cannot be read now (held by a backup program, a scanner) is the user's
// all the same: the defaults serve this session, and save leaves the file alone.
void config::load() {
    if (!settingsPath || !*settingsPath) return;
    std::string bytes;
    const fileState state = readWholeFile(settingsPath, bytes);
    keepFile = state == fileState::unreadable;
    if (keepFile) return;
    const profileFile file(bytes);
    settingsReader reader{file};
    visitSettings(reader);
    if (state == fileState::missing) copyText(darkscheme, firstRunDarkScheme);
    if (!plugin.setLayeredWindowAttributes) alpha = 0;
}

// Keys and sections of other programs, and the hidden ones, stay as the file has them now.
void config::save() {
    if (!settingsPath || !*settingsPath || keepFile) return;
    std::string bytes;
    if (readWholeFile(settingsPath, bytes) == fileState::unreadable) return;
    profileFile file(bytes);
    settingsWriter writer{file};
    visitSettings(writer);
    if (file.changed()) replaceWholeFile(settingsPath, file.text());
}

limits config::limitsOf(const int32_t& field) {
    limitsFinder finder{&field};
    visitSettings(finder);
    return finder.found;
}

}  // namespace kiv
