#include "script.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "contactStatus.h"
#include "nearestName.h"
#include "textCodec.h"

namespace kivhost {

namespace {

struct commandForm {
    const char* name;
    const char* usage;
    int minArgs;
    int maxArgs;     // -1: any number
    bool textTail;   // the last argument is the rest of the line
};

const commandForm forms[] = {
    {"contacts", "contacts FILE", 1, 1, false},
    {"set", "set config|filters SECTION KEY VALUE", 4, 4, true},
    {"load", "load", 0, 0, false},
    {"unload", "unload", 0, 0, false},
    {"plugin", "plugin FILE", 1, 1, false},
    {"service", "service NAME [NUMBER]", 1, 2, false},
    {"status", "status ID STATUS [DESCRIPTION]", 2, 3, true},
    {"message", "message ID TEXT", 2, 2, true},
    {"chat", "chat ID TEXT", 2, 2, true},
    {"file", "file ID", 1, 1, false},
    {"voice", "voice ID", 1, 1, false},
    {"email", "email [FROM]", 0, 1, false},
    {"login", "login TLEN|GG", 1, 1, false},
    {"wait", "wait MILLISECONDS", 1, 1, false},
    {"click", "click N [left|right]", 1, 2, false},
    {"menu", "menu contact|group|status ITEM [ID|GROUP...]", 2, -1, false},
    {"key", "key esc|enter|tab|space|up|down|left|right|home|end|CHARACTER", 1, 1, false},
    {"hotkey", "hotkey KEYS", 1, 1, false},
    {"button", "button CAPTION", 1, 1, true},
    {"highcontrast", "highcontrast on|off", 1, 1, false},
    {"theme", "theme light|dark|none", 1, 1, false},
    {"options", "options open|ok|apply|cancel", 1, 1, false},
    {"open-chat", "open-chat ID", 1, 1, false},
    {"close-chat", "close-chat ID", 1, 1, false},
    {"screenshot", "screenshot FILE [screen|window|notifications|X Y W H]", 1, 5, false},
    {"record", "record FILE [screen|window|notifications|X Y W H] | record stop", 1, 5, false},
    {"expect", "expect windows N | text TEXT | sound FILE|none | chat ID | status ID STATUS", 2, 3, true},
    {"echo", "echo TEXT", 0, 1, true},
};

const commandForm* formOf(const std::string& name) {
    for (const commandForm& form : forms)
        if (name == form.name) return &form;
    return nullptr;
}

bool isNumber(const std::string& text) {
    if (text.empty()) return false;
    char* end = nullptr;
    strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

bool isArea(const std::vector<std::string>& args, size_t first) {
    size_t count = args.size() - first;
    if (count == 0) return true;
    if (count == 1) return args[first] == "screen" || args[first] == "window" || args[first] == "notifications";
    if (count != 4) return false;
    for (size_t i = first; i < args.size(); ++i)
        if (!isNumber(args[i])) return false;
    return true;
}

// Splits a line into words; a word in double quotes may hold spaces. When `tailFrom` words have
// been read, the rest of the line becomes the last word (unquoted if it is one quoted word).
bool split(const std::string& line, int tailFrom, std::vector<std::string>& words) {
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string::npos) return true;
        if (tailFrom >= 0 && static_cast<int>(words.size()) == tailFrom) {
            std::string rest = line.substr(at, line.find_last_not_of(" \t\r") - at + 1);
            if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"' &&
                rest.find('"', 1) == rest.size() - 1)
                rest = rest.substr(1, rest.size() - 2);
            words.push_back(rest);
            return true;
        }
        if (line[at] == '"') {
            size_t close = line.find('"', at + 1);
            if (close == std::string::npos) return false;
            words.push_back(line.substr(at + 1, close - at - 1));
            at = close + 1;
        } else {
            size_t end = line.find_first_of(" \t", at);
            words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
            at = end;
        }
    }
}

