// kiv asks the system for a timer only while it has something to watch, and shows a request as
// soon as the thread runs its messages: its timers never decide when a window comes.
#include <doctest.h>

#include <functional>

#include "historySupport.h"
#include "workerThreads.h"

using namespace kivtest;

namespace {

// The module's timer messages over a second and a half of the thread's messages.
size_t timerMessages(kivSession& session) {
    return kivhost::pumpCountingTimers(session.plugin->module(), 1500);
}

}  // namespace

TEST_CASE("no timer of kiv fires while nothing is on the screen, after start-up and after each notification") {
    historyScene s("wakeup-idle", withExtra("history=20\r\nmissedsummary=1\r\n", "visibletime=1\r\n"));
    const DWORD visible = 1000;
    struct step {
        const char* name;
        std::function<void()> act;
        size_t windows;  // what it shows before its time is over
    };
    const step steps[] = {
        {"start-up", [] {}, 0},
        {"a status change", [] { kivhost::raiseStatusChange(change("TLEN", "ala@tlen.pl", 1, 2)); }, 1},
        {"a kiv/popup request", [&] { popup(s.session, popupRequest{}); }, 1},
        {"a message held back by silence, then its summary",
         [&] {
             s.silent(true);
             kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "cicho");
             CHECK(timerMessages(s.session) == 0);
             s.silent(false);
         },
         1},
    };
    for (const step& each : steps) {
        CAPTURE(each.name);
        each.act();
        CHECK(waitForCount(each.windows));
        CHECK(letAllGo(visible));
        CHECK(timerMessages(s.session) == 0);
    }
}

TEST_CASE("a request becomes a window while the thread dispatches no timer message") {
    historyScene s("wakeup-at-once", withExtra("", "visibletime=1\r\n"));
    workerThreads others;
    kiv::popup_info fromOtherThread = popupInfo(popupRequest{});
    struct request {
        const char* name;
        std::function<void()> make;
    };
    const request requests[] = {
        {"kiv/popup on the user-interface thread", [&] { popup(s.session, popupRequest{}); }},
        {"a status change", [] { kivhost::raiseStatusChange(change("GG", "12345", 1, 2)); }},
        {"kiv/popup/show from another thread",
         [&] {
             others.start([&] {
                 callFromPlugin(kiv::popupShowService, reinterpret_cast<WPARAM>(&fromOtherThread), 0);
             });
         }},
    };
    for (const request& each : requests) {
        CAPTURE(each.name);
        each.make();
        CHECK(kivhost::pumpUntilWithoutTimers([] { return notifications().size() == 1; }, 1500));
        others.join();
        CHECK(letAllGo(1000));
    }
}
