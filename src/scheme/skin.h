// The look of a notification window, read from a scheme file (*.kivs): sizes, colours, the skin
// bitmaps, where the icon and the two text lines go, and their fonts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/scopedGdi.h"

namespace kiv {

class skin {
public:
    skin();
    ~skin();
    skin(const skin&) = delete;
    skin& operator=(const skin&) = delete;

    // Reads folder + file ("%s%s"); a missing file or key leaves the defaults in place.
    void load(const char* folder, const char* file);

    // The file name given to the latest load; "" before any.
    const std::string& file() const { return file_; }

    // Takes every field of the other skin; the two source bitmaps are then shared, and this skin
    // keeps no composed bitmap until it composes its own.
    void copyFrom(const skin& other);

    int32_t width = 250;
    int32_t height = 50;
    int32_t smallWidth = 250;
    int32_t smallHeight = 24;
    bool autoHeight = true;
    COLORREF backgroundColor = 0xFFFFFF;
    COLORREF frameColor = 0;
    COLORREF colorKey = 0xFF00FF;
    HBITMAP bitmap = nullptr;  // owned by the shared sources below, when loaded
    RECT cut = {1, 2, 1, 2};  // left = x1, top = y1, right = x2, bottom = y2
    HBITMAP smallBitmap = nullptr;
    RECT smallCut = {1, 2, 1, 2};
    HBITMAP currentBitmap = nullptr;  // not owned: one of the two above
    RECT currentCut = {0, 0, 0, 0};
    scopedBitmap composed;  // this skin's alone
    POINT iconPos = {4, 4};
    RECT idRect = {30, 4, 225, 20};
    LOGFONTA idFont = {};
    COLORREF idColor = 0;
    RECT descRect = {5, 23, 225, 46};
    LOGFONTA descFont = {};
    COLORREF descColor = 0;
    // A caller's buttons and progress bar; a scheme without these keys gets its own colours:
    // buttons in the background and description colours, the bar in the contact line's.
    COLORREF actionBack = 0xFFFFFF;
    COLORREF actionText = 0;
    COLORREF actionFrame = 0;
    COLORREF progressColor = 0;

private:
    // The loaded scheme's source bitmaps, held by the skin that loaded them and by every copy: a
    // reload lets go of them without pulling them from under a window that composes again.
    struct sources {
        sources(HBITMAP normal, HBITMAP small) : bitmap(normal), smallBitmap(small) {}
        ~sources();
        sources(const sources&) = delete;
        sources& operator=(const sources&) = delete;
        HBITMAP bitmap, smallBitmap;
    };
    std::shared_ptr<const sources> sources_;
    std::string file_;
};

}  // namespace kiv
