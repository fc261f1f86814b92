// What kiv costs while nothing happens, and how long a request waits for its window, through the
// built kiv.tpl in kivhost: the module's timer messages while idle, scaled to a minute, and for
// kiv/popup calls made at random moments the time until the window is visible, set against the
// window's own cost (the one call or message, of those the thread ran, in which it was built).
//
// usage: kiv_bench_wakeup [IDLE_SECONDS] [SAMPLES]   (default 10 and 40)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "benchSupport.h"
#include "kiv/popup.h"
#include "timerRecorder.h"

namespace {

constexpr DWORD visibleTime = 5000;
const char* const settings =
    "[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=standard.kivs\r\nvisibletime=5\r\n";

struct sample {
    double wait = 0;   // from the call to the visible window
    double build = 0;  // the call or message in which the window came
};

bool shown() {
    return kivbench::shownNotifications() == 1;
}

// One request; the thread then runs its messages one at a time, each timed.
bool request(kivbench::pluginSession& session, sample& taken) {
    kiv::popup_info info = kivbench::popupFromAla("Ala ma kota, a kot ma Alę.", "message");
    const double start = kivbench::milliseconds();
    if (session.host.callPluginService("kiv/popup", reinterpret_cast<WPARAM>(&info), 0) != 0) return false;
    taken.build = kivbench::milliseconds() - start;
    while (!shown()) {
        if (kivbench::milliseconds() - start > 5000) return false;
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
            continue;
        }
        const double before = kivbench::milliseconds();
        TranslateMessage(&message);
        DispatchMessageA(&message);
        taken.build = kivbench::milliseconds() - before;
    }
    taken.wait = kivbench::milliseconds() - start;
    return true;
}

void moveClock(DWORD by) {
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    clock.freeze(clock.now() + by);
}

double mean(const std::vector<double>& values) {
    return values.empty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

}  // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int samples = argc > 2 ? std::max(1, atoi(argv[2])) : 40;
    kivbench::pluginSession session("wakeup", settings, "[global]\r\n");
    if (!session.running()) {
        fprintf(stderr, "kiv did not load: %s\n", session.error().c_str());
        return 1;
    }
    kivhost::moduleClock::get().advance(60000);  // past the quiet period of start-up
    kivhost::pumpMessages(500);
    const size_t idle = kivhost::pumpCountingTimers(static_cast<DWORD>(idleSeconds) * 1000);

    std::vector<double> waits, builds;
    srand(12345);
    for (int i = 0; i < samples; ++i) {
        kivhost::pumpMessages(static_cast<DWORD>(rand() % 100));
        sample taken;
        if (!request(session, taken)) break;
        waits.push_back(taken.wait);
        builds.push_back(taken.build);
        moveClock(visibleTime);
        kivhost::pumpUntil([] { return kivbench::shownNotifications() == 0; }, 5000);
    }
    const size_t afterwards = kivhost::pumpCountingTimers(static_cast<DWORD>(idleSeconds) * 1000);
    const double slowest = waits.empty() ? 0 : *std::max_element(waits.begin(), waits.end());

    printf("## Wake-ups while idle, and from a request to its window\n\n");
    printf("The module's timer messages over %d s with nothing shown, after start-up and again after %zu "
           "notifications came and went, scaled to a minute; then %zu kiv/popup calls made at random "
           "moments, each until its window is visible, against the call or message in which the window "
           "was built (shipped scheme standard.kivs, no opening animation).\n\n",
           idleSeconds, waits.size(), waits.size());
    printf("| idle wake-ups per minute, after start-up | after notifications | request to window, mean | slowest | "
           "window's own cost, mean | mean / own cost | slowest / own cost |\n|---:|---:|---:|---:|---:|---:|---:|\n");
    const double own = mean(builds);
    printf("| %.0f | %.0f | %.1f ms | %.1f ms | %.1f ms | %.2f | %.2f |\n\n", idle * 60.0 / idleSeconds,
           afterwards * 60.0 / idleSeconds, mean(waits), slowest, own, own > 0 ? mean(waits) / own : 0,
           own > 0 ? slowest / own : 0);
    return 0;
}
