#include "schemeCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "nearestName.h"
#include "scheme/schemeFaults.h"
#include "scheme/skinBitmap.h"
#include "schemeValues.h"

namespace kivhost {

namespace {

enum class form { number, colour, pair, quad, font, path, text };

struct knownKey {
    const char* section;
    const char* key;
    form kind;
    const char* example;  // the default, as a model value
    const char* shape;    // what the numbers of a list are
};

constexpr knownKey knownKeys[] = {
    {"skin", "window_size", form::pair, "250,50", "width,height"},
    {"skin", "window_sizesmall", form::pair, "250,24", "width,height"},
    {"skin", "window_autoheight", form::number, "1", ""},
    {"skin", "window_bgcolor", form::colour, "16777215", ""},
    {"skin", "window_framecolor", form::colour, "0", ""},
    {"skin", "bitmap_colorkey", form::colour, "16711935", ""},
    {"skin", "bitmap_source", form::path, "", ""},
    {"skin", "bitmap_cut", form::quad, "1,1,2,2", "x1,x2,y1,y2"},
    {"skin", "bitmap_sourcesmall", form::path, "", ""},
    {"skin", "bitmap_cutsmall", form::quad, "1,1,2,2", "x1,x2,y1,y2"},
    {"skin", "icon_pos", form::pair, "4,4", "x,y"},
    {"skin", "id_rect", form::quad, "30,4,225,20", "left,top,right,bottom"},
    {"skin", "id_font", form::font, "", ""},
    {"skin", "id_color", form::colour, "0", ""},
    {"skin", "desc_rect", form::quad, "5,23,225,46", "left,top,right,bottom"},
    {"skin", "desc_font", form::font, "", ""},
    {"skin", "desc_color", form::colour, "0", ""},
    {"skin", "actionback", form::colour, "", ""},
    {"skin", "actiontext", form::colour, "", ""},
    {"skin", "actionframe", form::colour, "", ""},
    {"skin", "progresscolor", form::colour, "", ""},
    {"skin", "ver", form::number, "2", ""},
    {"info", "title", form::text, "", ""},
};

const std::string installedFolder = "plugins\\kiv.scheme\\";

bool sameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Folders compared as the platform names them: any case, either slash.
bool startsWithFolder(std::string text, const std::string& folder) {
    std::replace(text.begin(), text.end(), '/', '\\');
    return text.size() >= folder.size() && sameName(text.substr(0, folder.size()), folder);
}

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string fullPath(const std::string& path) {
    char full[MAX_PATH] = "";
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? full : path;
}

std::string currentFolder() {
    char folder[MAX_PATH] = "";
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    std::string text = length > 0 && length < sizeof folder ? folder : "";
    return !text.empty() && text.back() != '\\' ? text + "\\" : text;
}

// Neither from a drive ("C:...") nor from the root ("\\..." or "/...").
bool isRelative(const std::string& path) {
    return !(path.size() >= 2 && path[1] == ':') && path[0] != '\\' && path[0] != '/';
}

const knownKey* findKey(const std::string& section, const std::string& key) {
    for (const knownKey& known : knownKeys)
        if (sameName(section, known.section) && sameName(key, known.key)) return &known;
    return nullptr;
}

// The numbers of a list as the plug-in reads them: each may follow spaces, each but the last is
// followed by a comma, and reading stops at anything else; rest is what follows.
void readList(const std::string& text, std::vector<long>& numbers, size_t wanted, std::string& rest) {
    const char* at = text.c_str();
    while (numbers.size() < wanted) {
        char* end = nullptr;
        long number = strtol(at, &end, 10);
        if (end == at) break;
        numbers.push_back(number);
        at = end;
        if (*at != ',' || numbers.size() == wanted) break;
        ++at;
    }
    rest = at;
}

std::string joined(const std::vector<long>& numbers) {
    std::string text;
    for (long number : numbers) text += (text.empty() ? "" : ",") + std::to_string(number);
    return text;
}

}  // namespace

schemeCheck::schemeCheck(const std::string& schemePath, const std::string& hostFolder)
    : path_(fullPath(schemePath)), hostFolder_(hostFolder) {
    folder_ = path_.substr(0, path_.find_last_of('\\') + 1);
    exists_ = GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!exists_) {
        errors_.push_back({0, path_ + ": no such file"});
        return;
    }
    readLines();
    checkKeys();
    char section[16] = "";
    if (!GetPrivateProfileSectionA("skin", section, sizeof section, path_.c_str())) {
        errors_.push_back({0, "no [skin] section: every key of the look belongs there"});
        return;
    }
    SIZE normal = {250, 50}, small = {250, 24};
    checkSize("window_size", normal);
    checkSize("window_sizesmall", small);
    SIZE bitmap;
    if (bitmapSize("bitmap_source", bitmap)) checkCut("bitmap_cut", bitmap);
    else if (value("skin", "bitmap_source").empty())
        warning("bitmap_source", "no bitmap_source: the windows are plain rectangles in window_bgcolor with a frame");
    if (bitmapSize("bitmap_sourcesmall", bitmap)) checkCut("bitmap_cutsmall", bitmap);
    checkRect("id_rect", normal);
    checkRect("desc_rect", normal);
    checkFont("id_font");
    checkFont("desc_font");
    int version = static_cast<int>(GetPrivateProfileIntA("skin", "ver", 1, path_.c_str()));
    if (version < 2)
        warning("ver", "ver is " + std::to_string(version) +
                           ": the options page lists only schemes with ver=2 or more");
    if (value("info", "title").empty()) warnings_.push_back({0, "no [info] title: the options page shows the file name"});
}