// What is wrong with a well-counted command's arguments, or "" when nothing is.
std::string checkArguments(const scriptCommand& command) {
    const std::string& name = command.name;
    const auto& args = command.args;
    auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::string(); };
    if (name == "set" && arg(0) != "config" && arg(0) != "filters") return "config or filters after 'set'";
    if (name == "status" && !parseStatus(arg(1)))
        return "a status (1-7 or a name such as Dostępny or zw), not '" + arg(1) + "'";
    if (name == "login" && arg(0) != "TLEN" && arg(0) != "GG") return "TLEN or GG after 'login'";
    if (name == "wait" && (!isNumber(arg(0)) || atoi(arg(0).c_str()) < 0))
        return "a number of milliseconds, as 'wait 1000', not '" + arg(0) + "'";
    if (name == "service" && args.size() == 2 && !isNumber(arg(1)))
        return "a number for the service's wParam, not '" + arg(1) + "'";
    if (name == "click" && (!isNumber(arg(0)) || atoi(arg(0).c_str()) < 1))
        return "the number of a notification window, counted from 1 at the top of the screen";
    if (name == "click" && args.size() == 2 && arg(1) != "left" && arg(1) != "right") return "left or right";
    unsigned modifiers = 0, key = 0;
    if (name == "hotkey" && !parseHotKey(arg(0), modifiers, key))
        return "keys such as ctrl+alt+z or shift+f5 (ctrl, alt, shift, then a letter, a digit or f1-f24), not '" +
               arg(0) + "'";
    if (name == "highcontrast" && arg(0) != "on" && arg(0) != "off") return "on or off after 'highcontrast'";
    if (name == "theme" && arg(0) != "light" && arg(0) != "dark" && arg(0) != "none")
        return "light, dark or none after 'theme'";
    if (name == "menu" && arg(0) != "contact" && arg(0) != "group" && arg(0) != "status")
        return "contact, group or status after 'menu'";
    if (name == "options" && arg(0) != "open" && arg(0) != "ok" && arg(0) != "apply" && arg(0) != "cancel")
        return "open, ok, apply or cancel after 'options'";
    if ((name == "screenshot" || name == "record") && !(name == "record" && arg(0) == "stop" && args.size() == 1) &&
        !isArea(args, 1))
        return "an area after the file: screen, window, notifications or X Y WIDTH HEIGHT";
    if (name == "expect") {
        const std::string& what = arg(0);
        if (what == "windows" && (args.size() != 2 || !isNumber(arg(1)))) return "'expect windows N'";
        if (what == "status" && (args.size() != 3 || !parseStatus(arg(2)))) return "'expect status ID STATUS'";
        if (what != "windows" && what != "text" && what != "sound" && what != "chat" && what != "status")
            return "windows, text, sound, chat or status after 'expect'";
        if ((what == "sound" || what == "chat") && args.size() != 2) return "'expect " + what + " ...' with one argument";
    }
    return "";
}

}  // namespace

bool parseHotKey(const std::string& text, unsigned& modifiers, unsigned& key) {
    modifiers = 0;
    key = 0;
    size_t start = 0;
    for (size_t plus; (plus = text.find('+', start)) != std::string::npos; start = plus + 1) {
        const std::string name = text.substr(start, plus - start);
        if (name == "ctrl")
            modifiers |= MOD_CONTROL;
        else if (name == "alt")
            modifiers |= MOD_ALT;
        else if (name == "shift")
            modifiers |= MOD_SHIFT;
        else
            return false;
    }
    const std::string last = text.substr(start);
    if (last.size() == 1 && isalnum(static_cast<unsigned char>(last[0])))
        key = static_cast<unsigned>(toupper(static_cast<unsigned char>(last[0])));
    else if (last.size() >= 2 && last[0] == 'f' && isNumber(last.substr(1)) && atoi(last.c_str() + 1) >= 1 &&
             atoi(last.c_str() + 1) <= 24)
        key = VK_F1 + static_cast<unsigned>(atoi(last.c_str() + 1)) - 1;
    return key != 0;
}

std::string expected(const std::string& fileName, int line, const std::string& what) {
    return fileName + ":" + std::to_string(line) + ": expected " + what;
}

