// kivhost's script reader: what a scenario says, and how a fault in it is reported (file, line and
// what was expected) before anything runs.
#include <doctest.h>

#include "script.h"

using kivhost::script;
using kivhost::scriptCommand;
using strings = std::vector<std::string>;

namespace {

std::vector<scriptCommand> parsed(const std::string& text) {
    std::vector<scriptCommand> commands;
    std::string error;
    bool ok = script::parse(text, "t.kivscript", commands, error);
    INFO(error);
    CHECK(ok);
    return commands;
}

std::string fault(const std::string& text) {
    std::vector<scriptCommand> commands;
    std::string error;
    CHECK_FALSE(script::parse(text, "t.kivscript", commands, error));
    return error;
}

}  // namespace

TEST_CASE("commands keep their lines; comments and blank lines are skipped") {
    auto commands = parsed("# a tour\n\nload\r\n  wait 250\r\n# done\nunload\n");
    REQUIRE(commands.size() == 3);
    CHECK(commands[0].name == "load");
    CHECK(commands[0].line == 3);
    CHECK(commands[1].name == "wait");
    CHECK(commands[1].args == strings{"250"});
    CHECK(commands[1].line == 4);
    CHECK(commands[2].line == 6);
}

TEST_CASE("quoted words hold spaces, and a text tail is the rest of the line as written") {
    auto commands = parsed("menu contact \"przywróć domyślne\" ala@tlen.pl ola\n"
                           "message ala@tlen.pl Cześć,  \"Ala\"  - co słychać?\n"
                           "status ola zw \"na obiedzie\"\n"
                           "status ola 2\n"
                           "set filters global sound_filemessage C:\\dźwięki\\a b.wav\n"
                           "expect text Ala ma kota\n"
                           "expect status ola Dostępny\n"
                           "echo\n");
    REQUIRE(commands.size() == 8);
    CHECK(commands[0].args == strings{"contact", "przywróć domyślne", "ala@tlen.pl", "ola"});
    CHECK(commands[1].args == strings{"ala@tlen.pl", "Cześć,  \"Ala\"  - co słychać?"});
    CHECK(commands[2].args == strings{"ola", "zw", "na obiedzie"});
    CHECK(commands[3].args == strings{"ola", "2"});
    CHECK(commands[4].args == strings{"filters", "global", "sound_filemessage", "C:\\dźwięki\\a b.wav"});
    CHECK(commands[5].args == strings{"text", "Ala ma kota"});
    CHECK(commands[6].args == strings{"status", "ola", "Dostępny"});
    CHECK(commands[7].args.empty());
}

TEST_CASE("pictures take an area by name or as four numbers") {
    auto commands = parsed("screenshot a.png\nscreenshot b.png notifications\nrecord c.gif 1 2 30 40\nrecord stop\n");
    REQUIRE(commands.size() == 4);
    CHECK(commands[2].args == strings{"c.gif", "1", "2", "30", "40"});
    CHECK(fault("screenshot a.png 1 2 3\n") ==
          "t.kivscript:1: expected an area after the file: screen, window, notifications or X Y WIDTH HEIGHT");
    CHECK(fault("load\nrecord a.gif corner\n").rfind("t.kivscript:2: expected an area", 0) == 0);
}

TEST_CASE("a fault names the file, the line and what was expected") {
    CHECK(fault("load\nstatuss ala 2\n") ==
          "t.kivscript:2: expected a command (see kivhost --help), not 'statuss'; did you mean 'status'?");
    CHECK(fault("scrennshot a.png\n") ==
          "t.kivscript:1: expected a command (see kivhost --help), not 'scrennshot'; did you mean 'screenshot'?");
    CHECK(fault("frobnicate\n") == "t.kivscript:1: expected a command (see kivhost --help), not 'frobnicate'");
    CHECK(fault("status ala\n") == "t.kivscript:1: expected 'status ID STATUS [DESCRIPTION]'");
    CHECK(fault("status ala 9\n") ==
          "t.kivscript:1: expected a status (1-7 or a name such as Dostępny or zw), not '9'");
    CHECK(fault("wait 1s\n") == "t.kivscript:1: expected a number of milliseconds, as 'wait 1000', not '1s'");
    CHECK(fault("wait -5\n") == "t.kivscript:1: expected a number of milliseconds, as 'wait 1000', not '-5'");
    CHECK(fault("click 0\n") ==
          "t.kivscript:1: expected the number of a notification window, counted from 1 at the top of the screen");
    CHECK(fault("click 1 middle\n") == "t.kivscript:1: expected left or right");
    CHECK(fault("login ICQ\n") == "t.kivscript:1: expected TLEN or GG after 'login'");
    CHECK(fault("menu window x\n") == "t.kivscript:1: expected contact, group or status after 'menu'");
    CHECK(fault("set settings a b c\n") == "t.kivscript:1: expected config or filters after 'set'");
    CHECK(fault("options close\n") == "t.kivscript:1: expected open, ok, apply or cancel after 'options'");
    CHECK(fault("load now\n") == "t.kivscript:1: expected 'load'");
    CHECK(fault("service a/b 1 2\n") == "t.kivscript:1: expected 'service NAME [NUMBER]'");
    CHECK(fault("service a/b forty\n") == "t.kivscript:1: expected a number for the service's wParam, not 'forty'");
    for (const char* keys : {"ctrl+", "ctrl+alt+zz", "win+z", "f25", "ctrl+alt+ą"})
        CHECK(fault(std::string("hotkey ") + keys + "\n").rfind("t.kivscript:1: expected keys such as ctrl+alt+z", 0) == 0);
    CHECK(fault("  menu contact \"ustawienia...  \r\n") ==
          "t.kivscript:1: expected a closing double quote in 'menu contact \"ustawienia...'");
}

TEST_CASE("expectations are checked for their form") {
    CHECK(fault("expect windows two\n") == "t.kivscript:1: expected 'expect windows N'");
    CHECK(fault("expect windows\n").rfind("t.kivscript:1: expected 'expect windows N | text", 0) == 0);
    CHECK(fault("expect colour red\n") ==
          "t.kivscript:1: expected windows, text, sound, chat or status after 'expect'");
    CHECK(fault("expect status ala\n").rfind("t.kivscript:1: expected", 0) == 0);
    CHECK(fault("expect status ala 12\n") == "t.kivscript:1: expected 'expect status ID STATUS'");
    CHECK(fault("expect sound a.wav b.wav\n") == "t.kivscript:1: expected 'expect sound ...' with one argument");
}

TEST_CASE("nothing is returned from a script with a fault, even after good lines") {
    std::vector<scriptCommand> commands(1);
    std::string error;
    CHECK_FALSE(script::parse("load\nwait 10\nfly\n", "t.kivscript", commands, error));
    CHECK(commands.size() == 1);
    CHECK(error.find(":3:") != std::string::npos);
}

TEST_CASE("the help lists every command the reader accepts") {
    std::string help = script::help();
    for (const char* name : {"contacts", "set", "load", "unload", "plugin", "service", "status", "message", "chat", "file", "voice",
                             "email", "login", "wait", "click", "menu", "key", "hotkey", "button", "options", "open-chat",
                             "close-chat", "screenshot", "record", "expect", "echo"}) {
        CAPTURE(name);
        CHECK(help.find(std::string(" ") + name + " ") != std::string::npos);
    }
}
