// What one notification window costs before it is shown: create the platform window with its
// copy of the skin, size it to its text, compose the skin picture and build the window shape;
// also with a caller's progress bar and three buttons, whose captions are measured as it is sized.
// Prints the mean in milliseconds for every shipped scheme, as Markdown.
//
// usage: kiv_bench_window [WINDOWS]   (default 200 windows per scheme)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchKeeper.h"
#include "benchSupport.h"
#include "hostCore.h"
#include "notify/stackScreen.h"
#include "notify/window.h"
#include "scheme/skin.h"
#include "settings/config.h"
#include "base/moduleState.h"
#include "base/systemModes.h"
#include "base/text.h"

namespace {

using kivbench::milliseconds;

struct figures {
    double build = 0;    // create + size + compose + region
    double paint = 0;    // erase and paint into a picture of the window's size
    double destroy = 0;
};

kiv::window_info plainRequest() {
    kiv::window_info request;
    request.setTexts("TLEN", "ala", "Ala", "Ala ma kota, a kot ma Alę: opis na dwie linie, żeby rosła wysokość.",
                     "message");
    return request;
}

kiv::window_info requestWithActions() {
    kiv::window_info request = plainRequest();
    request.progress = 40;
    request.setActions({"Otwórz", "Pokaż w folderze", "Odrzuć"});
    return request;
}

figures measure(const char* scheme, int count, kiv::window_info request) {
    kiv::skin look;
    look.load(kiv::plugin.schemeFolder, scheme);
    kiv::plugin.scheme = &look;
    kiv::copyText(kiv::plugin.settings->scheme, scheme);  // the scheme each window follows
    figures spent;
    kivbench::benchKeeper keeper;
    std::vector<kiv::window*> windows;
    HDC screen = GetDC(nullptr);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, 1024, 768);
    HGDIOBJ previous = SelectObject(canvas, picture);
    for (int i = 0; i < count; ++i) {
        double start = milliseconds();
        auto* shown = new kiv::window(request, keeper);
        shown->fitToContent(kiv::workArea());
        spent.build += milliseconds() - start;
        start = milliseconds();
        shown->eraseBackground(canvas);
        shown->paint(canvas);
        spent.paint += milliseconds() - start;
        windows.push_back(shown);
        if (windows.size() == 20) {  // as many as a screen holds at once
            start = milliseconds();
            for (kiv::window* w : windows) delete w;
            spent.destroy += milliseconds() - start;
            windows.clear();
        }
    }
    double start = milliseconds();
    for (kiv::window* w : windows) delete w;
    spent.destroy += milliseconds() - start;
    SelectObject(canvas, previous);
    DeleteObject(picture);
    DeleteDC(canvas);
    ReleaseDC(nullptr, screen);
    kiv::plugin.scheme = nullptr;
    return spent;
}

// The mean of one ask, in microseconds.
template <class Ask>
double askCost(Ask ask, int count) {
    double start = milliseconds();
    for (int i = 0; i < count; ++i) ask();
    return (milliseconds() - start) * 1000 / count;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    kivhost::hostCore& host = kivhost::hostCore::get();
    kiv::plugin.instance = GetModuleHandleA(nullptr);
    kiv::plugin.hostServices = host.serviceTable();
    const std::string folder = kivhost::programFolder();
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

    printf("## What one notification window costs\n\n");
    printf("Create (with the copy of the skin), size to a two-line description, compose the skin picture "
           "and build the window shape, in the module's code linked into the program; then erase and paint "
           "it into a picture; the mean of %d windows per shipped scheme, 20 alive at a time. The same for "
           "a notification that also has a progress bar and three buttons (captions of 6 to 16 letters)."
           "\n\n", count);
    printf("| scheme | create + size + compose + region | erase + paint | destroy | with a bar and three buttons: "
           "create ... region | erase + paint |\n|---|---:|---:|---:|---:|---:|\n");
    for (const char* scheme : {"standard.kivs", "dark.kivs", "rounded.kivs"}) {
        measure(scheme, 5, plainRequest());  // warm up fonts and caches
        figures spent = measure(scheme, count, plainRequest());
        figures extras = measure(scheme, count, requestWithActions());
        printf("| %s | %.2f ms | %.2f ms | %.2f ms | %.2f ms | %.2f ms |\n", scheme, spent.build / count,
               spent.paint / count, spent.destroy / count, extras.build / count, extras.paint / count);
    }
    printf("\n");
    const int asks = 20 * count;
    printf("Of that, each window asks the system for its modes: high contrast %.1f microseconds, and, with "
           "`darkscheme` set, the theme of programs from the registry %.1f microseconds (the mean of %d "
           "asks).\n\n",
           askCost(kiv::highContrastOn, asks), askCost(kiv::programsUseDarkTheme, asks), asks);
    kiv::plugin.settings = nullptr;
    UnregisterClassA(kiv::notifyWindowClass, kiv::plugin.instance);
    return 0;
}
