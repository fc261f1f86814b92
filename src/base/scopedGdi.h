// Owners for graphics objects and device contexts: each frees exactly what it was given, once.
#pragma once

#include <windows.h>

#include <utility>

namespace kiv {

// A GDI object (bitmap, font, brush, region) deleted with DeleteObject.
template <class Handle>
class gdiObject {
public:
    gdiObject() = default;
    explicit gdiObject(Handle handle) : handle_(handle) {}
    ~gdiObject() { reset(); }
    gdiObject(const gdiObject&) = delete;
    gdiObject& operator=(const gdiObject&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Hands the object to someone else (the system, a longer-lived owner).
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

using scopedBitmap = gdiObject<HBITMAP>;
using scopedFont = gdiObject<HFONT>;
using scopedBrush = gdiObject<HBRUSH>;
using scopedRegion = gdiObject<HRGN>;

// A memory device context from CreateCompatibleDC.
class memoryDC {
public:
    explicit memoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~memoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    memoryDC(const memoryDC&) = delete;
    memoryDC& operator=(const memoryDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A window's (or the screen's, for a null window) device context from GetDC.
class windowDC {
public:
    explicit windowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~windowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    windowDC(const windowDC&) = delete;
    windowDC& operator=(const windowDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a context for one scope; the previous one goes back at the end.
class selection {
public:
    selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~selection() {
        if (previous_) SelectObject(dc_, previous_);
    }
    selection(const selection&) = delete;
    selection& operator=(const selection&) = delete;

    bool selected() const { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace kiv
