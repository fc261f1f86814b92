// What screen readers cost a user who has none: each notification raises the platform's alert
// event, which with no listener should vanish beside the cost of the window itself; and no
// notification loads oleacc.dll until something asks a window for its object.
//
// usage: kiv_bench_reader [WINDOWS]   (default 200 windows; the alert alone 50 times as often)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "benchKeeper.h"
#include "benchSupport.h"
#include "kiv/popup.h"
#include "notify/stackScreen.h"
#include "notify/window.h"
#include "scheme/skin.h"
#include "settings/config.h"
#include "base/moduleState.h"
#include "base/text.h"

namespace {

using kivbench::milliseconds;

struct figures {
    double appear = 0;  // per window: create, size, compose, shape, place, show (the alert included)
    double alert = 0;   // per call: the alert event alone, no listener
    double heard = 0;   // per call: the same with a listener hooked, as a screen reader hooks it
};

constexpr int alertCalls = 50;

void CALLBACK listener(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}

// The mean of one alert event for the window.
double alertTime(HWND window) {
    const double start = milliseconds();
    for (int call = 0; call < alertCalls; ++call)
        NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
    return (milliseconds() - start) / alertCalls;
}

double heardAlertTime(HWND window) {
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, listener, 0, 0, WINEVENT_OUTOFCONTEXT);
    const double spent = alertTime(window);
    UnhookWinEvent(hook);
    kivhost::pumpMessages(0);  // the events the listener was sent
    return spent;
}

// In the module's code linked into the program, as bench/windowCost.cpp builds windows.
figures measure(int count) {
    kiv::skin look;
    look.load(kiv::plugin.schemeFolder, "standard.kivs");
    kiv::plugin.scheme = &look;
    kiv::window_info request;
    request.setTexts("TLEN", "ala", "Ala", "Ala ma kota, a kot ma Alę: opis na dwie linie, żeby rosła wysokość.",
                     "message");
    figures spent;
    kivbench::benchKeeper keeper;
    for (int i = 0; i < count; ++i) {
        const double start = milliseconds();
        kiv::window shown(request, keeper);
        shown.fitToContent(kiv::workArea());
        shown.moveTo(600, 400, true);
        shown.reveal();
        spent.appear += milliseconds() - start;
        spent.alert += alertTime(shown.handle());
        spent.heard += heardAlertTime(shown.handle());
    }
    kiv::plugin.scheme = nullptr;
    spent.appear /= count;
    spent.alert /= count;
    spent.heard /= count;
    return spent;
}

void registerWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = kiv::notifyWindowProc;
    windowClass.hInstance = kiv::plugin.instance;
    windowClass.lpszClassName = kiv::notifyWindowClass;
    RegisterClassA(&windowClass);
}

const char* loaded(const char* library) {
    return GetModuleHandleA(library) ? "loaded" : "not loaded";
}

size_t shownAfter(kivbench::pluginSession& session, int requests) {
    for (int i = 0; i < requests; ++i) {
        kiv::popup_info info = kivbench::popupFromAla("Ala ma kota", "message");
        session.host.callPluginService("kiv/popup", reinterpret_cast<WPARAM>(&info), 0);
    }
    kivhost::pumpUntil([&] { return kivbench::shownNotifications() == static_cast<size_t>(requests); }, 5000);
    return kivbench::shownNotifications();
}

// Through the built kiv.tpl in kivhost: the library's state before, after notifications nobody
// asked about, and after one WM_GETOBJECT, the first thing a screen reader sends.
void libraryLoads() {
    printf("| when | notifications on screen | oleacc.dll |\n|---|---:|---|\n");
    printf("| kivhost started, kiv.tpl not loaded | 0 | %s |\n", loaded("oleacc.dll"));
    kivbench::pluginSession session("reader", "[general]\r\nfullscreenautooff=0\r\n", "");
    if (!session.running()) {
        printf("\nkiv.tpl did not load: %s\n", session.error().c_str());
        return;
    }
    const size_t shown = shownAfter(session, 10);
    printf("| 10 notifications appeared, nobody asked | %zu | %s |\n", shown, loaded("oleacc.dll"));
    HWND first = FindWindowExA(nullptr, nullptr, "kiv_notify_window", nullptr);
    const LRESULT answer = SendMessageA(first, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    printf("| one WM_GETOBJECT for the client area (answer %s) | %zu | %s |\n\n", answer > 0 ? "an object" : "none",
           kivbench::shownNotifications(), loaded("oleacc.dll"));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    kivhost::hostCore& host = kivhost::hostCore::get();
    host.mainWindow();  // OLE initialised on this thread, as the messenger's
    kiv::plugin.instance = GetModuleHandleA(nullptr);
    kiv::plugin.hostServices = host.serviceTable();
    const std::string folder = kivhost::programFolder();
    kiv::copyText(kiv::plugin.hostFolder, folder.c_str());
    kiv::copyText(kiv::plugin.schemeFolder, (folder + "plugins\\kiv.scheme\\").c_str());
    registerWindowClass();
    kiv::config settings("");
    kiv::plugin.settings = &settings;

    printf("## Screen readers: what they cost a user without one\n\n");
    printf("A notification appearing (create with the copy of the skin, size to a two-line description, "
           "compose standard.kivs, build the shape, place, show: the window benchmark's path with the "
           "placing and showing), in the module's code linked into the program, the mean of %d windows; "
           "against the alert event it raises for screen readers, the mean of %d calls on each of those "
           "windows with no listener, and as many with a listener hooked out of context for comparison.\n\n",
           count, alertCalls);
    measure(5);  // warm up fonts and caches
    const figures spent = measure(count);
    printf("| a notification appearing | its alert event, no listener | the alert's share | the alert, a listener "
           "hooked |\n|---:|---:|---:|---:|\n");
    printf("| %.3f ms | %.5f ms | %.4f %% (1 : %.0f) | %.5f ms |\n\n", spent.appear, spent.alert,
           100.0 * spent.alert / spent.appear, spent.appear / spent.alert, spent.heard);
    kiv::plugin.settings = nullptr;
    UnregisterClassA(kiv::notifyWindowClass, kiv::plugin.instance);
    libraryLoads();
    return 0;
}
