// Pictures of what is on the screen, for documentation and for looking at a dialog as a person
// would see it.
#pragma once

#include <windows.h>

#include <string>

namespace kivhost {

// Writes the screen area covered by the window as a 24-bit BMP file; false when it could not.
bool saveWindowPicture(HWND window, const std::string& bmpPath);

}  // namespace kivhost
