#include "base/wideText.h"

#include <windows.h>

namespace kiv {

std::wstring wideOf(const char* text, bool utf8) {
    return wideOf(std::string(text ? text : ""), utf8 ? CP_UTF8 : windows1250CodePage);
}

std::string windows1250Of(const std::wstring& text) {
    return narrowOf(std::wstring(text.c_str()), windows1250CodePage);
}

std::wstring wideOf(const std::string& text, unsigned codePage) {
    const int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
    return wide;
}

std::string narrowOf(const std::wstring& text, unsigned codePage) {
    const int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, &narrow[0], length, nullptr, nullptr);
    return narrow;
}

}  // namespace kiv