bool script::parse(const std::string& text, const std::string& fileName, std::vector<scriptCommand>& commands,
                   std::string& error) {
    std::istringstream in(text);
    std::string line;
    std::vector<scriptCommand> parsed;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a file saved with CRLF
        std::vector<std::string> words;
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        std::string name = line.substr(first, line.find_first_of(" \t\r", first) - first);
        const commandForm* form = formOf(name);
        if (!form) {
            std::vector<std::string> names;
            for (const commandForm& known : forms) names.push_back(known.name);
            std::string meant = nearestName(name, names);
            error = expected(fileName, number, "a command (see kivhost --help), not '" + name + "'" +
                                                   (meant.empty() ? "" : "; did you mean '" + meant + "'?"));
            return false;
        }
        // The tail starts after the fixed words: with an `expect` the keyword comes first.
        int tailFrom = !form->textTail ? -1 : form->maxArgs;
        if (name == "expect") {
            std::vector<std::string> plain;
            split(line, -1, plain);
            tailFrom = plain.size() > 1 && plain[1] == "text" ? 2 : -1;
        }
        if (!split(line, tailFrom, words)) {
            std::string written = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
            error = expected(fileName, number, "a closing double quote in '" + written + "'");
            return false;
        }
        scriptCommand command;
        command.line = number;
        command.name = name;
        command.args.assign(words.begin() + 1, words.end());
        int count = static_cast<int>(command.args.size());
        if (count < form->minArgs || (form->maxArgs >= 0 && count > form->maxArgs)) {
            error = expected(fileName, number, "'" + std::string(form->usage) + "'");
            return false;
        }
        std::string wrong = checkArguments(command);
        if (!wrong.empty()) {
            error = expected(fileName, number, wrong);
            return false;
        }
        parsed.push_back(command);
    }
    commands = parsed;
    return true;
}

bool script::read(const std::string& path, std::vector<scriptCommand>& commands, std::string& error) {
    std::string text;
    return readAnsiFile(path, text, error) && parse(text, path, commands, error);
}

const char* script::help() {
    return "Script commands (kivhost --script FILE), one a line; '#' starts a comment line. The plug-in\n"
           "is loaded by 'load', so that the 'set' lines before it are what it reads. Paths are relative\n"
           "to the current folder.\n"
           "  contacts FILE                       read the contact list from FILE\n"
           "  set config|filters SECTION KEY VALUE  a key for kiv.config or kiv.filters.config of the\n"
           "                                      profile, written by the next 'load' before it loads\n"
           "  load | unload                       (re)load or unload the plug-in (which writes both files\n"
           "                                      back when it unloads)\n"
           "  plugin FILE                         load another plug-in from the plugins folder beside\n"
           "                                      kivhost (popupExample.tpl) while kiv runs; it unloads\n"
           "                                      with kiv\n"
           "  service NAME [NUMBER]               call a plug-in's service, wParam NUMBER (0), lParam 0;\n"
           "                                      an answer of -1 (refused) stops the script\n"
           "  status ID STATUS [DESCRIPTION]      the contact changes status (1-7 or a name: Dostępny,\n"
           "                                      Porozmawiajmy, Jestem zajęty, zw, Wrócę później, ...)\n"
           "  message ID TEXT | chat ID TEXT      a message or a chat message from the contact\n"
           "  file ID | voice ID | email [FROM]   a file offer, a voice call, an e-mail notice\n"
           "  login TLEN|GG                       the protocol logs in\n"
           "  wait MILLISECONDS                   let time pass (windows slide, fade and close)\n"
           "  click N [left|right]                click notification N, counted from the top of the screen\n"
           "  menu contact|group|status ITEM [ID|GROUP...]  choose a menu item (its name or caption)\n"
           "                                      for the selection, as a click on it would\n"
           "  key NAME | button CAPTION           a key (esc, enter, tab, space, arrows, a character) for\n"
           "                                      the focused window; press a button of the active window\n"
           "  hotkey KEYS                         press a key the plug-in holds for any window, such as\n"
           "                                      ctrl+alt+z (hotkeyclose, hotkeyhistory)\n"
           "  highcontrast on|off                 the system's high-contrast mode (Windows' High Contrast\n"
           "                                      Black: white on black), as the plug-in asks for it\n"
           "  theme light|dark|none               the theme of the system's programs (AppsUseLightTheme;\n"
           "                                      none: no such value), put back when the script ends\n"
           "  options open|ok|apply|cancel        the options window\n"
           "  open-chat ID | close-chat ID        the chat window with the contact\n"
           "  screenshot FILE [AREA]              a picture: AREA is screen (default), window (the active\n"
           "                                      one), notifications, or X Y WIDTH HEIGHT; .png needs\n"
           "                                      --grab, .bmp is taken in-process\n"
           "  record FILE.gif [AREA] ... record stop  an animated GIF of what happens between the two (--grab)\n"
           "  expect windows N | text TEXT | sound FILE|none | chat ID | status ID STATUS\n"
           "                                      stop with an error unless it holds within 3 seconds\n"
           "  echo TEXT                           print TEXT\n";
}

}  // namespace kivhost
