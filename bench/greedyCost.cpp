// A greedy plug-in through the built kiv.tpl in kivhost: one of its threads reports progress as
// fast as it can, on one notification, for a while: with kiv/popup/update alone, then with
// kiv/popup/update and kiv/popup/progress in turn. Measures how long the messenger's thread went
// without answering a message of its own, how much memory the process took meanwhile (the calls
// that wait for that thread), how many calls were refused, and how long after the flood the
// notification showed the last text and the last value of its bar.
//
// usage: kiv_bench_greedy [MILLISECONDS]   (default 1000: how long the worker floods)
#include <windows.h>

#include <oleacc.h>

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
    kiv::abi::ServiceFn progress = nullptr;  // null: updates alone
    int id = 0;
    double milliseconds = 0;
    volatile LONG calls = 0;
    volatile LONG refused = 0;
    volatile LONG done = 0;
    std::string lastText;  // the worker's last of each, read once it is done
    int lastProgress = 0;
    double endedAt = 0;
    SIZE_T peakBytes = 0;  // sampled by the worker: the messenger's thread may be busy
};

struct figures {
    LONG calls = 0;
    LONG refused = 0;
    int answers = 0;
    double longestGap = 0;
    SIZE_T memory = 0;
    double caughtUpAfter = -1;  // -1: not within the limit
};

std::string textOf(LONG call) {
    return "Pobrano " + std::to_string(call);
}

// Every call an update, or every other one a move of the bar, 0 to 100 and round again.
DWORD WINAPI floodCalls(void* parameter) {
    auto* work = static_cast<flood*>(parameter);
    const double end = kivbench::milliseconds() + work->milliseconds;
    while (kivbench::milliseconds() < end) {
        const LONG call = work->calls + 1;
        int answer = 0;
        if (work->progress && call % 2 == 0) {
            work->lastProgress = call / 2 % 101;
            answer = work->progress(static_cast<WPARAM>(work->id), static_cast<LPARAM>(work->lastProgress));
        } else {
            work->lastText = textOf(call);
            answer = work->update(static_cast<WPARAM>(work->id), reinterpret_cast<LPARAM>(work->lastText.c_str()));
        }
        if (answer != 0) InterlockedIncrement(&work->refused);
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

// The bar's value as a screen reader reads it: the notification has no buttons, so the bar is
// its first child.
bool showsProgress(HWND window, int percent) {
    void* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), &object))) return false;
    auto* accessible = static_cast<IAccessible*>(object);
    VARIANT bar;
    VariantInit(&bar);
    bar.vt = VT_I4;
    bar.lVal = 1;
    BSTR value = nullptr;
    const bool read = SUCCEEDED(accessible->get_accValue(bar, &value)) && value;
    const bool same = read && std::wstring(value) == std::to_wstring(percent) + L"%";
    SysFreeString(value);
    accessible->Release();
    return same;
}

bool caughtUp(HWND window, const flood& work) {
    return showsText(window, work.lastText) && (!work.progress || showsProgress(window, work.lastProgress));
}

