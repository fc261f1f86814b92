#include "settings/config.h"

#include <algorithm>
#include <cstdio>

#include "shell/plugin.h"
#include "shell/text.h"
#include "ui/optionsPage.h"

namespace kiv {

DWORD millisecondsOf(int32_t seconds) {
    if (seconds <= 0) return 0;
    return static_cast<DWORD>(std::min<uint64_t>(static_cast<uint64_t>(seconds) * 1000u, MAXDWORD));
}

namespace {

struct settingsReader {
    const char* file;

    void flag(const char* section, const char* key, bool& field, int fallback) {
        field = GetPrivateProfileIntA(section, key, fallback, file) != 0;
    }
    void number(const char* section, const char* key, int32_t& field, int fallback) {
        field = static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, file));
    }
    void readOnlyNumber(const char* section, const char* key, int32_t& field, int fallback) {
        number(section, key, field, fallback);
    }
    void bounded(const char* section, const char* key, int32_t& field, int fallback, int32_t lowest, int32_t highest) {
        number(section, key, field, fallback);
        field = std::clamp(field, lowest, highest);
    }
    template <size_t N>
    void text(const char* section, const char* key, char (&field)[N], const char* fallback) {
        GetPrivateProfileStringA(section, key, fallback, field, N, file);
    }
    // Two numbers joined by a comma; a value that does not give both keeps the defaults for
    // the missing ones, so a damaged file never leaves the window anchored somewhere random.
    void pair(const char* section, const char* key, int32_t& first, int32_t& second, const char* fallback) {
        char value[128];
        GetPrivateProfileStringA(section, key, fallback, value, sizeof value, file);
        int32_t numbers[2] = {};
        readNumberList(fallback, numbers, 2);
        readNumberList(value, numbers, 2);
        first = numbers[0];
        second = numbers[1];
    }
};

struct settingsWriter {
    const char* file;

    void write(const char* section, const char* key, const char* value) {
        WritePrivateProfileStringA(section, key, value, file);
    }
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

}  // namespace

config::config(const char* settingsFile) : settingsPath(settingsFile) {
    load();
    addOptionsPage(*this);
}

config::~config() {
    removeOptionsPage(*this);
    save();
}

// Without a profile from the host there is no file: the defaults stay and nothing is written.
void config::load() {
    if (!settingsPath || !*settingsPath) return;
    settingsReader reader{settingsPath};
    visitSettings(reader);
    if (!plugin.setLayeredWindowAttributes) alpha = 0;
}

void config::save() {
    if (!settingsPath || !*settingsPath) return;
    settingsWriter writer{settingsPath};
    visitSettings(writer);
}

}  // namespace kiv
