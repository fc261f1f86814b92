#include "schemeCheck.h"

#include <cstdio>

namespace kivhost {

namespace {

std::string fullPath(const std::string& path) {
    char full[MAX_PATH] = "";
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? full : path;
}

}  // namespace

schemeCheck::schemeCheck(const std::string& schemePath, const std::string& hostFolder)
    : path_(fullPath(schemePath)), hostFolder_(hostFolder) {
    if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        errors_.push_back(path_ + ": no such file");
        return;
    }
    char section[16] = "";
    if (!GetPrivateProfileSectionA("skin", section, sizeof section, path_.c_str())) {
        errors_.push_back("no [skin] section: every key of the look belongs there");
        return;
    }
    SIZE normal = {250, 50}, small = {250, 24};
    checkSize("window_size", normal);
    checkSize("window_sizesmall", small);
    SIZE bitmap;
    if (bitmapSize("bitmap_source", bitmap)) checkCut("bitmap_cut", bitmap);
    else if (value("skin", "bitmap_source").empty())
        warnings_.push_back("no bitmap_source: the windows are plain rectangles in window_bgcolor with a frame");
    if (bitmapSize("bitmap_sourcesmall", bitmap)) checkCut("bitmap_cutsmall", bitmap);
    checkRect("id_rect", normal);
    checkRect("desc_rect", normal);
    checkFont("id_font");
    checkFont("desc_font");
    int version = static_cast<int>(GetPrivateProfileIntA("skin", "ver", 1, path_.c_str()));
    if (version < 2)
        warnings_.push_back("ver is " + std::to_string(version) +
                            ": the options page lists only schemes with ver=2 or more");
    if (value("info", "title").empty()) warnings_.push_back("no [info] title: the options page shows the file name");
}

std::string schemeCheck::value(const char* section, const char* key) const {
    char text[1024] = "";
    GetPrivateProfileStringA(section, key, "", text, sizeof text, path_.c_str());
    return text;
}

bool schemeCheck::present(const char* key) const {
    char text[8] = "";
    return GetPrivateProfileStringA("skin", key, "\x01", text, sizeof text, path_.c_str()) != 1 || text[0] != '\x01';
}

bool schemeCheck::bitmapSize(const char* key, SIZE& size) {
    std::string file = value("skin", key);
    if (file.empty()) return false;
    std::string resolved = file[0] == '#' ? hostFolder_ + file.substr(1) : file;
    HANDLE image = LoadImageA(nullptr, resolved.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!image) {
        errors_.push_back(std::string(key) + ": cannot load the bitmap " + resolved +
                          (file[0] == '#' ? " (\"#\" stands for the host's folder)" : "") +
                          "; the plug-in would draw no skin");
        return false;
    }
    BITMAP info = {};
    GetObjectA(image, sizeof info, &info);
    DeleteObject(image);
    size = {info.bmWidth, info.bmHeight};
    return true;
}

void schemeCheck::checkCut(const char* key, const SIZE& bitmap) {
    int x1 = 1, x2 = 1, y1 = 2, y2 = 2;
    std::string text = value("skin", key);
    if (!text.empty() && sscanf(text.c_str(), "%d,%d,%d,%d", &x1, &x2, &y1, &y2) != 4)
        warnings_.push_back(std::string(key) + "=" + text +
                            " is not four numbers x1,x2,y1,y2: the missing ones keep the defaults 1,1,2,2");
    if (x1 < 0 || x1 > x2 || x2 > bitmap.cx || y1 < 0 || y1 > y2 || y2 > bitmap.cy) {
        char message[256];
        snprintf(message, sizeof message,
                 "%s=%d,%d,%d,%d lies outside the %ld x %ld bitmap: the cut columns need 0 <= x1 <= x2 <= %ld "
                 "and the cut rows 0 <= y1 <= y2 <= %ld",
                 key, x1, x2, y1, y2, bitmap.cx, bitmap.cy, bitmap.cx, bitmap.cy);
        errors_.push_back(message);
    }
}

void schemeCheck::checkFont(const char* key) {
    if (!present(key)) {
        warnings_.push_back(std::string("no ") + key + ": the system's default font is used");
        return;
    }
    LOGFONTA font;
    if (!GetPrivateProfileStructA("skin", key, &font, sizeof font, path_.c_str()))
        errors_.push_back(std::string(key) + " is not a font record: expected the 60 bytes of a LOGFONTA as 120 " +
                          "hexadecimal digits followed by two digits of their checksum (as " +
                          "WritePrivateProfileStructA writes them)");
}

void schemeCheck::checkSize(const char* key, SIZE& size) {
    std::string text = value("skin", key);
    if (text.empty()) return;
    int width = size.cx, height = size.cy;
    int read = sscanf(text.c_str(), "%d,%d", &width, &height);
    if (read < 1 || width <= 0 || height <= 0) {
        errors_.push_back(std::string(key) + "=" + text + ": expected a positive width and height, as 250,50");
        return;
    }
    size = {width, height};
}

void schemeCheck::checkRect(const char* key, const SIZE& window) {
    std::string text = value("skin", key);
    int left, top, right, bottom;
    if (text.empty() || sscanf(text.c_str(), "%d,%d,%d,%d", &left, &top, &right, &bottom) != 4) return;
    if (left >= right || top >= bottom)
        errors_.push_back(std::string(key) + "=" + text + ": expected left,top,right,bottom with left < right and " +
                          "top < bottom; nothing would be drawn there");
    else if (left < 0 || top < 0 || right > window.cx || bottom > window.cy)
        warnings_.push_back(std::string(key) + "=" + text + " reaches outside the " + std::to_string(window.cx) +
                            " x " + std::to_string(window.cy) + " window: the text is cut at its edge");
}

}  // namespace kivhost
