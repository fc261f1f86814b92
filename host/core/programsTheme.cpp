#include "programsTheme.h"

namespace kivhost {

namespace {

constexpr const char* personalizeKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr const char* valueName = "AppsUseLightTheme";

void write(DWORD light) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, personalizeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&light), sizeof light);
    RegCloseKey(key);
}

}  // namespace

programsTheme::programsTheme() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, personalizeKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    DWORD type = 0, size = sizeof previous_;
    hadValue_ = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&previous_), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD;
    RegCloseKey(key);
}

programsTheme::~programsTheme() {
    if (hadValue_)
        write(previous_);
    else
        remove();
}

void programsTheme::set(bool dark) {
    write(dark ? 0 : 1);
}

void programsTheme::remove() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, personalizeKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, valueName);
    RegCloseKey(key);
}

}  // namespace kivhost
