// A greedy plug-in through the built kiv.tpl in kivhost: one of its threads reports progress with
// kiv/popup/update as fast as it can, on one notification, for a while. Measures how long the
// messenger's thread went without answering a message of its own, how much memory the process
// took meanwhile (the calls that wait for that thread), how many calls were refused, and how long
// after the flood the notification showed the last text.
//
// usage: kiv_bench_greedy [MILLISECONDS]   (default 1000: how long the worker floods)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "benchSupport.h"
#include "paintRecorder.h"

namespace {

constexpr double catchUpLimit = 120000;  // stop waiting for the last text after two minutes

const char* const settings =
    "[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=standard.kivs\r\nvisibletime=5\r\n";

struct flood {
    kiv::abi::ServiceFn update = nullptr;
    int id = 0;
    double milliseconds = 0;
    volatile LONG calls = 0;
    volatile LONG refused = 0;
    volatile LONG done = 0;
    double endedAt = 0;
    SIZE_T peakBytes = 0;  // sampled by the worker: the messenger's thread may be busy
};

std::string textOf(LONG call) {
    return "Pobrano " + std::to_string(call);
}

DWORD WINAPI floodUpdates(void* parameter) {
    auto* work = static_cast<flood*>(parameter);
    const double end = kivbench::milliseconds() + work->milliseconds;
    while (kivbench::milliseconds() < end) {
        const LONG call = work->calls + 1;
        const std::string text = textOf(call);
        if (work->update(static_cast<WPARAM>(work->id), reinterpret_cast<LPARAM>(text.c_str())) != 0)
            InterlockedIncrement(&work->refused);
        InterlockedExchange(&work->calls, call);
        if (call % 1000 == 0) work->peakBytes = std::max(work->peakBytes, kivbench::privateBytes());
    }
    work->endedAt = kivbench::milliseconds();
    InterlockedExchange(&work->done, 1);
    return 0;
}

bool showsText(HWND window, const std::string& text) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<std::string> texts = kivhost::paintRecorder::get().latest(window).texts;
    return !texts.empty() && texts.back() == text;
}

std::string megabytes(SIZE_T bytes) {
    char text[32];
    snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    flood work;
    work.milliseconds = argc > 1 ? std::max(100, atoi(argv[1])) : 1000;
    kivbench::pluginSession session("greedy", settings, "");
    work.update = session.host.serviceFunction(kiv::popupUpdateService);
    const auto show = session.host.serviceFunction(kiv::popupShowService);
    if (!session.running() || !work.update || !show) {
        fprintf(stderr, "kiv.tpl did not load\n");
        return 1;
    }
    kiv::popup_info info = kivbench::popupFromAla("Pobrano 0", "ico_small");
    kiv::popup_options2 keep = {};
    keep.size = sizeof keep;
    keep.keepOpen = 1;
    work.id = show(reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(&keep));
    if (work.id <= 0 || !kivhost::pumpUntil([] { return kivbench::shownNotifications() == 1; }, 5000)) {
        fprintf(stderr, "the notification did not appear\n");
        return 1;
    }
    HWND window = FindWindowExA(nullptr, nullptr, "kiv_notify_window", nullptr);
    const SIZE_T before = kivbench::privateBytes();
    work.peakBytes = before;

    // After each of kiv's turns this thread posts itself a message, answered before the next turn;
    // the longest time the thread spent in one message is how long the messenger could not answer.
    HANDLE worker = CreateThread(nullptr, 0, floodUpdates, &work, 0, nullptr);
    const double start = kivbench::milliseconds();
    double longestGap = 0;
    int answers = 0;
    bool caughtUp = false;
    while (!caughtUp && kivbench::milliseconds() - start < work.milliseconds + catchUpLimit) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_APP && !message.hwnd) {
            ++answers;
            continue;
        }
        const bool kivTurn = message.message == WM_TIMER && !message.hwnd;  // the manager's thread timer
        const double dispatched = kivbench::milliseconds();
        DispatchMessageA(&message);
        longestGap = std::max(longestGap, kivbench::milliseconds() - dispatched);
        if (!kivTurn) continue;
        PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
        if (work.done) caughtUp = showsText(window, textOf(work.calls));
    }
    const double caughtUpAt = kivbench::milliseconds();
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);

    printf("## A greedy plug-in: kiv/popup/update as fast as it can\n\n");
    printf("One thread of another plug-in updates one notification's text through kiv's service function "
           "for %.0f ms, as fast as it can; the messenger's thread runs its messages meanwhile, kiv's ticks "
           "among them, and after each tick a message it posts itself.\n\n",
           work.milliseconds);
    printf("| calls | refused | messages answered | longest in one message | memory taken (peak) | "
           "last text shown after the flood |\n|---:|---:|---:|---:|---:|---:|\n");
    printf("| %ld | %ld | %d | %.0f ms | %s | %s |\n\n", work.calls, work.refused, answers, longestGap,
           megabytes(work.peakBytes - std::min(before, work.peakBytes)).c_str(),
           caughtUp ? (std::to_string(static_cast<long>(caughtUpAt - work.endedAt)) + " ms").c_str()
                    : "not within two minutes");
    if (!caughtUp) {
        const std::vector<std::string> texts = kivhost::paintRecorder::get().latest(window).texts;
        fprintf(stderr, "last text painted: %s, sent: %s\n", texts.empty() ? "none" : texts.back().c_str(),
                textOf(work.calls).c_str());
    }
    return caughtUp ? 0 : 1;
}
