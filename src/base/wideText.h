// Texts between the module's encodings and the wide functions: Windows-1250, the host's and
// kiv.log's, and UTF-8, which a caller of kiv/popup/show may choose and the settings files may be in.
#pragma once

#include <string>

namespace kiv {

constexpr unsigned windows1250CodePage = 1250;

// As the wide functions draw it; a sequence that is not UTF-8 becomes the replacement character,
// never a reason to stop. Null gives the empty text.
std::wstring wideOf(const char* text, bool utf8);

// In Windows-1250; a character it cannot hold becomes its nearest letter or '?'.
std::string windows1250Of(const std::wstring& text);

// The whole text, zero characters too, between a code page and the wide characters.
std::wstring wideOf(const std::string& text, unsigned codePage);
std::string narrowOf(const std::wstring& text, unsigned codePage);

}  // namespace kiv
