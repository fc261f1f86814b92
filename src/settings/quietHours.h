// The nightly quiet hours of [extra]: quietfrom and quietto, minutes after local midnight, -1 off.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kiv {

class config;

constexpr int32_t quietOff = -1;
constexpr int32_t lastMinuteOfDay = 24 * 60 - 1;

// A value of the file: a whole decimal number, clamped to off .. 23:59 (1439); anything else is off.
int32_t minuteOfDayFrom(const char* value);

// Whether the minute lies in [from, to), across midnight when from is the later; never when
// either end is off or both are the same minute.
bool inQuietHours(int32_t from, int32_t to, int32_t minute);

// The settings' schedule at the given local time, and at the local time now.
bool quietHoursAt(const config& settings, const SYSTEMTIME& time);
bool quietHoursNow(const config& settings);

// A time as the page shows it, "HH:MM", or the empty text for off.
void clockTimeText(int32_t minutes, char* text, size_t size);
// A time as typed: blanks alone are off; else H:MM or HH:MM up to 23:59. False for anything else.
bool readClockTime(const char* text, int32_t& minutes);

}  // namespace kiv
