// The time to show a notification whose skin is too detailed for a window shape (a one-pixel
// checkerboard of the key colour, 76,800 runs) against one with a plain skin of the same size,
// through the built kiv.tpl in kivhost, both in the same run: the ratio is the figure that matters.
//
// usage: kiv_bench_shape [WINDOWS]   (default 30 of each)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchSupport.h"
#include "skinScenes.h"
#include "windowProbe.h"

namespace {

void moveClock(DWORD by) {
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    clock.freeze(clock.now() + by);
}

struct measured {
    double mean = 0;
    size_t rectangles = 0;
    int shown = 0;
};

// From the call of kiv/popup until the window is visible, made at a random point between two of
// the manager's 100 ms ticks, one window at a time.
measured showWindows(const std::string& name, kivtest::skinPattern pattern, int windows) {
    const std::string folder = kivhost::schemeFolder();
    const std::string bitmap = folder + "kivbench-" + name + ".bmp", scheme = folder + "kivbench-" + name + ".kivs";
    kivtest::writeSkin(bitmap, pattern);
    kivbench::writeFile(scheme, "[skin]\r\n" + kivtest::skinSchemeKeys(bitmap));
    measured result;
    {
        kivbench::pluginSession session(
            "shape-" + name, "[general]\r\nfullscreenautooff=0\r\n[window]\r\nvisibletime=5\r\nscheme=kivbench-" + name +
                                 ".kivs\r\n",
            "");
        double total = 0;
        srand(12345);
        for (int i = 0; session.running() && i < windows; ++i) {
            kivhost::pumpMessages(static_cast<DWORD>(rand() % 100));
            kiv::popup_info info = kivbench::popupFromAla("Ala ma kota", "message");
            const double start = kivbench::milliseconds();
            session.host.callPluginService("kiv/popup", reinterpret_cast<WPARAM>(&info), 0);
            if (!kivhost::pumpUntil([] { return kivbench::shownNotifications() == 1; }, 60000)) break;
            total += kivbench::milliseconds() - start;
            ++result.shown;
            HWND window = FindWindowExA(nullptr, nullptr, "kiv_notify_window", nullptr);
            result.rectangles = kivhost::shapeOf(window).rects.size();
            moveClock(5000);
            kivhost::pumpUntil([] { return kivbench::shownNotifications() == 0; }, 60000);
        }
        result.mean = result.shown ? total / result.shown : 0;
    }
    DeleteFileA(scheme.c_str());
    DeleteFileA(bitmap.c_str());
    return result;
}

void printRow(const char* skin, const measured& m) {
    printf("| %s | %d | %.1f ms | %lu |\n", skin, m.shown, m.mean, static_cast<unsigned long>(m.rectangles));
    fflush(stdout);
}

}  // namespace

// Each row is printed as soon as it is measured: a plug-in whose window shape the X server
// refuses ends the process, and what was measured before it still shows.
int main(int argc, char** argv) {
    const int windows = argc > 1 ? std::clamp(atoi(argv[1]), 1, 1000) : 30;
    printf("## Showing a window whose skin is a one-pixel checkerboard\n\n");
    printf("From kiv/popup to the visible window through kiv.tpl in kivhost, the mean of %d windows one at a time, "
           "each request at a random point between two of the manager's 100 ms ticks; skins of %d x %d drawn 1:1, "
           "key colour magenta.\n\n",
           windows, kivtest::skinWidth, kivtest::skinHeight);
    printf("| skin | windows shown | to visible | rectangles in the window's shape |\n|---|---:|---:|---:|\n");
    const measured plain = showWindows("plain", kivtest::skinPattern::plain, windows);
    printRow("plain (no key pixel)", plain);
    const measured checkerboard = showWindows("checkerboard", kivtest::skinPattern::checkerboard, windows);
    printRow("one-pixel checkerboard (76,800 runs)", checkerboard);
    if (plain.shown && checkerboard.shown)
        printf("\nThe checkerboard's window takes %.2f times the plain one's time.\n\n", checkerboard.mean / plain.mean);
    return plain.shown == windows && checkerboard.shown == windows ? 0 : 1;
}
