#include "highContrast.h"

#include "importPatch.h"

namespace kivhost {

namespace {

BOOL CALLBACK tellWindow(HWND window, LPARAM) {
    SendMessageA(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

}  // namespace

highContrast& highContrast::get() {
    static highContrast mode;
    return mode;
}

void highContrast::install(HMODULE module) {
    patchImport(module, "USER32.dll", "SystemParametersInfoA", reinterpret_cast<void*>(&systemParametersInfoA));
    patchImport(module, "USER32.dll", "GetSysColor", reinterpret_cast<void*>(&getSysColor));
}

void highContrast::set(const std::map<int, COLORREF>& colours) {
    on_ = true;
    colours_ = colours;
    announce();
}

void highContrast::clear() {
    if (!on_) return;
    on_ = false;
    colours_.clear();
    announce();
}

std::map<int, COLORREF> highContrast::blackScheme() {
    return {{COLOR_WINDOW, RGB(0, 0, 0)},       {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
            {COLOR_BTNFACE, RGB(0, 0, 0)},      {COLOR_BTNTEXT, RGB(255, 255, 255)},
            {COLOR_HIGHLIGHT, RGB(26, 235, 255)}, {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)}};
}

// The top-level windows of this thread, the plug-in's among them, as the system's broadcast reaches them.
void highContrast::announce() {
    EnumThreadWindows(GetCurrentThreadId(), tellWindow, 0);
}

BOOL WINAPI highContrast::systemParametersInfoA(UINT action, UINT value, PVOID data, UINT update) {
    const highContrast& mode = get();
    if (action != SPI_GETHIGHCONTRAST || !mode.on_ || !data)
        return SystemParametersInfoA(action, value, data, update);
    auto* answer = static_cast<HIGHCONTRASTA*>(data);
    if (answer->cbSize != sizeof *answer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    answer->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    answer->lpszDefaultScheme = nullptr;
    return TRUE;
}

DWORD WINAPI highContrast::getSysColor(int index) {
    const highContrast& mode = get();
    auto found = mode.colours_.find(index);
    return mode.on_ && found != mode.colours_.end() ? found->second : GetSysColor(index);
}

}  // namespace kivhost