// Sections and keys with their line numbers, as the private-profile functions split the file.
void schemeCheck::readLines() {
    std::ifstream in(path_, std::ios::binary);
    std::string line, section;
    for (int number = 1; std::getline(in, line); ++number) {
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = trim(line.substr(1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1));
            lines_.push_back({section, "", number, false});
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) lines_.push_back({section, line, number, false});
        else lines_.push_back({section, trim(line.substr(0, equals)), number, true});
    }
}

// Every line of [skin] and [info] names a key the plug-in reads, once, in a value of its form.
void schemeCheck::checkKeys() {
    std::vector<std::string> sectionNames = {"skin", "info"};
    std::vector<std::pair<std::string, int>> seen;
    for (const keyLine& entry : lines_) {
        bool skin = sameName(entry.section, "skin"), info = sameName(entry.section, "info");
        if (entry.key.empty()) {
            if (skin || info) continue;
            std::string meant = nearestName(entry.section, sectionNames);
            warnings_.push_back({entry.line, "[" + entry.section + "]: the plug-in reads no such section" +
                                                 (meant.empty() ? "" : "; did you mean [" + meant + "]?")});
            continue;
        }
        if (!skin && !info) continue;
        std::string where = "[" + entry.section + "]";
        if (!entry.hasValue) {
            errors_.push_back({entry.line, "'" + entry.key + "' in " + where + " is not KEY=VALUE"});
            continue;
        }
        auto first = std::find_if(seen.begin(), seen.end(), [&](const std::pair<std::string, int>& s) {
            return sameName(s.first, entry.section + "/" + entry.key);
        });
        if (first != seen.end()) {
            warnings_.push_back({entry.line, entry.key + " is set again (first on line " + std::to_string(first->second) +
                                                 "): the plug-in reads only the first"});
            continue;
        }
        seen.push_back({entry.section + "/" + entry.key, entry.line});
        if (const knownKey* known = findKey(entry.section, entry.key)) {
            if (known->kind == form::colour) checkColour(known->key);
            else if (known->kind == form::number || known->kind == form::pair || known->kind == form::quad)
                checkForm(known->key);
            continue;
        }
        std::vector<std::string> names, elsewhere;
        for (const knownKey& known : knownKeys)
            (sameName(entry.section, known.section) ? names : elsewhere).push_back(known.key);
        std::string meant = nearestName(entry.key, names);
        std::string text = entry.key + ": the plug-in reads no such key in " + where;
        if (!meant.empty()) text += "; did you mean " + meant + "?";
        else if (std::any_of(elsewhere.begin(), elsewhere.end(), [&](const std::string& n) { return sameName(n, entry.key); }))
            text += "; it belongs in [" + std::string(skin ? "info" : "skin") + "]";
        // Whatever [info] holds besides the title only describes the scheme.
        (skin ? errors_ : warnings_).push_back({entry.line, text});
    }
}

int schemeCheck::lineOf(const char* section, const char* key) const {
    for (const keyLine& entry : lines_)
        if (sameName(entry.section, section) && sameName(entry.key, key)) return entry.line;
    return 0;
}

void schemeCheck::error(const char* key, const std::string& text) {
    errors_.push_back({lineOf("skin", key), text});
}

