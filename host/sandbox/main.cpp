// kivhost: the messenger's plug-in interface around kiv.tpl. Without arguments it is the sandbox a
// person uses; --script plays a scenario in the same sandbox; the other modes take pictures for
// the documentation and for scheme authors.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fileFaults.h"
#include "optionsShots.h"
#include "optionsWindow.h"
#include "pluginLoader.h"
#include "recorders.h"
#include "sandbox.h"
#include "schemePreview.h"
#include "schemeShots.h"
#include "schemeStarter.h"
#include "schemeValues.h"
#include "screenGrab.h"
#include "script.h"
#include "scriptRunner.h"
#include "textCodec.h"

using namespace kivhost;

namespace {

void usage() {
    printLine(
        "kivhost: the messenger's plug-in interface, with the kiv plug-in in a sandbox\n"
        "usage: kivhost [--plugin FILE] [--profile FOLDER] [MODE]\n"
        "  (no mode)              the sandbox: a contact list to act on, menus, the options window\n"
        "  --script FILE          play a script in the sandbox and exit with 0, or 1 at the first failure\n"
        "  --stay                 after the script, leave the sandbox open\n"
        "  --no-pictures          skip the script's screenshot and record commands\n"
        "  --grab FOLDER          pictures are taken from outside: requests go to FOLDER, answered by\n"
        "                         tools/screen-grabber (./kiv demo and ./kiv preview run it)\n"
        "  --preview SCHEME.kivs --out FILE.bmp\n"
        "                         check a scheme file, picture a normal and a small notification (a\n"
        "                         .png with --grab) and say the fonts and colours they were drawn in\n"
        "  --scheme-font FACE SIZE [bold] [italic]\n"
        "                         the id_font/desc_font value of that font, in character set 238\n"
        "  --scheme-colour #RRGGBB  the decimal colour value of a scheme\n"
        "  --scheme-new NAME      write NAME.kivs and NAME.bmp, a starting scheme, into this folder\n"
        "  --options              open the options window on the plug-in's page until it is closed\n"
        "  --options-shots FOLDER save options-top/middle/bottom.bmp of the page into FOLDER\n"
        "  --scheme-shots FOLDER [--outside-grab]\n"
        "                         a picture of every shipped scheme as FOLDER\\scheme-<name>.bmp (.png\n"
        "                         from outside: the area goes to scheme-<name>.area)\n"
        "  --plugin FILE          the plug-in to load (default: plugins\\kiv.tpl beside kivhost)\n"
        "  --profile FOLDER       the user's profile folder (default: profile\\ beside kivhost); the\n"
        "                         sandbox reads its contact list from kivhost.contacts there\n"
        "  --fill-disk-after BYTES  the plug-in's file writes fail, as on a full disk, after BYTES bytes\n"
        "  --stop-at-write N      the process ends at the plug-in's N-th file write (WriteFile or\n"
        "                         MoveFileExA, from 1), as if killed there\n");
    printLine(script::help());
}

struct arguments {
    std::string pluginPath = pluginLoader::defaultPath();
    std::string profile = programFolder() + "profile\\";
    std::string scriptFile, grabFolder, previewScheme, previewOut, shotsFolder, optionsShots;
    bool stay = false, pictures = true, outsideGrab = false, optionsOpen = false;
    long fillDiskAfter = -1, stopAtWrite = 0;
};

// A whole non-negative number, or -1.
long count(const char* text) {
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    return end != text && !*end && value >= 0 ? value : -1;
}

// False with a message for an argument it does not know.
bool parseArguments(int argc, char** argv, arguments& parsed) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        if (option == "--plugin" && hasValue) parsed.pluginPath = argv[++i];
        else if (option == "--profile" && hasValue) parsed.profile = asFolder(argv[++i]);
        else if (option == "--script" && hasValue) parsed.scriptFile = argv[++i];
        else if (option == "--stay") parsed.stay = true;
        else if (option == "--no-pictures") parsed.pictures = false;
        else if (option == "--grab" && hasValue) parsed.grabFolder = argv[++i];
        else if (option == "--preview" && hasValue) parsed.previewScheme = argv[++i];
        else if (option == "--out" && hasValue) parsed.previewOut = argv[++i];
        else if (option == "--options") parsed.optionsOpen = true;
        else if (option == "--options-shots" && hasValue) parsed.optionsShots = asFolder(argv[++i]);
        else if (option == "--scheme-shots" && hasValue) parsed.shotsFolder = asFolder(argv[++i]);
        else if (option == "--outside-grab") parsed.outsideGrab = true;
        else if (option == "--fill-disk-after" && hasValue && count(argv[i + 1]) >= 0)
            parsed.fillDiskAfter = count(argv[++i]);
        else if (option == "--stop-at-write" && hasValue && count(argv[i + 1]) > 0)
            parsed.stopAtWrite = count(argv[++i]);
        else {
            fprintf(stderr, "kivhost: unknown argument '%s'; see kivhost --help\n", argv[i]);
            return false;
        }
    }
    return true;
}

