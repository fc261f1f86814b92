// kiv asks the system for a timer only while it has something to watch, and shows a request as
// soon as the thread runs its messages: its timers never decide when a window comes.
#include <doctest.h>

#include <functional>
#include <string>
#include <utility>

#include "historySupport.h"
#include "timerRecorder.h"
#include "workerThreads.h"

using namespace kivtest;

namespace {

// The module's timers alive, and their messages over a second and a half of the thread's messages.
std::pair<size_t, size_t> timers() {
    const size_t fired = kivhost::pumpCountingTimers(1500);
    return {kivhost::timerRecorder::get().live(), fired};
}

const std::pair<size_t, size_t> none = {0, 0};

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
             CHECK(timers() == none);
             s.silent(false);
         },
         1},
    };
    for (const step& each : steps) {
        const std::string name = each.name;
        CAPTURE(name);
        each.act();
        CHECK(waitForCount(each.windows));
        CHECK(letAllGo(visible));
        CHECK(timers() == none);
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
        const std::string name = each.name;
        CAPTURE(name);
        each.make();
        CHECK(kivhost::pumpUntilWithoutTimers([] { return notifications().size() == 1; }, 1500));
        others.join();
        CHECK(letAllGo(1000));
    }
}
