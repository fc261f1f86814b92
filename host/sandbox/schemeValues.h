// Scheme values in the form a person reads and writes them, and in the form the scheme file keeps:
// a colour as "#RRGGBB" and as the decimal 0x00BBGGRR value; a font as "FACE SIZE [bold] [italic]"
// and as the 60-byte record in hexadecimal with its checksum, as WritePrivateProfileStructA writes it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivhost {

// "#RRGGBB" (the '#' may be left out) as the scheme's decimal colour; false with a message.
bool colourValue(const std::string& text, std::string& value, std::string& error);

// The colour as "#RRGGBB".
std::string describeColour(COLORREF colour);

// FACE SIZE [bold] [italic] as an id_font/desc_font value in the Polish character set (238);
// FACE may be several words, SIZE is in points at the screen's usual 96 dots per inch. False
// with a message.
bool fontValue(const std::vector<std::string>& words, std::string& value, std::string& error);

// The record in the words fontValue takes, with its character set: "Tahoma 8 bold, character set 238".
std::string describeFont(const LOGFONTA& font);

// The record as the private-profile struct functions write it: 120 hexadecimal digits and two of
// the checksum (the low byte of the bytes' sum).
std::string structText(const void* record, size_t size);

}  // namespace kivhost
