#include "base/systemModes.h"

#include <windows.h>

#include "base/scopedHandle.h"

namespace kiv {

namespace {

constexpr const char* personalizeKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

}  // namespace

bool highContrastOn() {
    HIGHCONTRASTA mode = {};
    mode.cbSize = sizeof mode;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof mode, &mode, 0) && (mode.dwFlags & HCF_HIGHCONTRASTON);
}

// Opened and queried rather than asked with RegGetValue, which older systems lack.
bool programsUseDarkTheme() {
    registryKey key(HKEY_CURRENT_USER, personalizeKey);
    if (!key.get()) return false;
    DWORD type = 0;
    DWORD light = 1;
    DWORD size = sizeof light;
    if (RegQueryValueExA(key.get(), "AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&light), &size) !=
        ERROR_SUCCESS)
        return false;
    return type == REG_DWORD && size == sizeof light && light == 0;
}

}  // namespace kiv
