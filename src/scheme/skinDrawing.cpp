#include "scheme/skinDrawing.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "base/scopedGdi.h"
#include "scheme/skin.h"

namespace kiv {

namespace {

// ---- compose --------------------------------------------------------------------------------

struct slice {
    int x, y, width, height;                     // in the composed picture
    int sourceX, sourceY, sourceWidth, sourceHeight;
};

// Cut lines moved inside the bitmap and into order (x1 <= x2, y1 <= y2), so that a malformed
// scheme gives empty slices instead of negative ones.
RECT cutInside(const RECT& cut, int bitmapWidth, int bitmapHeight) {
    RECT inside;
    inside.left = std::clamp<LONG>(cut.left, 0, bitmapWidth);
    inside.right = std::clamp<LONG>(cut.right, inside.left, bitmapWidth);
    inside.top = std::clamp<LONG>(cut.top, 0, bitmapHeight);
    inside.bottom = std::clamp<LONG>(cut.bottom, inside.top, bitmapHeight);
    return inside;
}

// A slice with nothing to take or nowhere to go is skipped: a negative size would mirror it.
void drawSlice(HDC target, HDC source, const slice& s) {
    if (s.width <= 0 || s.height <= 0 || s.sourceWidth <= 0 || s.sourceHeight <= 0) return;
    if (s.width == s.sourceWidth && s.height == s.sourceHeight)
        BitBlt(target, s.x, s.y, s.width, s.height, source, s.sourceX, s.sourceY, SRCCOPY);
    else
        StretchBlt(target, s.x, s.y, s.width, s.height, source, s.sourceX, s.sourceY, s.sourceWidth,
                   s.sourceHeight, SRCCOPY);
}

// Corners 1:1, edges stretched along their length, the centre both ways. Where the window is
// smaller than the corners, later slices cover earlier ones.
void drawNineSlices(HDC target, HDC source, int W, int H, int bw, int bh, const RECT& cut) {
    const int x1 = cut.left, x2 = cut.right, y1 = cut.top, y2 = cut.bottom;
    const int rw = bw - x2, rb = bh - y2;
    const int middleWidth = W - x1 - rw, middleHeight = H - y1 - rb;
    const slice slices[] = {
        {0, y1, x1, middleHeight, 0, y1, x1, y2 - y1},                              // left edge
        {W - rw, y1, rw, middleHeight, x2, y1, rw, y2 - y1},                        // right edge
        {x1, y1, middleWidth, middleHeight, x1, y1, x2 - x1, y2 - y1},              // centre
        {0, H - rb, x1, rb, 0, y2, x1, rb},                                         // bottom-left
        {W - rw, H - rb, rw, rb, x2, y2, rw, rb},                                   // bottom-right
        {x1, H - rb, middleWidth, rb, x1, y2, x2 - x1, rb},                         // bottom edge
        {0, 0, x1, y1, 0, 0, x1, y1},                                               // top-left
        {W - rw, 0, rw, y1, x2, 0, rw, y1},                                         // top-right
        {x1, 0, middleWidth, y1, x1, 0, x2 - x1, y1},                               // top edge
    };
    for (const slice& s : slices) drawSlice(target, source, s);
}

// ---- region ---------------------------------------------------------------------------------

constexpr DWORD growBy = 100;
constexpr DWORD flushAt = 2000;

// Runs of one row collected as region data in movable global memory, turned into a region
// piece by piece so that a detailed shape never needs one huge block.
class runCollector {
public:
    runCollector() {
        block_ = GlobalAlloc(GMEM_MOVEABLE, bytesFor(growBy));
        if (!block_) return;
        capacity_ = growBy;
        data_ = static_cast<RGNDATA*>(GlobalLock(block_));
        if (data_) restart();
    }
    ~runCollector() {
        if (data_) GlobalUnlock(block_);
        if (block_) GlobalFree(block_);
        if (result_) DeleteObject(result_);
    }
    runCollector(const runCollector&) = delete;
    runCollector& operator=(const runCollector&) = delete;

    bool ready() const { return data_ != nullptr; }

    bool add(LONG left, LONG top, LONG right, LONG bottom) {
        if (data_->rdh.nCount == capacity_ && !grow()) return false;
        RGNDATAHEADER& header = data_->rdh;  // after growing: the block may have moved
        RECT* rects = reinterpret_cast<RECT*>(data_->Buffer);
        rects[header.nCount++] = {left, top, right, bottom};
        RECT& bound = header.rcBound;
        bound.left = std::min(bound.left, left);
        bound.top = std::min(bound.top, top);
        bound.right = std::max(bound.right, right);
        bound.bottom = std::max(bound.bottom, bottom);
        return header.nCount < flushAt || flush();
    }

