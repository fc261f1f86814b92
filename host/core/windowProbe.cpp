#include "windowProbe.h"

#include <fstream>

namespace kivhost {

BITMAPINFO topDownFormat(int width, int height) {
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

namespace {

struct classSearch {
    std::string className;
    std::vector<HWND> found;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<classSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && wanted->className == name)
        wanted->found.push_back(window);
    return TRUE;
}

// Copies from a device context into a top-down 32-bit section and reads it back.
picture capture(HDC source, int x, int y, int width, int height) {
    picture image;
    if (!source || width <= 0 || height <= 0) return image;
    BITMAPINFO format = topDownFormat(width, height);
    void* bits = nullptr;
    HDC copy = CreateCompatibleDC(source);
    HBITMAP section = CreateDIBSection(copy, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section && bits) {
        HGDIOBJ previous = SelectObject(copy, section);
        BitBlt(copy, 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
        image.width = width;
        image.height = height;
        image.pixels.resize(static_cast<size_t>(width) * height);
        const auto* pixel = static_cast<const BYTE*>(bits);
        for (COLORREF& colour : image.pixels) {
            colour = RGB(pixel[2], pixel[1], pixel[0]);
            pixel += 4;
        }
        SelectObject(copy, previous);
    }
    if (section) DeleteObject(section);
    DeleteDC(copy);
    return image;
}

}  // namespace

std::vector<HWND> findWindows(const char* className) {
    classSearch search{className ? className : "", {}};
    EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT windowRect(HWND window) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

RECT areaOfWindows(const char* className) {
    RECT area = {0, 0, 0, 0};
    for (HWND shown : findWindows(className)) {
        RECT placed = windowRect(shown);
        UnionRect(&area, &area, &placed);
    }
    return area;
}

bool windowShape::contains(int x, int y) const {
    for (const RECT& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

long windowShape::area() const {
    long total = 0;
    for (const RECT& r : rects) total += (r.right - r.left) * (r.bottom - r.top);
    return total;
}

windowShape shapeOf(HWND window) {
    windowShape shape;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(window, region);
    shape.hasShape = kind != ERROR;
    DWORD size = shape.hasShape ? GetRegionData(region, 0, nullptr) : 0;
    if (size) {
        std::vector<BYTE> data(size);
        auto* regionData = reinterpret_cast<RGNDATA*>(data.data());
        if (GetRegionData(region, size, regionData)) {
            const auto* rects = reinterpret_cast<const RECT*>(regionData->Buffer);
            shape.rects.assign(rects, rects + regionData->rdh.nCount);
        }
    }
    DeleteObject(region);
    return shape;
}

bool layeredAlpha(HWND window, BYTE& alpha) {
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED)) return false;
    DWORD flags = 0;
    COLORREF key = 0;
    return GetLayeredWindowAttributes(window, &key, &alpha, &flags) && (flags & LWA_ALPHA);
}

picture captureScreen(const RECT& area) {
    HDC screen = GetDC(nullptr);
    picture image = capture(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    return image;
}

picture captureWindow(HWND window) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    picture image = capture(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(window, dc);
    return image;
}

picture captureBitmap(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return {};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    picture image = capture(dc, 0, 0, info.bmWidth, info.bmHeight);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return image;
}

bool saveBmp(const picture& image, const std::string& path) {
    if (image.width <= 0 || image.height <= 0) return false;
    const int stride = (image.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = image.height;  // bottom-up, as BMP files usually are
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride) * image.height;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    std::vector<char> row(stride, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            COLORREF colour = image.at(x, y);
            row[x * 3] = static_cast<char>(GetBValue(colour));
            row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
            row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
        }
        out.write(row.data(), stride);
    }
    return static_cast<bool>(out);
}

}  // namespace kivhost
