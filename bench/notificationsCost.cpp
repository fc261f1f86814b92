// Notifications through the built kiv.tpl in kivhost: how long a kiv/popup request waits before
// its window is visible, and what thousands of notifications leave behind: the live GDI and USER
// objects the module owns (counted through its import table, since GetGuiResources answers 0
// under Wine) and the process's working set.
//
// usage: kiv_bench_notifications [NOTIFICATIONS] [LATENCY_SAMPLES]   (default 10000 and 40)
//
// 10000 notifications take about four minutes under qemu's emulation.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "benchSupport.h"
#include "kiv/popup.h"
#include "objectTracker.h"
#include "paintRecorder.h"
#include "windowProbe.h"

namespace {

constexpr const char* notifyClass = "kiv_notify_window";
constexpr int batch = 50;  // windows on screen at once
constexpr int defaultCount = 10000;
constexpr DWORD visibleTime = 5000;

const char* const settings =
    "[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=standard.kivs\r\nvisibletime=5\r\n";

// Runs the messages waiting, then checks; until the condition holds or the time is up.
template <class Condition>
bool waitFor(Condition condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition()) return true;
        if (GetTickCount() - start >= milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
}

void moveClock(DWORD by) {
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    clock.freeze(clock.now() + by);
}

// Requests as other plug-ins and the protocol hook make them: with and without a description,
// with the module's icons and with the contact's status icon.
int popup(kivbench::pluginSession& session, int serial, int itemHandle) {
    static const char* const texts[] = {"Ala ma kota, a kot ma Alę; opis na dwie linie albo i trzy.", "",
                                        "krótki opis"};
    static const char* const icons[] = {"message", "", "chatmessage", "ico_small"};
    kiv::popup_info info = kivbench::popupFromAla(texts[serial % 3], icons[serial % 4]);
    info.itemHandle = itemHandle;
    return session.host.callPluginService("kiv/popup", reinterpret_cast<WPARAM>(&info), 0);
}

// From the call of kiv/popup until the window is visible. The manager's 100 ms tick turns the
// queue into windows, so each request is made at a random point between two ticks.
std::vector<double> latencies(kivbench::pluginSession& session, int samples, int itemHandle) {
    std::vector<double> spent;
    srand(12345);
    for (int i = 0; i < samples; ++i) {
        kivhost::pumpMessages(static_cast<DWORD>(rand() % 100));
        double start = kivbench::milliseconds();
        if (popup(session, i, itemHandle) != 0) break;
        if (!kivhost::pumpUntil([] { return kivbench::shownNotifications() == 1; }, 5000)) break;
        spent.push_back(kivbench::milliseconds() - start);
        moveClock(visibleTime);
        kivhost::pumpUntil([] { return kivbench::shownNotifications() == 0; }, 5000);
    }
    return spent;
}

struct snapshot {
    const char* when;
    size_t gdi = 0;   // GDI objects and device contexts
    size_t user = 0;  // windows
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
};

snapshot take(const char* when) {
    snapshot s;
    s.when = when;
    for (const auto& entry : kivhost::objectTracker::get().live())
        (entry.first.first == kivhost::objectTracker::windowHandle ? s.user : s.gdi)++;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) s.workingSet = memory.WorkingSetSize;
    s.privateBytes = kivbench::privateBytes();
    return s;
}

// kivhost keeps every service call and every window's latest paint for the tests; that is the
// host's memory, not the module's, so it goes between batches.
void forgetHostRecords(kivbench::pluginSession& session) {
    session.host.log.clear();
    session.host.log.shrink_to_fit();
    kivhost::paintRecorder::get().clear();
}

// Batches of windows shown, painted and retired by moving the module's clock past their visible
// time; false when a batch did not appear or did not go.
bool showMany(kivbench::pluginSession& session, int count, int itemHandle, std::vector<snapshot>& snapshots,
              snapshot& peak) {
    for (int sent = 0; sent < count;) {
        const int now = std::min(batch, count - sent);
        for (int i = 0; i < now; ++i, ++sent)
            if (popup(session, sent, itemHandle) != 0) return false;
        if (!waitFor([&] { return kivbench::shownNotifications() == static_cast<size_t>(now); }, 30000)) return false;
        for (HWND window : kivhost::findWindows(notifyClass))
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        snapshot open = take("");
        if (open.gdi >= peak.gdi) peak = open;
        moveClock(visibleTime);
        if (!waitFor([] { return kivbench::shownNotifications() == 0; }, 30000)) return false;
        forgetHostRecords(session);
        if (sent == count / 2) snapshots.push_back(take("after half of them, all closed"));
    }
    snapshots.push_back(take("after all of them, all closed"));
    return true;
}

