// What the scheme gives that the platform must not be handed: a path on the network or a device
// (opening one sends the user's Windows credentials to whoever answers, and waits for it), a skin
// bitmap whose headers do not match its bytes (the platform reads wherever they point, and
// crashes), and a font record with fields beyond any notification's use (the font code can take
// minutes over them). Shared by the module and kivhost's scheme preview, which reports the reason
// to the scheme's author.
#pragma once

#include <windows.h>

#include <string>

namespace kiv {

// Null when the path names a file on this computer; otherwise why not, in a few words.
const char* pathFault(const char* path);

// Null when the bytes are a bitmap file whose headers, colour table and pixels lie within them and
// make sense together; otherwise why not, in a few words.
const char* bitmapFault(const std::string& bytes);

// Null when the record is one a notification can draw with; otherwise why not.
const char* fontFault(const LOGFONTA& font);

}  // namespace kiv
