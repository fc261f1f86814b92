// Skins that fill a window of their own size 1:1 (480 x 320, cut so nothing stretches), for the
// window shape: a plain one without a key pixel, a frame round a hole of the key colour, and a
// one-pixel checkerboard of the key colour, 76,800 runs, whose exact shape no window should get.
#pragma once

#include <string>

#include "pictures.h"

namespace kivtest {

enum class skinPattern { plain, frame, checkerboard };

inline constexpr int skinWidth = 480;
inline constexpr int skinHeight = 320;
inline constexpr COLORREF skinKey = 0xFF00FF;

inline void writeSkin(const std::string& path, skinPattern pattern) {
    writeBmpFile(path, skinWidth, skinHeight, [pattern](int x, int y) {
        const bool hole = x >= 100 && x < 380 && y >= 100 && y < 220;
        const bool key = pattern == skinPattern::checkerboard ? (x + y) % 2 == 1 : pattern == skinPattern::frame && hole;
        return key ? skinKey : RGB(0x30, 0x60, 0x90);
    });
}

// The [skin] keys of a scheme drawing that bitmap at its own size in both kinds of window.
inline std::string skinSchemeKeys(const std::string& bitmapValue) {
    const std::string size = std::to_string(skinWidth) + "," + std::to_string(skinHeight);
    return "bitmap_source=" + bitmapValue + "\r\nwindow_size=" + size + "\r\nwindow_sizesmall=" + size +
           "\r\nwindow_autoheight=0\r\nbitmap_cut=0," + std::to_string(skinWidth) + ",0," +
           std::to_string(skinHeight) + "\r\n";
}

}  // namespace kivtest
