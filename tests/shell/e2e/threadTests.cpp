// kiv's services called by other plug-ins from their own threads, as a download or a mail check
// reports from its worker: everything they ask for happens on the messenger's thread, no caller
// waits for it, ids stay unique, and neither a plug-in that unloads first nor kiv unloading under
// its callers brings the process down.
#include <doctest.h>

#include <atomic>
#include <map>
#include <set>

#include "historySupport.h"
#include "notifySupport.h"
#include "objectTracker.h"
#include "workerThreads.h"

using namespace kivtest;

namespace {

constexpr int workers = 4;
constexpr int perWorker = 100;

// What the module asked of the host from a thread other than this one: only the workers' own
// calls of kiv's services may come from there.
std::vector<std::string> hostCallsFromOtherThreads() {
    const DWORD self = GetCurrentThreadId();
    std::vector<std::string> strays;
    for (const kivhost::callRecord& call : kivhost::hostCore::get().log)
        if (call.thread != self && call.what.rfind("kiv/", 0) != 0) strays.push_back(call.what + " " + call.name);
    return strays;
}

std::string label(int worker, int index) {
    return "w" + std::to_string(worker) + "-" + std::to_string(index);
}

int show(const std::string& text, const kiv::popup_options2* options) {
    popupRequest request;
    request.text = text.c_str();
    kiv::popup_info info = popupInfo(request);
    return callFromPlugin(kiv::popupShowService, reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(options));
}

// Counts kiv.log's lines for one service by the start of their decision.
std::map<std::string, int> decisions(const std::string& logFile, const char* service) {
    std::map<std::string, int> counts;
    const std::string content = fileExists(logFile) ? readFile(logFile) : "";
    const std::string marker = std::string("\t") + service + "\t";
    for (size_t start = 0, end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = content.substr(start, end - start);
        const size_t at = line.find(marker);
        if (at == std::string::npos) continue;
        const std::string decision = line.substr(at + marker.size());
        ++counts[decision.substr(0, decision.find(';'))];
    }
    return counts;
}

}  // namespace

TEST_SUITE("threads") {

TEST_CASE("four threads show, update and close hundreds of notifications while the messenger's thread runs") {
    kivhost::objectTracker& tracker = kivhost::objectTracker::get();
    const size_t beforeLoad = tracker.liveCount();
    const size_t straysBefore = tracker.strays().size();
    std::vector<int> ids[workers];
    int refused = 0;
    {
        testScheme scheme("kivtest-plain.kivs", plainScheme);
        // Sliding in and out: a close from the wrong thread would leave its window closing for ever.
        notifySession session("threads", settingsWith(scheme.name, lines({"maxonscreen=6", "effect=1", "effectclose=1"}),
                                                      "[extra]\r\nhistory=500\r\neventlog=1\r\n"));
        const kiv::popup_options2 keep = options2(kiv::popupWindows1250, 0, true);
        std::atomic<int> failures{0};
        workerThreads threads;
        for (int w = 0; w < workers; ++w)
            threads.start([w, &ids, &keep, &failures] {
                for (int i = 0; i < perWorker; ++i) {
                    const int id = show(label(w, i), &keep);
                    ids[w].push_back(id);
                    const std::string changed = label(w, i) + " zmienione";
                    if (callFromPlugin(kiv::popupUpdateService, id, reinterpret_cast<LPARAM>(changed.c_str())) != 0) ++failures;
                    // Half closed at once, often while still queued; the rest after the loop.
                    if (i % 2 == 0 && callFromPlugin(kiv::popupCloseService, id) != 0) ++failures;
                }
                for (int i = 1; i < perWorker; i += 2)
                    if (callFromPlugin(kiv::popupCloseService, ids[w][i]) != 0) ++failures;
            });
        REQUIRE(threads.finish(60000));
        CHECK(failures == 0);
        CHECK_MESSAGE(waitForCount(0, 30000), notifications().size(), " windows still on the screen");
        kivhost::pumpMessages(300);  // nothing left in the queue either
        CHECK(notifications().empty());

        std::set<int> unique;
        for (const auto& given : ids)
            for (int id : given) {
                refused += id <= 0;
                unique.insert(id);
            }
        CHECK(refused == 0);
        CHECK(unique.size() == static_cast<size_t>(workers * perWorker));

        // Each request in the history once, with the text it was last given; in kiv.log shown and
        // closed once each.
        HWND history = openHistory();
        REQUIRE(history);
        std::multiset<std::string> texts;
        for (const auto& row : listed(history)) texts.insert(row[2]);
        std::multiset<std::string> expected;
        for (int w = 0; w < workers; ++w)
            for (int i = 0; i < perWorker; ++i) expected.insert(label(w, i) + " zmienione");
        CHECK(texts == expected);
        SendMessageA(history, WM_CLOSE, 0, 0);
        const std::string logFile = session.profile + "kiv.log";
        const auto shown = decisions(logFile, kiv::popupShowService);
        int shownLines = 0;
        for (const auto& [decision, count] : shown) shownLines += decision.rfind("pokazane", 0) == 0 ? count : 0;
        CHECK(shownLines == workers * perWorker);
        CHECK(decisions(logFile, kiv::popupCloseService) == std::map<std::string, int>{{"zamknięte", workers * perWorker}});
        CHECK(decisions(logFile, kiv::popupUpdateService) ==
              std::map<std::string, int>{{"zmieniona treść", workers * perWorker}});
        CHECK(hostCallsFromOtherThreads() == std::vector<std::string>{});
    }
    const std::vector<std::string> strays = tracker.strays();
    CHECK(std::vector<std::string>(strays.begin() + straysBefore, strays.end()) == std::vector<std::string>{});
    CHECK_MESSAGE(tracker.liveCount() == beforeLoad, tracker.summary());
}

TEST_CASE("the messenger's thread waits for a worker that calls kiv: the worker's calls return, then kiv does them") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("threads-wait", settingsWith(scheme.name, ""));
    int shownId = 0, silentAnswer = 0, silentSeen = 0;
    workerThreads threads;
    threads.start([&] {
        shownId = show("z wątku", nullptr);
        silentAnswer = callFromPlugin("kiv/setsilent", 1);
        silentSeen = callFromPlugin("kiv/getsilent");
    });
    // No messages run here: a call that needed this thread would never return.
    CHECK(WaitForSingleObject(threads.handles()[0], 10000) == WAIT_OBJECT_0);
    threads.join();
    CHECK(shownId > 0);
    CHECK(silentAnswer == 1);
    CHECK(silentSeen == 1);
    REQUIRE(waitForCount(1));
    kivhost::menuItem* item = session.host.findMenuItem("kiv/menu/silent");
    REQUIRE(item);
    CHECK((item->flags & kiv::abi::menuFlagChecked) != 0);
    CHECK(session.service("kiv/getsilent") == 1);
    CHECK(hostCallsFromOtherThreads() == std::vector<std::string>{});
}

