#include "notify/descriptionGrowth.h"

#include <algorithm>

#include "base/scopedGdi.h"
#include "base/text.h"
#include "base/wideText.h"
#include "scheme/skin.h"

namespace kiv {

void cutForGrowth(char* text, bool utf8, int32_t chars) {
    if (chars <= 0 || chars >= 512) return;
    text[chars] = '\0';
    if (utf8) cutToCharacter(text);
}

// The text is measured in a copy of the description rectangle: measuring narrows a rectangle to
// its widest line, and a paint into that narrower one lost the last letters wherever a substituted
// face measures and draws a pixel apart.
int descriptionGrowth(HDC dc, const skin& look, const char* text, bool utf8, int32_t rows, int room) {
    scopedFont font(CreateFontIndirectA(&look.descFont));
    selection chosen(dc, font.get());
    const UINT measure = DT_WORDBREAK | DT_END_ELLIPSIS | DT_CALCRECT | DT_NOPREFIX;  // "&" is text
    RECT measured = look.descRect;
    int textHeight = utf8 ? DrawTextW(dc, wideOf(text, true).c_str(), -1, &measured, measure)
                          : DrawTextA(dc, text, -1, &measured, measure);
    RECT sample = {0, 0, 100, 100};
    const int lineHeight = DrawTextA(dc, "a", -1, &sample, measure);
    // No rows (or a negative number of them) means no growth; the product is taken wide enough
    // for any number a file can hold.
    const int64_t lines = std::max<int32_t>(rows, 0);
    if (lineHeight * lines < textHeight) textHeight = static_cast<int>(lineHeight * lines);
    return std::min(textHeight, std::max(0, room));
}

}  // namespace kiv