    // What is left becomes part of the region; the region goes to the caller.
    HRGN finish() {
        if (data_->rdh.nCount > 0 && !flush()) return nullptr;
        if (!result_) result_ = CreateRectRgn(0, 0, 0, 0);  // not one visible pixel
        HRGN region = result_;
        result_ = nullptr;
        return region;
    }

private:
    static SIZE_T bytesFor(DWORD rectangles) { return sizeof(RGNDATAHEADER) + rectangles * sizeof(RECT); }

    void restart() {
        RGNDATAHEADER& header = data_->rdh;
        header.dwSize = sizeof(RGNDATAHEADER);
        header.iType = RDH_RECTANGLES;
        header.nCount = 0;
        header.nRgnSize = 0;
        header.rcBound = {LONG_MAX, LONG_MAX, 0, 0};
    }

    bool grow() {
        GlobalUnlock(block_);
        data_ = nullptr;
        HGLOBAL larger = GlobalReAlloc(block_, bytesFor(capacity_ + growBy), GMEM_MOVEABLE);
        if (larger) {
            block_ = larger;
            capacity_ += growBy;
        }
        data_ = static_cast<RGNDATA*>(GlobalLock(block_));
        return larger && data_;
    }

    bool flush() {
        HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(bytesFor(data_->rdh.nCount)), data_);
        if (!part) return false;
        if (result_) {
            CombineRgn(result_, result_, part, RGN_OR);
            DeleteObject(part);
        } else {
            result_ = part;
        }
        restart();
        return true;
    }

    HGLOBAL block_ = nullptr;
    RGNDATA* data_ = nullptr;
    DWORD capacity_ = 0;
    HRGN result_ = nullptr;
};

// A section's pixels are blue, green, red in memory while a colour value keeps red in its low
// byte; the key's bytes are compared in colour-value order, as schemes have always been made.
bool isKey(const uint8_t* pixel, COLORREF key) {
    return pixel[0] == (key & 0xFF) && pixel[1] == ((key >> 8) & 0xFF) && pixel[2] == ((key >> 16) & 0xFF);
}

// The runs of non-key pixels of one row, left to right, as [start, end).
template <class Visit>
void eachRun(const uint8_t* row, int width, COLORREF key, Visit visit) {
    for (int x = 0; x < width; ++x) {
        const int start = x;
        while (x < width && !isKey(row + 4 * x, key)) ++x;
        if (x > start) visit(start, x);
    }
}

// The most rectangles a window shape may have. A skin whose key colour cuts it into more runs (a
// dithered or checkered key) gets its outline instead, each row from its first to its last shown
// pixel: at most one rectangle a row, holes filled (and a window taller than the bound, no shape).
// Exact shapes that detailed cost every window dearly, and an X server refuses them outright,
// ending the process.
constexpr size_t largestShape = 8192;

// One row of the shape: its runs, or for an outline the one span from its first shown pixel to
// its last.
bool addRow(runCollector& runs, const uint8_t* row, int width, int y, COLORREF key, bool outline) {
    if (outline) {
        int first = 0, last = width;
        while (first < last && isKey(row + 4 * first, key)) ++first;
        while (last > first && isKey(row + 4 * (last - 1), key)) --last;
        return first == last || runs.add(first, y, last, y + 1);
    }
    bool added = true;
    eachRun(row, width, key, [&](int start, int end) { added = added && runs.add(start, y, end, y + 1); });
    return added;
}

// ---- keyed drawing --------------------------------------------------------------------------

class scratchBitmap {
public:
    scratchBitmap(HDC compatibleWith, HBITMAP bitmap) : dc_(compatibleWith), bitmap_(bitmap), chosen_(dc_.get(), bitmap) {}
    HDC dc() const { return dc_.get(); }
    bool ready() const { return dc_ && bitmap_ && chosen_.selected(); }

private:
    memoryDC dc_;
    scopedBitmap bitmap_;
    selection chosen_;
};

}  // namespace

void useSystemColours(skin& look) {
    look.composed.reset();
    look.bitmap = look.smallBitmap = look.currentBitmap = nullptr;
    look.backgroundColor = GetSysColor(COLOR_WINDOW);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    look.frameColor = look.idColor = look.descColor = text;
    look.actionBack = look.backgroundColor;
    look.actionText = look.actionFrame = text;
    look.progressColor = GetSysColor(COLOR_HIGHLIGHT);
}

