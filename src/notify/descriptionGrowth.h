// How far a description grows its window with autoheight: measured the same way whether a window
// sizes itself or the stack asks, before making one, whether a request could fit.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kiv {

class skin;

// The text as autoheightchars leaves it for measuring and painting.
void cutForGrowth(char* text, bool utf8, int32_t chars);

// The text's height in the description's font and rectangle, at most rows lines, never more than
// room (nor less than nothing).
int descriptionGrowth(HDC dc, const skin& look, const char* text, bool utf8, int32_t rows, int room);

}  // namespace kiv
