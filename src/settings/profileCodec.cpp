#include "settings/profileCodec.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "base/wideText.h"

namespace kiv {

namespace {

const char utf8Mark[] = "\xEF\xBB\xBF";
const char utf16leMark[] = "\xFF\xFE";
const char utf16beMark[] = "\xFE\xFF";

bool startsWith(const std::string& bytes, const char* mark) {
    return bytes.compare(0, strlen(mark), mark) == 0;
}

// A last odd byte is a character of its own, as the platform reads it.
std::wstring wideOfUtf16(const std::string& bytes, size_t from, bool bigEndian) {
    std::wstring wide;
    wide.reserve((bytes.size() - from + 1) / 2);
    for (size_t at = from; at < bytes.size(); at += 2) {
        const unsigned char first = static_cast<unsigned char>(bytes[at]);
        const unsigned char second = at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0;
        const bool lastOdd = at + 1 == bytes.size();
        wide += static_cast<wchar_t>(lastOdd ? first : bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return wide;
}

std::string utf16Of(const std::wstring& wide, bool bigEndian) {
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (wchar_t c : wide) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>((c >> 8) & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Each byte as the platform lowers it in Windows-1250, where every character is one byte: what
// CharLowerBuffA makes of a whole name, looked up a byte at a time.
const unsigned char* lowered1250() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> bytes = {};
        for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<unsigned char>(b);
        CharLowerBuffA(reinterpret_cast<char*>(bytes.data() + 1), static_cast<DWORD>(bytes.size() - 1));
        return bytes;
    }();
    return table.data();
}

}  // namespace

bool profileCodec::isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

profileCodec profileCodec::of(const std::string& bytes) {
    if (startsWith(bytes, utf8Mark)) return profileCodec(utf8);
    if (startsWith(bytes, utf16leMark)) return profileCodec(utf16le);
    if (startsWith(bytes, utf16beMark)) return profileCodec(utf16be);
    return profileCodec(windows1250);
}

std::string profileCodec::textOf(std::string bytes) const {
    switch (kind_) {
    case utf8: return bytes.substr(strlen(utf8Mark));
    case utf16le: return narrowOf(wideOfUtf16(bytes, strlen(utf16leMark), false), CP_UTF8);
    case utf16be: return narrowOf(wideOfUtf16(bytes, strlen(utf16beMark), true), CP_UTF8);
    default: return bytes;
    }
}

std::string profileCodec::bytesOf(const std::string& text) const {
    switch (kind_) {
    case utf8: return utf8Mark + text;
    case utf16le: return utf16leMark + utf16Of(wideOf(text, CP_UTF8), false);
    case utf16be: return utf16beMark + utf16Of(wideOf(text, CP_UTF8), true);
    default: return text;
    }
}

std::string profileCodec::toHeld(std::string module) const {
    if (kind_ == windows1250 || isAscii(module)) return module;
    return narrowOf(wideOf(module, windows1250CodePage), CP_UTF8);
}

std::string profileCodec::toModule(std::string held) const {
    if (kind_ == windows1250 || isAscii(held)) return held;
    return narrowOf(wideOf(held, CP_UTF8), windows1250CodePage);
}

bool profileCodec::fitsWindows1250(const std::string& text) const {
    return kind_ == windows1250 || isAscii(text) || toHeld(toModule(text)) == text;
}

std::string profileCodec::folded(std::string text) const {
    if (isAscii(text)) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    }
    if (kind_ == windows1250) {
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
        return text;
    }
    std::wstring wide = wideOf(text, CP_UTF8);
    CharLowerBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return narrowOf(wide, CP_UTF8);
}

// In a file held in UTF-8 a letter beyond ASCII may lower into other bytes: such a name is
// compared and hashed folded. Otherwise one byte lowers into one, in place.
bool profileCodec::sameName(std::string_view a, std::string_view b) const {
    if (kind_ != windows1250 && (!isAscii(a) || !isAscii(b)))
        return folded(std::string(a)) == folded(std::string(b));
    if (a.size() != b.size()) return false;
    const unsigned char* lower = lowered1250();
    for (size_t at = 0; at < a.size(); ++at)
        if (lower[static_cast<unsigned char>(a[at])] != lower[static_cast<unsigned char>(b[at])]) return false;
    return true;
}

size_t profileCodec::nameHash(std::string_view name) const {
    std::string own;
    const unsigned char* lower = lowered1250();
    const bool unicode = kind_ != windows1250;
    if (unicode && !isAscii(name)) name = own = folded(std::string(name));
    size_t hash = 2166136261u;
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        hash = (hash ^ (unicode && b >= 0x80 ? b : lower[b])) * 16777619u;
    }
    return hash;
}

}  // namespace kiv
