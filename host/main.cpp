// kivhost: loads kiv.tpl from the plugins folder beside it, as the messenger would, and says what
// the plug-in registered.
#include <cstdio>
#include <cstring>

#include "hostCore.h"
#include "optionsShots.h"
#include "optionsWindow.h"
#include "pluginLoader.h"
#include "schemeShots.h"

using namespace kivhost;

namespace {

void usage() {
    printf("kivhost: a host for the kiv notification plug-in\n"
           "usage: kivhost [--plugin FILE] [--profile FOLDER] [--options] [--options-shots FOLDER]\n"
           "               [--scheme-shots FOLDER [--outside-grab]]\n"
           "  --plugin FILE          the plug-in to load (default: plugins\\kiv.tpl beside kivhost)\n"
           "  --profile FOLDER       the user's profile folder (default: profile\\ beside kivhost)\n"
           "  --options              open the options window on the plug-in's page until it is closed\n"
           "  --options-shots FOLDER save options-top/middle/bottom.bmp of the page into FOLDER\n"
           "  --scheme-shots FOLDER  save a picture of a normal and a small notification of every\n"
           "                         scheme in plugins\\kiv.scheme\\ as FOLDER\\scheme-<name>.bmp\n"
           "  --outside-grab         let another program take each picture: the area goes to\n"
           "                         FOLDER\\scheme-<name>.area, and kivhost waits for scheme-<name>.png\n");
}

std::string programFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.erase(folder.find_last_of('\\') + 1);
}

}  // namespace

int main(int argc, char** argv) {
    std::string pluginPath = pluginLoader::defaultPath();
    std::string profile = programFolder() + "profile\\";
    std::string shotsFolder;
    bool outsideGrab = false;
    std::string optionsShots;
    bool optionsOpen = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            usage();
            return 0;
        } else if (!strcmp(argv[i], "--plugin") && i + 1 < argc) {
            pluginPath = argv[++i];
        } else if (!strcmp(argv[i], "--profile") && i + 1 < argc) {
            profile = argv[++i];
        } else if (!strcmp(argv[i], "--options")) {
            optionsOpen = true;
        } else if (!strcmp(argv[i], "--options-shots") && i + 1 < argc) {
            optionsShots = argv[++i];
            if (!optionsShots.empty() && optionsShots.back() != '\\') optionsShots += '\\';
        } else if (!strcmp(argv[i], "--outside-grab")) {
            outsideGrab = true;
        } else if (!strcmp(argv[i], "--scheme-shots") && i + 1 < argc) {
            shotsFolder = argv[++i];
            if (!shotsFolder.empty() && shotsFolder.back() != '\\') shotsFolder += '\\';
        } else {
            fprintf(stderr, "kivhost: unknown argument '%s'; see kivhost --help\n", argv[i]);
            return 2;
        }
    }
    CreateDirectoryA(profile.c_str(), nullptr);
    if (!optionsShots.empty()) {
        int written = takeOptionsShots(pluginPath, profile, optionsShots);
        printf("options pictures written: %d\n", written);
        return written == 3 ? 0 : 1;
    }
    if (!shotsFolder.empty()) return takeSchemeShots(pluginPath, profile, shotsFolder, outsideGrab) > 0 ? 0 : 1;
    hostCore& host = hostCore::get();
    host.setProfile("kivtest", profile);
    host.mainWindow();

    pluginLoader plugin(pluginPath);
    if (!plugin.loaded()) {
        fprintf(stderr, "kivhost: %s\n", plugin.error().c_str());
        return 1;
    }
    const kiv::abi::plugin_info* info = plugin.info(kiv::abi::minimumHostVersion);
    if (!info) {
        fprintf(stderr, "kivhost: %s refused this host version\n", pluginPath.c_str());
        return 1;
    }
    unsigned v = info->version;
    printf("loaded %s: %s %u.%u.%u.%u\n", pluginPath.c_str(), info->name, v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF,
           v & 0xFF);
    plugin.load();
    printf("services:");
    for (const std::string& name : host.serviceNames()) printf(" %s", name.c_str());
    printf("\nhost calls during load:\n");
    for (const std::string& line : host.logNames()) printf("  %s\n", line.c_str());
    printf("menu items: %u, options pages: %u\n", static_cast<unsigned>(host.menuItems().size()),
           static_cast<unsigned>(host.optionsPages().size()));
    if (optionsOpen) optionsWindow(host).run();
    plugin.unload();
    return 0;
}
