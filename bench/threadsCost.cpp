// kiv/popup/show from other plug-ins' threads against the same from the messenger's thread, through
// the built kiv.tpl in kivhost: how many calls a second each way, how many of other threads'
// requests the messenger's thread then takes a second, and how long from a call to its window on
// the screen. A call on the messenger's thread shows or queues its request before it returns;
// another thread's call only hands it over, and one posted message brings the messenger's thread
// to it.
//
// usage: kiv_bench_threads [CALLS] [LATENCY_SAMPLES]   (default 4000 and 40)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "benchSupport.h"
#include "kiv/popup.h"

namespace {

constexpr int threads = 4;
constexpr DWORD visibleTime = 5000;

const char* const settings =
    "[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=standard.kivs\r\nvisibletime=5\r\n";

kiv::abi::ServiceFn showService = nullptr;

// kiv's own function, as the host calls it once it has found the name: what is measured is kiv,
// not kivhost's lookup and call log.
int show() {
    kiv::popup_info info = kivbench::popupFromAla("Pobrano 100%", "ico_small");
    return showService(reinterpret_cast<WPARAM>(&info), 0);
}

struct rates {
    double calls = 0;    // a second; 0: kiv did not load or refused a call
    double handled = 0;  // other threads' requests the messenger's thread took a second
};

struct burst {
    int calls = 0;
    int refused = 0;
    HANDLE go = nullptr;  // the threads start together, once they all exist
};

DWORD WINAPI showBurst(void* parameter) {
    auto* work = static_cast<burst*>(parameter);
    if (work->go) WaitForSingleObject(work->go, INFINITE);
    for (int i = 0; i < work->calls; ++i) work->refused += show() <= 0;
    return 0;
}

// Runs this thread's messages until none waits for kiv's inbox window: every request handed
// over has been taken.
void drainInbox() {
    HWND inbox = FindWindowExA(HWND_MESSAGE, nullptr, "kiv_inbox_window", nullptr);
    MSG message;
    while (inbox && PeekMessageA(&message, inbox, 0, 0, PM_NOREMOVE)) kivhost::pumpMessages(0);
}

// Calls a second: all of them from this thread, then the same number from other threads at once
// while this one waits for them, and then how fast this one takes what they handed over. Each in
// a fresh session.
rates rate(int calls, int workers) {
    kivbench::pluginSession session("threads", settings, "");
    showService = session.host.serviceFunction(kiv::popupShowService);
    if (!session.running() || !showService) return {};
    if (workers == 0) {
        burst own{calls, 0, nullptr};
        const double start = kivbench::milliseconds();
        showBurst(&own);
        return own.refused ? rates{} : rates{1000.0 * calls / (kivbench::milliseconds() - start), 0};
    }
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<burst> work(static_cast<size_t>(workers), burst{calls / workers, 0, go});
    std::vector<HANDLE> handles;
    for (burst& part : work) handles.push_back(CreateThread(nullptr, 0, showBurst, &part, 0, nullptr));
    Sleep(200);  // every thread waits at the start
    const double start = kivbench::milliseconds();
    SetEvent(go);
    WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, INFINITE);
    const double spent = kivbench::milliseconds() - start;
    for (HANDLE handle : handles) CloseHandle(handle);
    CloseHandle(go);
    for (const burst& part : work)
        if (part.refused) return {};
    const double taking = kivbench::milliseconds();
    drainInbox();
    return {1000.0 * calls / spent, 1000.0 * calls / (kivbench::milliseconds() - taking)};
}

struct callFrom {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    double calledAt = 0;
};

DWORD WINAPI showOnce(void* parameter) {
    auto* call = static_cast<callFrom*>(parameter);
    call->calledAt = kivbench::milliseconds();
    show();
    SetEvent(call->done);
    return 0;
}

void moveClock(DWORD by) {
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    clock.freeze(clock.now() + by);
}

// From the call until the window is visible, each call with the screen empty and the manager idle.
std::vector<double> latencies(int samples, bool fromWorker) {
    kivbench::pluginSession session(fromWorker ? "threads-worker" : "threads-own", settings, "");
    std::vector<double> spent;
    showService = session.host.serviceFunction(kiv::popupShowService);
    if (!session.running() || !showService) return spent;
    moveClock(0);
    for (int i = 0; i < samples; ++i) {
        kivhost::pumpMessages(150);  // the last window retired, and the manager's tick stopped with it
        callFrom call;
        if (fromWorker) {
            HANDLE worker = CreateThread(nullptr, 0, showOnce, &call, 0, nullptr);
            CloseHandle(worker);
        } else {
            showOnce(&call);
        }
        if (!kivhost::pumpUntil([] { return kivbench::shownNotifications() == 1; }, 5000)) break;
        const double visible = kivbench::milliseconds();
        WaitForSingleObject(call.done, INFINITE);
        CloseHandle(call.done);
        spent.push_back(visible - call.calledAt);
        moveClock(visibleTime);
        kivhost::pumpUntil([] { return kivbench::shownNotifications() == 0; }, 5000);
    }
    return spent;
}

double mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::max(threads, atoi(argv[1])) / threads * threads : 4000;
    const int samples = argc > 2 ? std::max(1, atoi(argv[2])) : 40;
    const rates own = rate(calls, 0);
    const rates single = rate(calls, 1);
    const rates shared = rate(calls, threads);
    std::vector<double> ownDelay = latencies(samples, false);
    std::vector<double> workerDelay = latencies(samples, true);
    if (own.calls <= 0 || single.calls <= 0 || shared.calls <= 0 || ownDelay.size() != static_cast<size_t>(samples) ||
        workerDelay.size() != static_cast<size_t>(samples)) {
        fprintf(stderr, "kiv.tpl did not load, refused a call, or a window did not appear in time\n");
        return 1;
    }
    printf("## kiv/popup/show from other threads\n\n");
    printf("%d calls of kiv's service function (as the host calls it once it has found the name) from the "
           "messenger's thread, then from one other thread, then split over %d threads at once while the "
           "messenger's thread waits for them, each in a fresh session. A call on the messenger's thread "
           "shows its request before it returns, or queues it once the stack fills the work area (the queue "
           "keeps the newest 100); another thread's call only hands it over, and the messenger's thread "
           "takes what waits when it next runs its messages. Then %d calls one at a time, the screen empty, "
           "from the messenger's thread and from a new thread each, until the window is visible.\n\n",
           calls, threads, samples);
    printf("| from | calls a second | taken by the messenger's thread a second | call to visible window: mean | "
           "slowest |\n|---|---:|---:|---:|---:|\n");
    printf("| the messenger's thread | %.0f | (in the call) | %.1f ms | %.1f ms |\n", own.calls, mean(ownDelay),
           *std::max_element(ownDelay.begin(), ownDelay.end()));
    printf("| 1 other thread | %.0f | %.0f | | |\n", single.calls, single.handled);
    printf("| %d other threads | %.0f | %.0f | %.1f ms | %.1f ms |\n\n", threads, shared.calls, shared.handled,
           mean(workerDelay), *std::max_element(workerDelay.begin(), workerDelay.end()));
    printf("One other thread makes %.0f times the calls a second of the messenger's thread and the %d threads "
           "together %.0f times: their calls only hand "
           "the request over, and the messenger's thread takes them later at %.2f times its own calls' "
           "rate. A worker's window is visible %.1f ms after its call on average, one posted message later, "
           "against %.1f ms for a call on the messenger's thread.\n",
           single.calls / own.calls, threads, shared.calls / own.calls, single.handled / own.calls,
           mean(workerDelay), mean(ownDelay));
    return 0;
}
