#include "paintRecorder.h"

#include "importPatch.h"

namespace kivhost {

namespace {

template <class Fn>
void patch(HMODULE module, const char* dll, const char* name, Fn replacement, Fn& original) {
    void* previous = patchImport(module, dll, name, reinterpret_cast<void*>(replacement));
    if (previous) original = reinterpret_cast<Fn>(previous);
}

}  // namespace

paintRecorder& paintRecorder::get() {
    static paintRecorder recorder;
    return recorder;
}

void paintRecorder::install(HMODULE module) {
    beginPaint_ = &BeginPaint;
    endPaint_ = &EndPaint;
    drawTextA_ = &DrawTextA;
    drawTextW_ = &DrawTextW;
    drawTextExA_ = &DrawTextExA;
    loadImageA_ = &LoadImageA;
    patch(module, "USER32.dll", "BeginPaint", &paintRecorder::beginPaint, beginPaint_);
    patch(module, "USER32.dll", "EndPaint", &paintRecorder::endPaint, endPaint_);
    patch(module, "USER32.dll", "DrawTextA", &paintRecorder::drawTextA, drawTextA_);
    patch(module, "USER32.dll", "DrawTextW", &paintRecorder::drawTextW, drawTextW_);
    patch(module, "USER32.dll", "DrawTextExA", &paintRecorder::drawTextExA, drawTextExA_);
    patch(module, "USER32.dll", "LoadImageA", &paintRecorder::loadImageA, loadImageA_);
}

paintedWindow paintRecorder::latest(HWND window) const {
    auto found = windows_.find(window);
    return found == windows_.end() ? paintedWindow() : found->second;
}

HDC WINAPI paintRecorder::beginPaint(HWND window, LPPAINTSTRUCT paint) {
    paintRecorder& r = get();
    r.painting_ = window;
    r.windows_[window] = paintedWindow();
    return r.beginPaint_(window, paint);
}

BOOL WINAPI paintRecorder::endPaint(HWND window, const PAINTSTRUCT* paint) {
    paintRecorder& r = get();
    r.painting_ = nullptr;
    return r.endPaint_(window, paint);
}

void paintRecorder::recordText(HDC dc, const char* text, int length, UINT format) {
    if (!painting_ || !text || (format & DT_CALCRECT)) return;
    paintedWindow& window = windows_[painting_];
    window.texts.push_back(length < 0 ? std::string(text) : std::string(text, length));
    textStyle style = {};
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof style.font, &style.font);
    style.colour = GetTextColor(dc);
    window.styles.push_back(style);
}

int WINAPI paintRecorder::drawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
    get().recordText(dc, text, length, format);
    return get().drawTextA_(dc, text, length, rect, format);
}

int WINAPI paintRecorder::drawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format) {
    if (text) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
        if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], bytes, nullptr, nullptr);
        if (length < 0 && !utf8.empty()) utf8.pop_back();  // the terminator came along
        get().recordText(dc, utf8.c_str(), static_cast<int>(utf8.size()), format);
    }
    return get().drawTextW_(dc, text, length, rect, format);
}

int WINAPI paintRecorder::drawTextExA(HDC dc, LPSTR text, int length, LPRECT rect, UINT format,
                                     LPDRAWTEXTPARAMS params) {
    get().recordText(dc, text, length, format);
    return get().drawTextExA_(dc, text, length, rect, format, params);
}

HANDLE WINAPI paintRecorder::loadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    paintRecorder& r = get();
    if (r.painting_ && name && !IS_INTRESOURCE(name) && !(flags & LR_LOADFROMFILE))
        r.windows_[r.painting_].bitmaps.push_back(name);
    return r.loadImageA_(instance, name, type, cx, cy, flags);
}

}  // namespace kivhost