void schemeCheck::warning(const char* key, const std::string& text) {
    warnings_.push_back({lineOf("skin", key), text});
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

// A number, or a list of two or four, read as the plug-in reads it.
void schemeCheck::checkForm(const char* key) {
    const knownKey& known = *findKey("skin", key);
    std::string text = value("skin", key);
    const std::string shown = std::string(key) + "=" + text;
    if (known.kind == form::number) {
        char* end = nullptr;
        strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0')
            error(key, shown + " is not a whole number (as " + known.example + "): the plug-in reads " +
                           std::to_string(GetPrivateProfileIntA("skin", key, 0, path_.c_str())));
        return;
    }
    size_t wanted = known.kind == form::pair ? 2 : 4;
    const std::string expected = std::string(wanted == 2 ? "two" : "four") + " numbers " + known.shape;
    std::vector<long> numbers;
    std::string rest;
    readList(text, numbers, wanted, rest);
    if (numbers.empty())
        error(key, shown + " is not " + expected + " (as " + known.example + "): the plug-in keeps " + known.example);
    else if (numbers.size() < wanted && !rest.empty())
        error(key, shown + " is not " + expected + " (as " + known.example + "): the plug-in reads only " +
                       joined(numbers) + " and stops at '" + rest + "'");
    else if (numbers.size() < wanted)
        warning(key, shown + " is not " + expected + ": the missing ones keep the defaults " + known.example);
    else if (!trim(rest).empty())
        warning(key, shown + ": the plug-in reads " + joined(numbers) + " and ignores '" + rest + "'");
}

// Colours are decimal 0x00BBGGRR values; a web colour or a hexadecimal number reads as another.
void schemeCheck::checkColour(const char* key) {
    std::string text = value("skin", key);
    char* end = nullptr;
    long number = strtol(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0' && number >= 0 && number <= 0xFFFFFF) return;
    UINT read = GetPrivateProfileIntA("skin", key, 0, path_.c_str());
    std::string message = std::string(key) + "=" + text +
                          " is not a colour: colours are decimal numbers 0x00BBGGRR, 0 to 16777215";
    std::string decimal, ignored;
    if (colourValue(text, decimal, ignored))
        message += "; for " + text + " write " + decimal + " (./kiv scheme-colour '" + text + "')";
    error(key, message + "; the plug-in reads " + std::to_string(read) + " (" + describeColour(read & 0xFFFFFF) + ")");
}

std::string schemeCheck::resolveHash(const std::string& rest) const {
    const size_t length = installedFolder.size();
    if (folder_.size() >= length && sameName(folder_.substr(folder_.size() - length), installedFolder))
        return folder_.substr(0, folder_.size() - length) + rest;
    if (startsWithFolder(rest, installedFolder)) return folder_ + rest.substr(length);
    return hostFolder_ + rest;
}

bool schemeCheck::bitmapSize(const char* key, SIZE& size) {
    std::string file = value("skin", key);
    if (file.empty()) return false;
    bool hash = file[0] == '#';
    bool relative = !hash && isRelative(file);
    const std::string shown = std::string(key) + "=" + file;
    // Checked before anything touches the path: looking a network path up is already enough to
    // send the user's credentials.
    if (const char* fault = kiv::pathFault(hash ? file.c_str() + 1 : file.c_str())) {
        error(key, shown + " is " + fault + ": the plug-in never opens it (that alone would send the user's " +
                       "Windows credentials to whoever answers) and draws no skin");
        return false;
    }
    std::string resolved = hash ? resolveHash(file.substr(1)) : file;
    std::string where;
    if (hash)
        where = startsWithFolder(file.substr(1), installedFolder)
                    ? " (\"#\" is the messenger's folder; installed, the scheme is in plugins\\kiv.scheme\\ there, "
                      "so that bitmap belongs beside it: looked up in " + folder_ + ")"
                    : " (\"#\" is the messenger's folder, here " + hostFolder_ + ")";
    else if (relative)
        where = ": a path without \"#\" or a drive is looked up in the messenger's current folder (here " +
                currentFolder() + "), not beside the scheme; write #plugins\\kiv.scheme\\" + file +
                " for a bitmap beside it";
    const char* fault = nullptr;
    HBITMAP image = kiv::loadSkinBitmap(resolved.c_str(), &fault);
    if (!image && GetFileAttributesA(resolved.c_str()) != INVALID_FILE_ATTRIBUTES) {
        error(key, shown + ": " + resolved + " is damaged (" + fault + "); the plug-in does not load it and draws no skin");
        return false;
    }
    if (!image) {
        error(key, shown + ": cannot load the bitmap " + (relative ? file : resolved) + where +
                       "; the plug-in would draw no skin");
        return false;
    }
    if (relative) warning(key, shown + " loads here only by chance" + where);
    if (hash) resolved_.push_back({key, resolved});
    BITMAP info = {};
    GetObjectA(image, sizeof info, &info);
    DeleteObject(image);
    size = {info.bmWidth, info.bmHeight};
    return true;
}

void schemeCheck::checkCut(const char* key, const SIZE& bitmap) {
    int x1 = 1, x2 = 1, y1 = 2, y2 = 2;
    std::string text = value("skin", key);
    if (!text.empty()) sscanf(text.c_str(), "%d,%d,%d,%d", &x1, &x2, &y1, &y2);
    if (x1 < 0 || x1 > x2 || x2 > bitmap.cx || y1 < 0 || y1 > y2 || y2 > bitmap.cy) {
        char message[256];
        snprintf(message, sizeof message,
                 "%s=%d,%d,%d,%d lies outside the %ld x %ld bitmap: the cut columns need 0 <= x1 <= x2 <= %ld "
                 "and the cut rows 0 <= y1 <= y2 <= %ld",
                 key, x1, x2, y1, y2, bitmap.cx, bitmap.cy, bitmap.cx, bitmap.cy);
        error(key, message);
    }
}

void schemeCheck::checkFont(const char* key) {
    if (!present(key)) {
        warnings_.push_back({0, std::string("no ") + key + ": the system's default font is used"});
        return;
    }
    LOGFONTA font;
    if (!GetPrivateProfileStructA("skin", key, &font, sizeof font, path_.c_str())) {
        error(key, std::string(key) + " is not a font record: expected the 60 bytes of a LOGFONTA as 120 " +
                       "hexadecimal digits followed by two digits of their checksum (./kiv scheme-font FACE SIZE " +
                       "makes one)");
        return;
    }
    if (const char* fault = kiv::fontFault(font)) {
        error(key, std::string(key) + ": " + fault + "; the plug-in ignores the record and uses the system's " +
                       "default font");
        return;
    }
    if (font.lfCharSet != EASTEUROPE_CHARSET)
        error(key, std::string(key) + " (" + describeFont(font) + ") is not in character set 238: Polish letters " +
                       "(ą, ę, ł, ż) draw as other letters; ./kiv scheme-font FACE SIZE makes a value in 238");
}

void schemeCheck::checkSize(const char* key, SIZE& size) {
    std::string text = value("skin", key);
    if (text.empty()) return;
    int width = size.cx, height = size.cy;
    int read = sscanf(text.c_str(), "%d,%d", &width, &height);
    if (read < 1 || width <= 0 || height <= 0) {
        error(key, std::string(key) + "=" + text + ": expected a positive width and height, as 250,50");
        return;
    }
    size = {width, height};
    // The plug-in keeps every window within the work area of the screen its stack is on.
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const long areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    if (width > areaWidth || height > areaHeight)
        warning(key, std::string(key) + "=" + text + " is larger than this screen's work area (" +
                         std::to_string(areaWidth) + " x " + std::to_string(areaHeight) +
                         "): the plug-in shows the window at " + std::to_string(std::min<long>(width, areaWidth)) +
                         " x " + std::to_string(std::min<long>(height, areaHeight)));
}

void schemeCheck::checkRect(const char* key, const SIZE& window) {
    std::string text = value("skin", key);
    int left, top, right, bottom;
    if (text.empty() || sscanf(text.c_str(), "%d,%d,%d,%d", &left, &top, &right, &bottom) != 4) return;
    if (left >= right || top >= bottom)
        error(key, std::string(key) + "=" + text + ": expected left,top,right,bottom with left < right and " +
                       "top < bottom; nothing would be drawn there");
    else if (left < 0 || top < 0 || right > window.cx || bottom > window.cy)
        warning(key, std::string(key) + "=" + text + " reaches outside the " + std::to_string(window.cx) + " x " +
                         std::to_string(window.cy) + " window: the text is cut at its edge");
}

std::string schemeCheck::surfaceColours() const {
    auto colour = [&](const char* key, UINT fallback) {
        return describeColour(GetPrivateProfileIntA("skin", key, static_cast<INT>(fallback), path_.c_str()) & 0xFFFFFF);
    };
    return "background " + colour("window_bgcolor", 0xFFFFFF) + ", frame " + colour("window_framecolor", 0) +
           ", colour key " + colour("bitmap_colorkey", 0xFF00FF);
}

}  // namespace kivhost
