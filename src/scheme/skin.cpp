#include "scheme/skin.h"

#include <algorithm>
#include <cstdio>

#include "base/moduleState.h"
#include "base/text.h"
#include "scheme/schemeFaults.h"
#include "scheme/skinBitmap.h"

namespace kiv {

namespace {

constexpr const char* section = "skin";

// Sizes and positions are kept to what 16-bit coordinates hold. Nothing real is larger, and text
// drawn at coordinates far beyond can keep the platform busy for minutes in a single paint.
struct range {
    int32_t lowest, highest;
};
constexpr range sizes = {0, 32767};
constexpr range coordinates = {-32768, 32767};

class schemeReader {
public:
    explicit schemeReader(const char* file) : file_(file) {}

    int number(const char* key, int fallback) const {
        return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, file_));
    }
    bool flag(const char* key, bool fallback) const { return number(key, fallback ? 1 : 0) != 0; }
    COLORREF colour(const char* key, COLORREF fallback) const {
        return static_cast<COLORREF>(GetPrivateProfileIntA(section, key, static_cast<INT>(fallback), file_));
    }

    // "a,b" or "a,b,c,d" into the fields in that order, each kept within the range; a shorter list
    // leaves the members it lacks as they were.
    template <class Field, size_t N>
    void numbers(const char* key, const char* fallback, Field* const (&fields)[N], const range& limits) const {
        char value[pathSize];
        GetPrivateProfileStringA(section, key, fallback, value, sizeof value, file_);
        int32_t read[N];
        int count = readNumberList(value, read, static_cast<int>(N));
        for (int i = 0; i < count; ++i) *fields[i] = std::clamp(read[i], limits.lowest, limits.highest);
    }

    // The bitmap a path names, or null: as with a missing file when the path names the network or
    // a device, or would not fit its buffer (a cut path names another file).
    HBITMAP bitmap(const char* key) const {
        char value[pathSize];
        GetPrivateProfileStringA(section, key, "", value, sizeof value, file_);
        char path[pathSize];
        if (!value[0] || skinBitmapPath(value, plugin.hostFolder, path, sizeof path)) return nullptr;
        return loadSkinBitmap(path);
    }

    // The platform's own struct format: 120 hex digits and a checksum. A value that does not
    // decode, or a record no notification could use, leaves the font as it was.
    void font(const char* key, LOGFONTA& field) const {
        LOGFONTA read;
        static_assert(sizeof read == 60, "scheme fonts are 60-byte records");
        if (!GetPrivateProfileStructA(section, key, &read, sizeof read, file_) || fontFault(read)) return;
        field = read;
    }

private:
    const char* file_;
};

}  // namespace

skin::skin() = default;

skin::~skin() = default;

skin::sources::~sources() {
    if (bitmap) DeleteObject(bitmap);
    if (smallBitmap) DeleteObject(smallBitmap);
}

void skin::load(const char* folder, const char* file) {
    sources_.reset();
    bitmap = smallBitmap = currentBitmap = nullptr;
    file_ = file ? file : "";
    char path[pathSize];
    snprintf(path, sizeof path, "%s%s", folder ? folder : "", file ? file : "");
    schemeReader scheme(path);

    scheme.numbers("window_size", "250,50", {&width, &height}, sizes);
    scheme.numbers("window_sizesmall", "250,24", {&smallWidth, &smallHeight}, sizes);
    autoHeight = scheme.flag("window_autoheight", true);
    backgroundColor = scheme.colour("window_bgcolor", 0xFFFFFF);
    frameColor = scheme.colour("window_framecolor", 0);
    colorKey = scheme.colour("bitmap_colorkey", 0xFF00FF);
    bitmap = scheme.bitmap("bitmap_source");
    scheme.numbers("bitmap_cut", "1,1,2,2", {&cut.left, &cut.right, &cut.top, &cut.bottom}, coordinates);
    smallBitmap = scheme.bitmap("bitmap_sourcesmall");
    sources_ = std::make_shared<const sources>(bitmap, smallBitmap);
    scheme.numbers("bitmap_cutsmall", "1,1,2,2", {&smallCut.left, &smallCut.right, &smallCut.top, &smallCut.bottom},
                   coordinates);
    scheme.numbers("icon_pos", "4,4", {&iconPos.x, &iconPos.y}, coordinates);
    scheme.numbers("id_rect", "30,4,225,20", {&idRect.left, &idRect.top, &idRect.right, &idRect.bottom}, coordinates);
    scheme.font("id_font", idFont);
    idColor = scheme.colour("id_color", 0);
    scheme.numbers("desc_rect", "5,23,225,46", {&descRect.left, &descRect.top, &descRect.right, &descRect.bottom},
                   coordinates);
    scheme.font("desc_font", descFont);
    descColor = scheme.colour("desc_color", 0);
    actionBack = scheme.colour("actionback", backgroundColor);
    actionText = scheme.colour("actiontext", descColor);
    actionFrame = scheme.colour("actionframe", descColor);
    progressColor = scheme.colour("progresscolor", idColor);
}

void skin::copyFrom(const skin& other) {
    if (this == &other) return;
    composed.reset();
    width = other.width;
    height = other.height;
    smallWidth = other.smallWidth;
    smallHeight = other.smallHeight;
    autoHeight = other.autoHeight;
    backgroundColor = other.backgroundColor;
    frameColor = other.frameColor;
    colorKey = other.colorKey;
    sources_ = other.sources_;
    bitmap = other.bitmap;
    cut = other.cut;
    smallBitmap = other.smallBitmap;
    smallCut = other.smallCut;
    currentBitmap = other.currentBitmap;
    currentCut = other.currentCut;
    iconPos = other.iconPos;
    idRect = other.idRect;
    idFont = other.idFont;
    idColor = other.idColor;
    descRect = other.descRect;
    descFont = other.descFont;
    descColor = other.descColor;
    actionBack = other.actionBack;
    actionText = other.actionText;
    actionFrame = other.actionFrame;
    progressColor = other.progressColor;
}

}  // namespace kiv
