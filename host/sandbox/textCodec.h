// Texts between Linux-side files and terminals (UTF-8) and the messenger's Windows-1250.
#pragma once

#include <string>

namespace kivhost {

// A file's text for the plug-in: UTF-8 is converted to Windows-1250; anything that is not valid
// UTF-8 is taken as Windows-1250 already.
std::string toAnsi(const std::string& fileText);

// Whether the text ends with the tail, letters compared without case.
bool endsWithNoCase(const std::string& text, const std::string& tail);

// Whether a file or folder of that name exists.
bool fileExists(const std::string& path);

// A whole file's text through toAnsi; false with "PATH: cannot be read" in error.
bool readAnsiFile(const std::string& path, std::string& text, std::string& error);

// Windows-1250 text as UTF-8, for printing on the terminal that runs Wine.
std::string toUtf8(const std::string& ansiText);

// Prints one line on standard output (as UTF-8) and flushes it.
void printLine(const std::string& ansiText);

}  // namespace kivhost
