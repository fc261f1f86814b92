// kivhost's scripts: one command a line, read whole before anything runs, so that a misspelt
// command or a missing argument is reported with its file and line before the scenario starts.
// Blank lines and lines starting with '#' are skipped; an argument with spaces is written in
// double quotes; the last argument of message, chat, status, set, button and echo is the rest of
// the line. The command list with its forms is help().
#pragma once

#include <string>
#include <vector>

namespace kivhost {

struct scriptCommand {
    int line = 0;
    std::string name;
    std::vector<std::string> args;
};

class script {
public:
    static bool parse(const std::string& text, const std::string& fileName, std::vector<scriptCommand>& commands,
                      std::string& error);
    // Reads the file (UTF-8 or Windows-1250) and parses it.
    static bool read(const std::string& path, std::vector<scriptCommand>& commands, std::string& error);
    static const char* help();
};

// "FILE:LINE: expected WHAT".
std::string expected(const std::string& fileName, int line, const std::string& what);

// A key with its modifiers as a script writes it, "ctrl+alt+z" or "shift+f5": MOD_* modifiers and
// the virtual key (a letter, a digit or f1 to f24). False for anything else.
bool parseHotKey(const std::string& text, unsigned& modifiers, unsigned& key);

}  // namespace kivhost
