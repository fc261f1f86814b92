// A child control of one of kivhost's windows, in the dialog font the host's windows use.
#pragma once

#include <windows.h>

namespace kivhost {

HWND childControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                  HWND parent, int id);

}  // namespace kivhost