TEST_CASE("a click on the notification of a plug-in that was unloaded meanwhile still closes it, and calls nothing") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("threads-gone", settingsWith(scheme.name, "clickclose=1\r\n"));
    {
        kivhost::pluginLoader example(pluginsFolder() + "popupExample.tpl");
        REQUIRE_MESSAGE(example.loaded(), example.error());
        REQUIRE(example.info(kiv::abi::minimumHostVersion));
        example.load();
        CHECK(session.service("popupExample/show", reinterpret_cast<WPARAM>("do zobaczenia")) == 0);
        REQUIRE(waitForCount(1));
    }  // unloaded and freed, its notification still on the screen
    REQUIRE(notifications().size() == 1);
    SendMessageA(notifications()[0], WM_LBUTTONUP, 0, 0);
    CHECK(waitForCount(0));
}

TEST_CASE("calls racing the unload: answered -1 once kiv has gone, nothing touched after, nothing left over") {
    kivhost::objectTracker& tracker = kivhost::objectTracker::get();
    const size_t beforeLoad = tracker.liveCount();
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("threads-unload", settingsWith(scheme.name, "maxonscreen=4\r\n", "[extra]\r\nhistory=50\r\n"));
    // Looked up before the unload, as a caller that found the service a moment before it went.
    kivhost::hostCore& host = session.host;
    const std::vector<kiv::abi::ServiceFn> services = {
        host.serviceFunction(kiv::popupShowService), host.serviceFunction(kiv::popupUpdateService),
        host.serviceFunction(kiv::popupCloseService), host.serviceFunction("kiv/popup"),
        host.serviceFunction("kiv/getsilent"), host.serviceFunction("kiv/setsilent")};
    REQUIRE(std::find(services.begin(), services.end(), nullptr) == services.end());
    std::atomic<bool> gone{false}, stop{false};
    std::atomic<int> answeredAfter{0}, callsAfter{0};
    workerThreads threads;
    for (int w = 0; w < workers; ++w)
        threads.start([&, w] {
            popupRequest request;
            request.text = "w wyścigu";
            kiv::popup_info info = popupInfo(request);
            while (!stop) {
                const bool after = gone;
                const int id = services[0](reinterpret_cast<WPARAM>(&info), 0);
                const int answers[] = {id, services[1](id, reinterpret_cast<LPARAM>("zmienione")), services[2](id, 0),
                                       services[3](reinterpret_cast<WPARAM>(&info), 0), services[4](0, 0),
                                       services[5](w % 2, 0)};
                Sleep(1);  // a worker with other work to do, not a flood
                if (!after) continue;
                ++callsAfter;
                answeredAfter += std::count(std::begin(answers), std::end(answers), -1) == 6;
            }
        });
    kivhost::pumpMessages(300);
    session.unload();
    gone = true;
    kivhost::pumpMessages(300);
    stop = true;
    threads.join();
    CHECK(callsAfter > 0);
    CHECK(answeredAfter == callsAfter);
    CHECK(notifications().empty());
    CHECK_MESSAGE(tracker.liveCount() == beforeLoad, tracker.summary());
    CHECK(hostCallsFromOtherThreads() == std::vector<std::string>{});
}

}  // TEST_SUITE
