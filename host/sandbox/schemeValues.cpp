#include "schemeValues.h"

#include <cstdio>
#include <cstdlib>

namespace kivhost {

namespace {

constexpr int screenDpi = 96;
constexpr int pointsPerInch = 72;

bool sameWord(const std::string& word, const char* expected) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, word.c_str(), -1, expected, -1) == CSTR_EQUAL;
}

// A whole decimal number within the limits, nothing else.
bool wholeNumber(const std::string& text, long lowest, long highest, long& number) {
    if (text.empty()) return false;
    char* end = nullptr;
    number = strtol(text.c_str(), &end, 10);
    return *end == '\0' && number >= lowest && number <= highest;
}

}  // namespace

bool colourValue(const std::string& text, std::string& value, std::string& error) {
    std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    char* end = nullptr;
    unsigned long rgb = strtoul(digits.c_str(), &end, 16);
    if (digits.size() != 6 || *end != '\0' || digits.find_first_of("+- ") != std::string::npos) {
        error = "'" + text + "' is not a colour: expected #RRGGBB, six hexadecimal digits, as #FF0000 for red";
        return false;
    }
    value = std::to_string(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    return true;
}

std::string describeColour(COLORREF colour) {
    char text[8];
    snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

bool fontValue(const std::vector<std::string>& words, std::string& value, std::string& error) {
    LOGFONTA font = {};
    font.lfWeight = FW_NORMAL;
    // Styles come last; the word before them is the size, and the words before it the face,
    // so that Times New Roman needs no quotes.
    size_t end = words.size();
    for (; end > 0; --end) {
        if (sameWord(words[end - 1], "bold")) font.lfWeight = FW_BOLD;
        else if (sameWord(words[end - 1], "italic")) font.lfItalic = TRUE;
        else break;
    }
    if (end < 2) {
        error = "expected FACE SIZE [bold] [italic], as Tahoma 8 bold";
        return false;
    }
    std::string face = words[0];
    for (size_t i = 1; i + 1 < end; ++i) face += " " + words[i];
    long size = 0;
    if (!wholeNumber(words[end - 1], 1, 200, size)) {
        error = "'" + words[end - 1] + "' is not a size: expected whole points from 1 to 200, as 8";
        return false;
    }
    if (face.size() >= sizeof font.lfFaceName) {
        error = "'" + face + "' is not a face name: expected 1 to 31 characters";
        return false;
    }
    lstrcpynA(font.lfFaceName, face.c_str(), sizeof font.lfFaceName);
    font.lfHeight = -MulDiv(static_cast<int>(size), screenDpi, pointsPerInch);
    font.lfCharSet = EASTEUROPE_CHARSET;
    value = structText(&font, sizeof font);
    return true;
}

std::string describeFont(const LOGFONTA& font) {
    char face[LF_FACESIZE + 1] = "";
    lstrcpynA(face, font.lfFaceName, LF_FACESIZE);
    std::string text = face[0] ? face : "(the system's font)";
    if (font.lfHeight < 0)
        text += " " + std::to_string(MulDiv(-font.lfHeight, pointsPerInch, screenDpi));
    else if (font.lfHeight > 0)
        text += " (cell height " + std::to_string(font.lfHeight) + " pixels)";
    if (font.lfWeight >= FW_BOLD) text += " bold";
    if (font.lfItalic) text += " italic";
    return text + ", character set " + std::to_string(font.lfCharSet);
}

std::string structText(const void* record, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(record);
    std::string text;
    unsigned sum = 0;
    char digits[3];
    for (size_t i = 0; i < size; ++i) {
        snprintf(digits, sizeof digits, "%02X", bytes[i]);
        text += digits;
        sum += bytes[i];
    }
    snprintf(digits, sizeof digits, "%02X", sum & 0xFF);
    return text + digits;
}

}  // namespace kivhost
