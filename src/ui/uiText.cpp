#include "ui/uiText.h"

#include <map>
#include <string>

#include "base/moduleState.h"

namespace kiv {

namespace {

constexpr UINT polishCodePage = 1250;

// A text may hold NULs (a file dialog's filter list): the whole length counts, not the first NUL.
std::string loadText(UINT id) {
    const wchar_t* wide = nullptr;
    const int length = LoadStringW(plugin.instance, id, reinterpret_cast<wchar_t*>(&wide), 0);
    if (length <= 0 || !wide) return std::string();
    const int size = WideCharToMultiByte(polishCodePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(polishCodePage, 0, wide, length, &text[0], size, nullptr, nullptr);
    return text;
}

}  // namespace

const char* uiText(UINT id) {
    static std::map<UINT, std::string> loaded;
    auto found = loaded.find(id);
    if (found == loaded.end()) found = loaded.emplace(id, loadText(id)).first;
    return found->second.c_str();
}

}  // namespace kiv
