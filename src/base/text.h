// Copies into the module's fixed text fields: always cut to the field and always terminated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kiv {

inline void copyText(char* target, size_t size, const char* source) {
    if (size == 0) return;
    if (!source) source = "";
    size_t length = strnlen(source, size - 1);
    memcpy(target, source, length);
    target[length] = '\0';
}

template <size_t N>
void copyText(char (&target)[N], const char* source) {
    copyText(target, N, source);
}

// Drops the UTF-8 sequence that a cut left unfinished at the end of the text, if any, so that a
// cut never turns the last whole character into a broken one.
inline void cutToCharacter(char* text) {
    size_t length = strlen(text);
    size_t start = length;
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80 && length - start < 3) --start;
    if (start == 0) return;
    const unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (lead >= 0xC0 && length - (start - 1) < expected) text[start - 1] = '\0';
}

// Appends with the same rule; returns false when the text had to be cut.
inline bool appendText(char* target, size_t size, const char* source) {
    size_t used = strnlen(target, size);
    if (used + 1 >= size) return !source || !*source;
    copyText(target + used, size - used, source);
    return strlen(source ? source : "") < size - used;
}

template <size_t N>
bool appendText(char (&target)[N], const char* source) {
    return appendText(target, N, source);
}

// Up to count decimal numbers separated by commas, read as "%d,%d,..." would read them: a blank may
// precede a number but not a comma, and reading stops at the first thing that is not part of the
// list. A number beyond 32 bits becomes the nearest 32-bit value instead of whatever the scanner
// makes of it. Returns how many were read; the others are left as they were.
inline int readNumberList(const char* text, int32_t* numbers, int count) {
    int read = 0;
    for (const char* at = text ? text : ""; read < count; ++at) {
        char* end = nullptr;
        long long n = strtoll(at, &end, 10);
        if (end == at) break;
        if (n < INT32_MIN) n = INT32_MIN;
        if (n > INT32_MAX) n = INT32_MAX;
        numbers[read++] = static_cast<int32_t>(n);
        if (*end != ',') break;
        at = end;
    }
    return read;
}

}  // namespace kiv
