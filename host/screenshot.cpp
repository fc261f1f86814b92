#include "screenshot.h"

#include <fstream>

namespace kivhost {

namespace {

class screenDc {
public:
    screenDc() : dc_(GetDC(nullptr)) {}
    ~screenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    screenDc(const screenDc&) = delete;
    screenDc& operator=(const screenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class memoryDc {
public:
    explicit memoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~memoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    memoryDc(const memoryDc&) = delete;
    memoryDc& operator=(const memoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class dibSection {
public:
    dibSection(HDC dc, const BITMAPINFO& info) : bitmap_(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0)) {}
    ~dibSection() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    dibSection(const dibSection&) = delete;
    dibSection& operator=(const dibSection&) = delete;
    HBITMAP get() const { return bitmap_; }
    const void* bits() const { return bits_; }

private:
    void* bits_ = nullptr;
    HBITMAP bitmap_;
};

// Selects an object into a DC for its lifetime, then puts the previous one back.
class selection {
public:
    selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~selection() { SelectObject(dc_, previous_); }
    selection(const selection&) = delete;
    selection& operator=(const selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

bool saveWindowPicture(HWND window, const std::string& bmpPath) {
    RECT area;
    if (!GetWindowRect(window, &area)) return false;
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    DWORD rowSize = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    info.bmiHeader.biSizeImage = rowSize * height;

    screenDc screen;
    memoryDc memory(screen.get());
    dibSection picture(screen.get(), info);
    if (!screen.get() || !memory.get() || !picture.get()) return false;
    {
        selection selected(memory.get(), picture.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY)) return false;
    }
    GdiFlush();

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    std::ofstream out(bmpPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(picture.bits()), info.bmiHeader.biSizeImage);
    return static_cast<bool>(out);
}

}  // namespace kivhost
