// What the user chose in the system for their eyes, asked afresh each time: a change takes effect
// for the next notification without the module listening for it.
#pragma once

namespace kiv {

// The system's high-contrast mode: every program is to draw in the system's colours.
bool highContrastOn();

// Programs are to use the dark theme (AppsUseLightTheme 0). A system without that value is light.
bool programsUseDarkTheme();

}  // namespace kiv
