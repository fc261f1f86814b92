// Texts between the module's two encodings and the wide functions: Windows-1250, the host's and
// kiv.log's, and UTF-8, which a caller of kiv/popup/show may choose.
#pragma once

#include <string>

namespace kiv {

// As the wide functions draw it; a sequence that is not UTF-8 becomes the replacement character,
// never a reason to stop. Null gives the empty text.
std::wstring wideOf(const char* text, bool utf8);

// In Windows-1250; a character it cannot hold becomes '?'.
std::string windows1250Of(const std::wstring& text);

}  // namespace kiv
