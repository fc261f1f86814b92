// What one notification window costs before it is shown: create the platform window with its
// copy of the skin, size it to its text, compose the skin picture and build the window shape.
// Prints the mean in milliseconds for every shipped scheme.
//
// usage: kiv_bench_window [WINDOWS]   (default 200 windows per scheme)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hostCore.h"
#include "notify/window.h"
#include "scheme/skin.h"
#include "settings/config.h"
#include "shell/plugin.h"
#include "shell/text.h"

namespace {

std::string programFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.erase(folder.find_last_of('\\') + 1);
}

double now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct figures {
    double build = 0;    // create + size + compose + region
    double destroy = 0;
};

figures measure(const char* scheme, int count) {
    kiv::skin look;
    look.load(kiv::plugin.schemeFolder, scheme);
    kiv::plugin.scheme = &look;
    kiv::window_info request;
    request.setTexts("TLEN", "ala", "Ala", "Ala ma kota, a kot ma Alę: opis na dwie linie, żeby rosła wysokość.",
                     "message");
    figures spent;
    std::vector<kiv::window*> windows;
    for (int i = 0; i < count; ++i) {
        double start = now();
        auto* shown = new kiv::window(request);
        shown->fitToContent();
        spent.build += now() - start;
        windows.push_back(shown);
        if (windows.size() == 20) {  // as many as a screen holds at once
            start = now();
            for (kiv::window* w : windows) delete w;
            spent.destroy += now() - start;
            windows.clear();
        }
    }
    double start = now();
    for (kiv::window* w : windows) delete w;
    spent.destroy += now() - start;
    kiv::plugin.scheme = nullptr;
    return spent;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    kivhost::hostCore& host = kivhost::hostCore::get();
    kiv::plugin.instance = GetModuleHandleA(nullptr);
    kiv::plugin.hostServices = host.serviceTable();
    const std::string folder = programFolder();
    kiv::copyText(kiv::plugin.hostFolder, folder.c_str());
    kiv::copyText(kiv::plugin.schemeFolder, (folder + "plugins\\kiv.scheme\\").c_str());

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = kiv::notifyWindowProc;
    windowClass.hInstance = kiv::plugin.instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_HAND);
    windowClass.lpszClassName = kiv::notifyWindowClass;
    RegisterClassA(&windowClass);
    kiv::config settings("");
    kiv::plugin.settings = &settings;

    printf("per window: create + size + compose + region, %d windows per scheme\n", count);
    for (const char* scheme : {"standard.kivs", "dark.kivs", "rounded.kivs"}) {
        measure(scheme, 5);  // warm up fonts and caches
        figures spent = measure(scheme, count);
        printf("  %-14s %7.3f ms   (destroy %6.3f ms)\n", scheme, spent.build / count, spent.destroy / count);
    }
    kiv::plugin.settings = nullptr;
    UnregisterClassA(kiv::notifyWindowClass, kiv::plugin.instance);
    return 0;
}
