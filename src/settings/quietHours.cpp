#include "settings/quietHours.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/config.h"

namespace kiv {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without the blanks around it.
std::string trimmed(const char* text) {
    std::string value = text ? text : "";
    const size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return value.substr(first, value.find_last_not_of(" \t") - first + 1);
}

}  // namespace

int32_t minuteOfDayFrom(const char* value) {
    const std::string number = trimmed(value);
    char* end = nullptr;
    const long long minutes = strtoll(number.c_str(), &end, 10);
    if (number.empty() || *end || !(isDigit(number[0]) || number[0] == '-')) return quietOff;
    return static_cast<int32_t>(std::clamp<long long>(minutes, quietOff, lastMinuteOfDay));
}

bool inQuietHours(int32_t from, int32_t to, int32_t minute) {
    if (from < 0 || to < 0 || from == to) return false;
    if (from < to) return minute >= from && minute < to;
    return minute >= from || minute < to;
}

bool quietHoursAt(const config& settings, const SYSTEMTIME& time) {
    return inQuietHours(settings.quietfrom, settings.quietto, time.wHour * 60 + time.wMinute);
}

// The local time is asked for only when a schedule is set: without one nothing changes.
bool quietHoursNow(const config& settings) {
    if (settings.quietfrom < 0 || settings.quietto < 0) return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    return quietHoursAt(settings, now);
}

void clockTimeText(int32_t minutes, char* text, size_t size) {
    if (minutes < 0 || minutes > lastMinuteOfDay)
        snprintf(text, size, "%s", "");
    else
        snprintf(text, size, "%02d:%02d", static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
}

bool readClockTime(const char* text, int32_t& minutes) {
    const std::string typed = trimmed(text);
    if (typed.empty()) {
        minutes = quietOff;
        return true;
    }
    const size_t colon = typed.find(':');
    if (colon == std::string::npos || colon < 1 || colon > 2 || typed.size() != colon + 3) return false;
    if (!std::all_of(typed.begin(), typed.begin() + static_cast<ptrdiff_t>(colon), isDigit) ||
        !isDigit(typed[colon + 1]) || !isDigit(typed[colon + 2]))
        return false;
    const int hour = atoi(typed.substr(0, colon).c_str());
    const int minute = atoi(typed.substr(colon + 1).c_str());
    if (hour > 23 || minute > 59) return false;
    minutes = hour * 60 + minute;
    return true;
}

}  // namespace kiv
