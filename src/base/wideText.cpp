#include "base/wideText.h"

#include <windows.h>

namespace kiv {

namespace {

constexpr UINT windows1250 = 1250;

}  // namespace

std::wstring wideOf(const char* text, bool utf8) {
    const UINT codePage = utf8 ? CP_UTF8 : windows1250;
    int length = MultiByteToWideChar(codePage, 0, text ? text : "", -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text ? text : "", -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::string windows1250Of(const std::wstring& text) {
    int length = WideCharToMultiByte(windows1250, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(windows1250, 0, text.c_str(), -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length - 1));
    return narrow;
}

}  // namespace kiv
