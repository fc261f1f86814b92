#include "schemeStarter.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "schemeValues.h"
#include "textCodec.h"
#include "windowProbe.h"

namespace kivhost {

namespace {

constexpr int bitmapWidth = 40, bitmapHeight = 30, border = 4;
constexpr COLORREF frame = RGB(0x4A, 0x6F, 0x96), fill = RGB(0xF4, 0xF7, 0xFB), keyColour = RGB(0xFF, 0x00, 0xFF);

bool plainName(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    for (char c : name)
        if (!isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
    return true;
}

// A two-pixel frame round a light middle, each corner pixel cut off by the colour key.
picture starterBitmap() {
    picture image;
    image.width = bitmapWidth;
    image.height = bitmapHeight;
    for (int y = 0; y < bitmapHeight; ++y)
        for (int x = 0; x < bitmapWidth; ++x) {
            int fromEdge = std::min(std::min(x, bitmapWidth - 1 - x), std::min(y, bitmapHeight - 1 - y));
            bool corner = (x == 0 || x == bitmapWidth - 1) && (y == 0 || y == bitmapHeight - 1);
            image.pixels.push_back(corner ? keyColour : fromEdge < 2 ? frame : fill);
        }
    return image;
}

std::string font(const char* face, const char* size, bool bold) {
    std::string value, ignored;
    std::vector<std::string> words = {face, size};
    if (bold) words.push_back("bold");
    fontValue(words, value, ignored);
    return value;
}

}  // namespace

bool writeStarterScheme(const std::string& name, std::string& error) {
    if (!plainName(name)) {
        error = "'" + name + "' is not a scheme name: expected letters, digits, '-' or '_', as moj-schemat";
        return false;
    }
    const std::string scheme = name + ".kivs", bitmap = name + ".bmp";
    for (const std::string& file : {scheme, bitmap})
        if (fileExists(file)) {
            error = file + " exists already: choose another NAME or move it away";
            return false;
        }
    if (!saveBmp(starterBitmap(), bitmap)) {
        error = "cannot write " + bitmap;
        return false;
    }
    std::ofstream out(scheme, std::ios::binary);
    out << "; " << name << ": a kiv scheme. Install it with its bitmap into plugins\\kiv.scheme\\ in the\r\n"
        << "; messenger's folder; check it with ./kiv preview " << scheme << " (or kivhost --preview).\r\n"
        << "; Colours: ./kiv scheme-colour '#RRGGBB'. Fonts: ./kiv scheme-font FACE SIZE [bold] [italic].\r\n"
        << "[skin]\r\n"
        << "; width,height of a normal window (with a description) and of a small one\r\n"
        << "window_size=250,50\r\nwindow_sizesmall=250,24\r\nwindow_autoheight=1\r\n"
        << "; where no bitmap is drawn: " << describeColour(fill) << " and a frame of " << describeColour(frame) << "\r\n"
        << "window_bgcolor=" << fill << "\r\nwindow_framecolor=" << frame << "\r\n"
        << "; pixels of this colour (magenta) are cut out of the window\r\n"
        << "bitmap_colorkey=" << keyColour << "\r\n"
        << "; \"#\" is the messenger's folder; x1,x2,y1,y2: the cut columns, then the cut rows\r\n"
        << "bitmap_source=#plugins\\kiv.scheme\\" << bitmap << "\r\nbitmap_cut=" << border << ","
        << bitmapWidth - border << "," << border << "," << bitmapHeight - border << "\r\n"
        << "; x,y of the icon; left,top,right,bottom of the contact line and of the description\r\n"
        << "icon_pos=6,5\r\nid_rect=26,5,244,21\r\n"
        << "; Tahoma 8 bold, " << describeColour(frame) << "\r\n"
        << "id_font=" << font("Tahoma", "8", true) << "\r\nid_color=" << frame << "\r\n"
        << "desc_rect=8,24,244,46\r\n"
        << "; Tahoma 8, #303030\r\n"
        << "desc_font=" << font("Tahoma", "8", false) << "\r\ndesc_color=" << RGB(0x30, 0x30, 0x30) << "\r\n"
        << "ver=2\r\n[info]\r\ntitle=" << name << "\r\n";
    if (!out.flush()) {
        error = "cannot write " + scheme;
        return false;
    }
    return true;
}

}  // namespace kivhost