void printLatency(std::vector<double> spent) {
    std::sort(spent.begin(), spent.end());
    const double mean = std::accumulate(spent.begin(), spent.end(), 0.0) / static_cast<double>(spent.size());
    printf("## From kiv/popup to a visible window\n\n");
    printf("%zu requests, one at a time, each made at a random moment between two of the manager's "
           "100 ms ticks; shipped scheme standard.kivs, no opening animation.\n\n", spent.size());
    printf("| mean | median | fastest | slowest |\n|---:|---:|---:|---:|\n");
    printf("| %.1f ms | %.1f ms | %.1f ms | %.1f ms |\n\n", mean, spent[spent.size() / 2], spent.front(), spent.back());
    printf("The request waits in the queue for the next tick (50 ms on average), then the tick builds "
           "the window (see the per-window cost below) and shows it.\n\n");
}

std::string megabytes(SIZE_T bytes) {
    char text[32];
    snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1048576.0);
    return text;
}

void printObjects(int count, double seconds, const std::vector<snapshot>& snapshots, const snapshot& peak,
                  size_t gdiAfterUnload, size_t userAfterUnload) {
    printf("## Objects and memory across %d notifications\n\n", count);
    printf("Shown %d at a time, painted, then retired by moving the module's clock; %.0f s in all "
           "(%.1f ms per notification, ticks included). GDI counts the bitmaps, fonts, brushes, regions "
           "and device contexts the module holds; USER its windows; both come from kivhost's "
           "objectTracker, which sees the module's calls through its import table (GetGuiResources "
           "answers 0 under Wine). Memory: the process's private bytes, the committed private pages "
           "summed with VirtualQuery (GetProcessMemoryInfo's PrivateUsage reads 0 under Wine), and its "
           "working set; kivhost's own records of calls and paints are cleared between batches.\n\n",
           batch, seconds, 1000.0 * seconds / count);
    printf("| when | GDI objects | USER objects | private bytes | working set |\n|---|---:|---:|---:|---:|\n");
    for (const snapshot& s : snapshots)
        printf("| %s | %zu | %zu | %s | %s |\n", s.when, s.gdi, s.user, megabytes(s.privateBytes).c_str(),
               megabytes(s.workingSet).c_str());
    printf("| peak, %d windows open | %zu | %zu | %s | %s |\n", batch, peak.gdi, peak.user,
           megabytes(peak.privateBytes).c_str(), megabytes(peak.workingSet).c_str());
    printf("| after UnloadPlugin | %zu | %zu | | |\n\n", gdiAfterUnload, userAfterUnload);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(batch, atoi(argv[1])) : defaultCount;
    const int samples = argc > 2 ? std::max(1, atoi(argv[2])) : 40;
    std::vector<snapshot> snapshots;
    snapshot peak;
    std::vector<double> spent;
    double seconds = 0;
    bool completed = false;
    {
        kivbench::pluginSession session("notifications", settings, "");
        if (!session.running()) {
            fprintf(stderr, "kiv.tpl did not load: %s\n", session.error().c_str());
            return 1;
        }
        int group = session.host.contacts.addGroup("Znajomi");
        int ala = session.host.contacts.addContact("ala", "Ala", group);
        session.host.contacts.setIconIndex(ala, 1);
        moveClock(0);  // the module's clock stands still and moves only when told

        forgetHostRecords(session);
        snapshots.push_back(take("after start-up, before any notification"));
        spent = latencies(session, samples, ala);
        double start = kivbench::milliseconds();
        completed = showMany(session, count, ala, snapshots, peak);
        seconds = (kivbench::milliseconds() - start) / 1000.0;
    }
    snapshot unloaded = take("");
    if (spent.empty() || !completed) {
        fprintf(stderr, "the notifications did not appear or did not close in time\n");
        return 1;
    }
    printLatency(spent);
    printObjects(count, seconds, snapshots, peak, unloaded.gdi, unloaded.user);
    return 0;
}
