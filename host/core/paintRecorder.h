// What the plug-in paints, seen at its import table: for each window, the texts it drew and the
// bitmap resources it loaded during its latest paint. Tests read a notification's contact line,
// description and icon name from here, as a person would read them off the screen.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace kivhost {

// The font and colour a text was drawn in: what the device context held at the time.
struct textStyle {
    LOGFONTA font;
    COLORREF colour;
};

struct paintedWindow {
    std::vector<std::string> texts;  // in drawing order; wide texts as UTF-8
    std::vector<textStyle> styles;  // one for each text
    std::vector<std::string> bitmaps;  // resource names loaded while painting
};

class paintRecorder {
public:
    static paintRecorder& get();
    void install(HMODULE module);
    void clear() { windows_.clear(); }
    paintedWindow latest(HWND window) const;

private:
    static HDC WINAPI beginPaint(HWND window, LPPAINTSTRUCT paint);
    static BOOL WINAPI endPaint(HWND window, const PAINTSTRUCT* paint);
    static int WINAPI drawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format);
    static int WINAPI drawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format);
    static int WINAPI drawTextExA(HDC dc, LPSTR text, int length, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);
    static HANDLE WINAPI loadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
    void recordText(HDC dc, const char* text, int length, UINT format);

    std::map<HWND, paintedWindow> windows_;
    HWND painting_ = nullptr;
    decltype(&BeginPaint) beginPaint_ = nullptr;
    decltype(&EndPaint) endPaint_ = nullptr;
    decltype(&DrawTextA) drawTextA_ = nullptr;
    decltype(&DrawTextW) drawTextW_ = nullptr;
    decltype(&DrawTextExA) drawTextExA_ = nullptr;
    decltype(&LoadImageA) loadImageA_ = nullptr;
};

}  // namespace kivhost
