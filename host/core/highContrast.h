// High contrast as the plug-in sees it, answered at its import table: SystemParametersInfoA's
// SPI_GETHIGHCONTRAST and the colours of GetSysColor. Wine keeps no such mode (it reports it off and
// ignores SPI_SETHIGHCONTRAST), so the host turns it on for the plug-in as it moves its clock.
// Every other question goes on to the system, and so does everything while the mode is off.
#pragma once

#include <windows.h>

#include <map>

namespace kivhost {

class highContrast {
public:
    static highContrast& get();
    void install(HMODULE module);

    // On, with the colours (by COLOR_* index) the system would give in it; the others stay the
    // system's. The windows of this thread hear of the change as they would from the system.
    void set(const std::map<int, COLORREF>& colours);
    void clear();
    bool on() const { return on_; }

    // Windows' own "High Contrast Black": white text on black.
    static std::map<int, COLORREF> blackScheme();

private:
    static BOOL WINAPI systemParametersInfoA(UINT action, UINT value, PVOID data, UINT update);
    static DWORD WINAPI getSysColor(int index);
    static void announce();

    bool on_ = false;
    std::map<int, COLORREF> colours_;
};

}  // namespace kivhost
