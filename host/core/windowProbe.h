// What a user would see of a plug-in's windows: where they are, their shape, their layered
// alpha, their pixels; and screenshots of the (virtual) screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivhost {

// Visible top-level windows of this process with that class, top of the z-order first.
std::vector<HWND> findWindows(const char* className);

RECT windowRect(HWND window);

// The smallest rectangle around every visible window of the class; empty when there is none.
RECT areaOfWindows(const char* className);

// The window's shape as rectangles in window coordinates. hasShape is false when the window has
// no region of its own (it is a plain rectangle).
struct windowShape {
    bool hasShape = false;
    std::vector<RECT> rects;
    bool contains(int x, int y) const;
    long area() const;
};
windowShape shapeOf(HWND window);

// The constant alpha of a layered window; false when the window is not layered.
bool layeredAlpha(HWND window, BYTE& alpha);

// Pixels as colour values (0x00BBGGRR), top row first.
struct picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// 32-bit pixels, rows from the top: the layout of picture::pixels.
BITMAPINFO topDownFormat(int width, int height);

// Under Wine without a desktop window of its own the screen's context reads back black; there
// take screenshots from the X side (ImageMagick's import), as tools/scheme-shots does.
picture captureScreen(const RECT& area);
picture captureWindow(HWND window);  // from the window's own device context
picture captureBitmap(HBITMAP bitmap);

// A 24-bit BMP file; false when it cannot be written.
bool saveBmp(const picture& image, const std::string& path);

}  // namespace kivhost
