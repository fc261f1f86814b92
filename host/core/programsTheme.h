// The theme the system's programs use, where the system keeps it: AppsUseLightTheme (a DWORD, 0
// for dark) under HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize, in the Wine
// prefix's registry, which the plug-in reads with the platform's own calls. The value as it was (or
// its absence) comes back when the object goes, so a test or a script leaves the prefix as found.
#pragma once

#include <windows.h>

namespace kivhost {

class programsTheme {
public:
    programsTheme();
    ~programsTheme();
    programsTheme(const programsTheme&) = delete;
    programsTheme& operator=(const programsTheme&) = delete;

    void set(bool dark);
    // The value gone, as on a system older than the dark theme.
    void remove();

private:
    bool hadValue_ = false;
    DWORD previous_ = 1;
};

}  // namespace kivhost
