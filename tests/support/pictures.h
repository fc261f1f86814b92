// Small pictures made in memory for drawing tests and skin files.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "windowProbe.h"

namespace kivtest {

using pixelFn = std::function<COLORREF(int x, int y)>;

inline kivhost::picture makePicture(int width, int height, const pixelFn& colourAt) {
    kivhost::picture image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixels[static_cast<size_t>(y) * width + x] = colourAt(x, y);
    return image;
}

// A device-dependent bitmap, the kind LoadImageA gives for a skin file. The caller deletes it.
inline HBITMAP makeBitmap(int width, int height, const pixelFn& colourAt) {
    kivhost::picture image = makePicture(width, height, colourAt);
    std::vector<DWORD> bits(image.pixels.size());
    for (size_t i = 0; i < bits.size(); ++i) {
        COLORREF c = image.pixels[i];
        bits[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    BITMAPINFO format = kivhost::topDownFormat(width, height);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    SetDIBits(screen, bitmap, 0, height, bits.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

inline void writeBmpFile(const std::string& path, int width, int height, const pixelFn& colourAt) {
    kivhost::saveBmp(makePicture(width, height, colourAt), path);
}

inline bool samePicture(const kivhost::picture& a, const kivhost::picture& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

// Rectangles framed by a one-pixel line of the colour (a button, a bar), from the top left, each
// from its frame's outer top-left pixel to one past its bottom-right one.
inline std::vector<RECT> framedBoxes(const kivhost::picture& image, COLORREF frame) {
    std::vector<RECT> boxes;
    auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < image.width && y < image.height && image.at(x, y) == frame; };
    auto seen = [&](int x, int y) {
        for (const RECT& b : boxes)
            if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) return true;
        return false;
    };
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            if (!in(x, y) || in(x - 1, y) || in(x, y - 1) || seen(x, y)) continue;
            int right = x, bottom = y;
            while (in(right + 1, y)) ++right;
            while (in(x, bottom + 1)) ++bottom;
            if (right - x >= 2 && bottom - y >= 2 && in(right, bottom)) boxes.push_back({x, y, right + 1, bottom + 1});
        }
    return boxes;
}

}  // namespace kivtest