void compose(skin& look, HWND window, bool small) {
    look.composed.reset();
    look.currentBitmap = look.bitmap;
    look.currentCut = look.cut;
    if (look.smallBitmap && small) {
        look.currentBitmap = look.smallBitmap;
        look.currentCut = look.smallCut;
    }
    if (!look.currentBitmap) return;

    windowDC screen(window);
    RECT client;
    if (!screen || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return;
    BITMAP source;
    if (GetObjectA(look.currentBitmap, sizeof source, &source) != sizeof source) return;
    scopedBitmap picture(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    memoryDC sourceDC(screen.get());
    memoryDC pictureDC(screen.get());
    if (!picture || !sourceDC || !pictureDC) return;
    {
        selection sourceChosen(sourceDC.get(), look.currentBitmap);
        selection pictureChosen(pictureDC.get(), picture.get());
        if (!sourceChosen.selected() || !pictureChosen.selected()) return;
        // What no slice covers (an empty middle column, say) shows the background colour.
        scopedBrush background(CreateSolidBrush(look.backgroundColor));
        FillRect(pictureDC.get(), &client, background.get());
        drawNineSlices(pictureDC.get(), sourceDC.get(), client.right, client.bottom, source.bmWidth,
                       source.bmHeight, cutInside(look.currentCut, source.bmWidth, source.bmHeight));
    }
    look.composed.reset(picture.release());
}

HRGN buildRegion(HBITMAP bitmap, COLORREF key) {
    if (!bitmap) return nullptr;
    BITMAP picture;
    if (GetObjectA(bitmap, sizeof picture, &picture) != sizeof picture) return nullptr;
    const int width = picture.bmWidth, height = picture.bmHeight;
    memoryDC copyDC(nullptr);
    memoryDC sourceDC(nullptr);
    if (!copyDC || !sourceDC || width <= 0 || height <= 0) return nullptr;

    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;  // bottom-up: the picture's top row is the last in memory
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    scopedBitmap section(CreateDIBSection(copyDC.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits) return nullptr;
    selection sectionChosen(copyDC.get(), section.get());
    selection sourceChosen(sourceDC.get(), bitmap);
    if (!sectionChosen.selected() || !sourceChosen.selected()) return nullptr;
    BitBlt(copyDC.get(), 0, 0, width, height, sourceDC.get(), 0, 0, SRCCOPY);
    GdiFlush();

    const size_t stride = ((static_cast<size_t>(width) * 32 + 31) / 32) * 4;
    auto rowAt = [&](int y) { return static_cast<const uint8_t*>(bits) + stride * (height - 1 - y); };
    size_t runCount = 0;
    for (int y = 0; y < height && runCount <= largestShape; ++y)
        eachRun(rowAt(y), width, key, [&](int, int) { ++runCount; });
    const bool outline = runCount > largestShape;
    if (outline && static_cast<size_t>(height) > largestShape) return nullptr;

    runCollector runs;
    if (!runs.ready()) return nullptr;
    for (int y = 0; y < height; ++y)
        if (!addRow(runs, rowAt(y), width, y, key, outline)) return nullptr;
    return runs.finish();
}

void drawKeyed(HDC target, HBITMAP bitmap, int x, int y, COLORREF key) {
    if (!target || !bitmap) return;
    x = static_cast<int16_t>(x);
    y = static_cast<int16_t>(y);
    memoryDC imageDC(target);
    if (!imageDC) return;
    selection imageChosen(imageDC.get(), bitmap);
    BITMAP image;
    if (!imageChosen.selected() || GetObjectA(bitmap, sizeof image, &image) != sizeof image) return;
    POINT size = {image.bmWidth, image.bmHeight};
    DPtoLP(imageDC.get(), &size, 1);
    const int w = size.x, h = size.y;

    scratchBitmap mask(target, CreateBitmap(w, h, 1, 1, nullptr));
    scratchBitmap inverse(target, CreateBitmap(w, h, 1, 1, nullptr));
    scratchBitmap work(target, CreateCompatibleBitmap(target, w, h));
    scratchBitmap saved(target, CreateCompatibleBitmap(target, w, h));
    if (!mask.ready() || !inverse.ready() || !work.ready() || !saved.ready()) return;
    SetMapMode(imageDC.get(), GetMapMode(target));

    BitBlt(saved.dc(), 0, 0, w, h, imageDC.get(), 0, 0, SRCCOPY);
    // Against a monochrome target the pixels of the background colour become 1, all others 0.
    COLORREF previousBackground = SetBkColor(imageDC.get(), key);
    BitBlt(mask.dc(), 0, 0, w, h, imageDC.get(), 0, 0, SRCCOPY);
    SetBkColor(imageDC.get(), previousBackground);
    BitBlt(inverse.dc(), 0, 0, w, h, mask.dc(), 0, 0, NOTSRCCOPY);

    BitBlt(work.dc(), 0, 0, w, h, target, x, y, SRCCOPY);
    BitBlt(work.dc(), 0, 0, w, h, mask.dc(), 0, 0, SRCAND);         // the target where the key was
    BitBlt(imageDC.get(), 0, 0, w, h, inverse.dc(), 0, 0, SRCAND);  // the image, key pixels black
    BitBlt(work.dc(), 0, 0, w, h, imageDC.get(), 0, 0, SRCPAINT);
    BitBlt(target, x, y, w, h, work.dc(), 0, 0, SRCCOPY);

    BitBlt(imageDC.get(), 0, 0, w, h, saved.dc(), 0, 0, SRCCOPY);  // the caller's bitmap as it was
}

}  // namespace kiv
