// Copies into the module's fixed text fields: always cut to the field and always terminated.
#pragma once

#include <cstddef>
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

}  // namespace kiv
