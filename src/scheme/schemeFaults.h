// What the scheme gives that the platform must not be handed: a skin bitmap whose headers do not
// match its file (the image loader reads wherever they point, and crashes), and a font record
// with fields beyond any notification's use (the font code can take minutes over them). Shared by
// the module and kivhost's scheme preview, which reports the reason to the scheme's author.
#pragma once

#include <windows.h>

namespace kiv {

// Null when the file at path is a bitmap whose headers, colour table and pixels lie within the
// file and make sense together; otherwise why not, in a few words.
const char* bitmapFault(const char* path);

// Null when the record is one a notification can draw with; otherwise why not.
const char* fontFault(const LOGFONTA& font);

}  // namespace kiv