std::string megabytes(SIZE_T bytes) {
    char text[32];
    snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

// A notification with a bar that stays open, flooded from another thread while this one runs its
// messages. False when kiv did not load, or the notification or its bar did not appear.
bool measure(double milliseconds, bool withProgress, figures& f) {
    kivbench::pluginSession session(withProgress ? "greedy-progress" : "greedy", settings, "");
    flood work;
    work.milliseconds = milliseconds;
    work.update = session.host.serviceFunction(kiv::popupUpdateService);
    if (withProgress) work.progress = session.host.serviceFunction(kiv::popupProgressService);
    const auto show = session.host.serviceFunction(kiv::popupShowService);
    if (!session.running() || !work.update || !show || (withProgress && !work.progress)) return false;
    kiv::popup_info info = kivbench::popupFromAla("Pobrano 0", "ico_small");
    kiv::popup_options3 options = {};
    options.size = sizeof options;
    options.keepOpen = 1;
    options.progress = 0;
    work.id = show(reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(&options));
    if (work.id <= 0 || !kivhost::pumpUntil([] { return kivbench::shownNotifications() == 1; }, 5000)) return false;
    HWND window = FindWindowExA(nullptr, nullptr, "kiv_notify_window", nullptr);
    // The reader's object is made before the flood, as it is while a screen reader runs: the
    // catching up is kiv's, not oleacc.dll's first load.
    if (!showsProgress(window, 0)) return false;
    HWND inbox = FindWindowExA(HWND_MESSAGE, nullptr, "kiv_inbox_window", nullptr);
    const SIZE_T before = kivbench::privateBytes();
    work.peakBytes = before;

    // After each of kiv's turns (its inbox's message, or the manager's tick) this thread posts
    // itself a message, answered before the next turn; the longest time the thread spent in one
    // message is how long the messenger could not answer.
    HANDLE worker = CreateThread(nullptr, 0, floodCalls, &work, 0, nullptr);
    const double start = kivbench::milliseconds();
    bool done = false;
    while (!done && kivbench::milliseconds() - start < milliseconds + catchUpLimit) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_APP && !message.hwnd) {
            ++f.answers;
            continue;
        }
        const bool kivTurn = (inbox && message.hwnd == inbox) || (message.message == WM_TIMER && !message.hwnd);
        const double dispatched = kivbench::milliseconds();
        DispatchMessageA(&message);
        f.longestGap = std::max(f.longestGap, kivbench::milliseconds() - dispatched);
        if (!kivTurn) continue;
        PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
        done = work.done && caughtUp(window, work);
    }
    const double caughtUpAt = kivbench::milliseconds();
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    f.calls = work.calls;
    f.refused = work.refused;
    f.memory = work.peakBytes - std::min(before, work.peakBytes);
    if (done) f.caughtUpAfter = caughtUpAt - work.endedAt;
    if (!done)
        fprintf(stderr, "the last text (%s)%s was not shown within two minutes\n", work.lastText.c_str(),
                withProgress ? (" or value (" + std::to_string(work.lastProgress) + "%)").c_str() : "");
    return true;
}

void printRow(const char* changes, const figures& f) {
    printf("| %s | %ld | %ld | %d | %.0f ms | %s | %s |\n", changes, f.calls, f.refused, f.answers, f.longestGap,
           megabytes(f.memory).c_str(),
           f.caughtUpAfter < 0 ? "not within two minutes"
                               : (std::to_string(static_cast<long>(f.caughtUpAfter)) + " ms").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const double milliseconds = argc > 1 ? std::max(100, atoi(argv[1])) : 1000;
    figures updates, alternating;
    if (!measure(milliseconds, false, updates) || !measure(milliseconds, true, alternating)) {
        fprintf(stderr, "kiv.tpl did not load, or the notification or its bar did not appear\n");
        return 1;
    }

    printf("## A greedy plug-in: kiv/popup/update and kiv/popup/progress as fast as it can\n\n");
    printf("One thread of another plug-in changes one notification with a bar through kiv's service "
           "functions for %.0f ms, as fast as it can: its text alone, or its text and its bar's value "
           "(0 to 100, round again) in turn. The messenger's thread runs its messages meanwhile, kiv's "
           "among them (its inbox's message and its ticks), and after each of kiv's a message it posts "
           "itself. The last change is shown when the notification paints the last text and a screen "
           "reader (its object made before the flood) reads the last value of the bar.\n\n",
           milliseconds);
    printf("| the worker changes | calls | refused | messages answered | longest in one message | memory taken (peak) | "
           "last change shown after the flood |\n|---|---:|---:|---:|---:|---:|---:|\n");
    printRow("the text (update)", updates);
    printRow("the text and the bar in turn (update, progress)", alternating);
    printf("\n");
    return updates.caughtUpAfter >= 0 && alternating.caughtUpAfter >= 0 ? 0 : 1;
}