int runSandbox(const arguments& args) {
    sandbox box(args.pluginPath, args.profile);
    std::string error;
    box.seedFilters();
    if (args.scriptFile.empty()) {
        if (!box.loadPlugin(error)) {
            fprintf(stderr, "kivhost: %s\n", toUtf8(error).c_str());
            return 1;
        }
        soundRecorder::get().audible = true;
        box.note("kliknij kontakt prawym przyciskiem, wybierz zdarzenie z panelu; kivhost --help opisuje skrypty");
        return box.run();
    }
    std::vector<scriptCommand> commands;
    if (!script::read(args.scriptFile, commands, error)) {
        fprintf(stderr, "%s\n", toUtf8(error).c_str());
        return 1;
    }
    soundRecorder::get().audible = args.stay;
    screenGrab grab(args.grabFolder);
    scriptRunner runner(box, grab, commands, args.scriptFile);
    runner.start(args.stay, args.pictures);
    int code = box.run();
    return runner.finished() && runner.error().empty() ? code : 1;
}

// The scheme authors' helpers: one value or two files, nothing loaded. -1 when the mode is another.
int schemeHelper(int argc, char** argv) {
    if (argc < 2) return -1;
    std::string mode = argv[1], value, error;
    std::vector<std::string> words(argv + 2, argv + argc);
    bool done;
    if (mode == "--scheme-font") done = fontValue(words, value, error);
    else if (mode == "--scheme-colour" && words.size() == 1) done = colourValue(words[0], value, error);
    else if (mode == "--scheme-colour") {
        done = false;
        error = "expected one colour, as '#FF0000'";
    } else if (mode == "--scheme-new" && words.size() == 1) {
        done = writeStarterScheme(words[0], error);
        value = "wrote " + words[0] + ".kivs and " + words[0] + ".bmp";
    } else if (mode == "--scheme-new") {
        done = false;
        error = "expected one NAME, as moj-schemat";
    } else return -1;
    if (!done) {
        fprintf(stderr, "kivhost: %s %s\n", mode.c_str() + 2, toUtf8(error).c_str());
        return 2;
    }
    printLine(value);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            usage();
            return 0;
        }
    int helped = schemeHelper(argc, argv);
    if (helped >= 0) return helped;
    arguments args;
    if (!parseArguments(argc, argv, args)) return 2;
    if (args.fillDiskAfter >= 0) fileFaults::get().fillDiskAfter(static_cast<DWORD>(args.fillDiskAfter));
    if (args.stopAtWrite > 0) fileFaults::get().stopAtWrite(static_cast<int>(args.stopAtWrite));
    CreateDirectoryA(args.profile.c_str(), nullptr);
    if (!args.previewScheme.empty()) {
        if (args.previewOut.empty()) {
            fprintf(stderr, "kivhost: --preview needs --out FILE.png (or FILE.bmp without --grab)\n");
            return 2;
        }
        screenGrab grab(args.grabFolder);
        return previewScheme(args.pluginPath, args.previewScheme, args.previewOut, grab);
    }
    if (!args.optionsShots.empty()) {
        int written = takeOptionsShots(args.pluginPath, args.profile, args.optionsShots);
        printf("options pictures written: %d\n", written);
        return written == 3 ? 0 : 1;
    }
    if (!args.shotsFolder.empty())
        return takeSchemeShots(args.pluginPath, args.profile, args.shotsFolder, args.outsideGrab) > 0 ? 0 : 1;
    if (args.optionsOpen) {
        hostCore& host = hostCore::get();
        host.setProfile("kivhost", args.profile);
        host.mainWindow();
        pluginLoader plugin(args.pluginPath);
        if (!plugin.loaded() || !plugin.info(kiv::abi::minimumHostVersion)) {
            fprintf(stderr, "kivhost: cannot load %s\n", args.pluginPath.c_str());
            return 1;
        }
        plugin.load();
        optionsWindow(host).run();
        plugin.unload();
        return 0;
    }
    return runSandbox(args);
}
