// Drawing with a skin: the nine-slice picture at a window's size, the window shape cut out by the
// colour key, icons drawn with a transparent colour, and the system's colours in high contrast.
#pragma once

#include <windows.h>

namespace kiv {

class skin;

constexpr COLORREF iconKey = 0xFF00FF;  // magenta: transparent in every icon

// The skin as high contrast asks: the system's window and text colours, a frame in the text
// colour, a caller's bar in the highlight colour, and no bitmap, so no picture and no shape;
// sizes, rectangles, fonts and the icon stay.
void useSystemColours(skin& look);

// Builds the skin's composed bitmap for the window's client size from the normal bitmap (or
// the small one, for a small window when the scheme has it).
void compose(skin& look, HWND window, bool small);

// The region of every pixel whose colour is not the key, or only its outline when that would take
// more rectangles than a window shape may have; null without a bitmap. The caller owns the region.
HRGN buildRegion(HBITMAP bitmap, COLORREF key);

// Draws the whole bitmap at (x, y), leaving the target untouched where the bitmap has the key.
void drawKeyed(HDC target, HBITMAP bitmap, int x, int y, COLORREF key);

}  // namespace kiv
