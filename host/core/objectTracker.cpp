#include "objectTracker.h"

#include "importPatch.h"

namespace kivhost {

namespace {

objectTracker& tracker() {
    return objectTracker::get();
}

template <class Handle>
Handle created(objectTracker::category kind, Handle handle, const char* what) {
    if (handle) tracker().add(kind, reinterpret_cast<void*>(handle), what);
    return handle;
}

HDC WINAPI createCompatibleDC(HDC dc) {
    return created(objectTracker::deviceContext, CreateCompatibleDC(dc), "DC");
}
BOOL WINAPI deleteDC(HDC dc) {
    tracker().remove(objectTracker::deviceContext, dc);
    return DeleteDC(dc);
}
HDC WINAPI getDC(HWND window) {
    return created(objectTracker::deviceContext, GetDC(window), "window DC");
}
int WINAPI releaseDC(HWND window, HDC dc) {
    tracker().remove(objectTracker::deviceContext, dc);
    return ReleaseDC(window, dc);
}

HBITMAP WINAPI createCompatibleBitmap(HDC dc, int width, int height) {
    return created(objectTracker::gdiObject, CreateCompatibleBitmap(dc, width, height), "bitmap");
}
HBITMAP WINAPI createBitmap(int width, int height, UINT planes, UINT bits, const void* data) {
    return created(objectTracker::gdiObject, CreateBitmap(width, height, planes, bits, data), "bitmap");
}
HBITMAP WINAPI createDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                              const BITMAPINFO* info, UINT usage) {
    return created(objectTracker::gdiObject, CreateDIBitmap(dc, header, init, bits, info, usage), "bitmap");
}
HBITMAP WINAPI createDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
    return created(objectTracker::gdiObject, CreateDIBSection(dc, info, usage, bits, section, offset), "DIB section");
}
HFONT WINAPI createFontIndirectA(const LOGFONTA* font) {
    return created(objectTracker::gdiObject, CreateFontIndirectA(font), "font");
}
HBRUSH WINAPI createSolidBrush(COLORREF colour) {
    return created(objectTracker::gdiObject, CreateSolidBrush(colour), "brush");
}
HRGN WINAPI extCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data) {
    return created(objectTracker::gdiObject, ExtCreateRegion(transform, size, data), "region");
}
HRGN WINAPI createRectRgn(int left, int top, int right, int bottom) {
    return created(objectTracker::gdiObject, CreateRectRgn(left, top, right, bottom), "region");
}
BOOL WINAPI deleteObject(HGDIOBJ object) {
    tracker().remove(objectTracker::gdiObject, object);
    return DeleteObject(object);
}

// Only bitmaps are the module's to free; shared cursors and icons are not.
HANDLE WINAPI loadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
    HANDLE image = LoadImageA(instance, name, type, width, height, flags);
    if (type == IMAGE_BITMAP && !(flags & LR_SHARED)) return created(objectTracker::gdiObject, image, "loaded bitmap");
    return image;
}
HBITMAP WINAPI loadBitmapA(HINSTANCE instance, LPCSTR name) {
    return created(objectTracker::gdiObject, LoadBitmapA(instance, name), "loaded bitmap");
}
int WINAPI setWindowRgn(HWND window, HRGN region, BOOL redraw) {
    int result = SetWindowRgn(window, region, redraw);
    if (result) tracker().remove(objectTracker::gdiObject, region);
    return result;
}

HWND WINAPI createWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
    return created(objectTracker::windowHandle,
                   CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance,
                                   parameter),
                   "window");
}
HWND WINAPI createDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure, LPARAM parameter) {
    return created(objectTracker::windowHandle, CreateDialogParamA(instance, name, parent, procedure, parameter),
                   "dialog");
}
BOOL WINAPI destroyWindow(HWND window) {
    tracker().remove(objectTracker::windowHandle, window);
    return DestroyWindow(window);
}

template <class Function>
void route(HMODULE module, const char* dll, const char* name, Function replacement) {
    patchImport(module, dll, name, reinterpret_cast<void*>(replacement));
}

}  // namespace

objectTracker& objectTracker::get() {
    static objectTracker instance;
    return instance;
}

void objectTracker::install(HMODULE module) {
    {
        lockHeld held(lock_);
        thread_ = GetCurrentThreadId();
    }
    route(module, "GDI32.dll", "CreateCompatibleDC", createCompatibleDC);
    route(module, "GDI32.dll", "DeleteDC", deleteDC);
    route(module, "GDI32.dll", "CreateCompatibleBitmap", createCompatibleBitmap);
    route(module, "GDI32.dll", "CreateBitmap", createBitmap);
    route(module, "GDI32.dll", "CreateDIBSection", createDIBSection);
    route(module, "GDI32.dll", "CreateDIBitmap", createDIBitmap);
    route(module, "GDI32.dll", "CreateFontIndirectA", createFontIndirectA);
    route(module, "GDI32.dll", "CreateSolidBrush", createSolidBrush);
    route(module, "GDI32.dll", "ExtCreateRegion", extCreateRegion);
    route(module, "GDI32.dll", "CreateRectRgn", createRectRgn);
    route(module, "GDI32.dll", "DeleteObject", deleteObject);
    route(module, "USER32.dll", "GetDC", getDC);
    route(module, "USER32.dll", "ReleaseDC", releaseDC);
    route(module, "USER32.dll", "LoadImageA", loadImageA);
    route(module, "USER32.dll", "LoadBitmapA", loadBitmapA);
    route(module, "USER32.dll", "SetWindowRgn", setWindowRgn);
    route(module, "USER32.dll", "CreateWindowExA", createWindowExA);
    route(module, "USER32.dll", "CreateDialogParamA", createDialogParamA);
    route(module, "USER32.dll", "DestroyWindow", destroyWindow);
}

void objectTracker::add(category kind, void* handle, const char* what) {
    lockHeld held(lock_);
    noteThread("made", what);
    live_[{kind, handle}] = what;
    ++made_[kind];
}

size_t objectTracker::madeCount(category kind) {
    lockHeld held(lock_);
    return made_[kind];
}

void objectTracker::remove(category kind, void* handle) {
    lockHeld held(lock_);
    auto found = live_.find({kind, handle});
    if (found == live_.end()) return;
    noteThread("freed", found->second);
    live_.erase(found);
}

void objectTracker::noteThread(const char* verb, const std::string& what) {
    if (GetCurrentThreadId() != thread_) strays_.push_back(std::string(verb) + " " + what);
}

std::vector<std::string> objectTracker::strays() {
    lockHeld held(lock_);
    return strays_;
}

// Windows closed through WM_CLOSE were destroyed by the system on the module's behalf.
const std::map<objectTracker::key, std::string>& objectTracker::live() {
    lockHeld held(lock_);
    for (auto at = live_.begin(); at != live_.end();) {
        if (at->first.first == windowHandle && !IsWindow(static_cast<HWND>(at->first.second)))
            at = live_.erase(at);
        else
            ++at;
    }
    return live_;
}

std::string objectTracker::summary() {
    std::map<std::string, int> counts;
    for (const auto& entry : live()) ++counts[entry.second];
    std::string text;
    for (const auto& count : counts) text += count.first + ": " + std::to_string(count.second) + "; ";
    return text.empty() ? "nothing" : text;
}

}  // namespace kivhost
