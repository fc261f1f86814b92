// kiv's services called by other plug-ins from their own threads, as a download or a mail check
// reports from its worker: everything they ask for happens on the messenger's thread, no caller
// waits for it, a greedy caller neither freezes that thread nor fills the memory, ids stay unique,
// and neither a plug-in that unloads first nor kiv unloading under its callers brings the process
// down.
#include <doctest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "historySupport.h"
#include "notifySupport.h"
#include "objectTracker.h"
#include "workerThreads.h"

using namespace kivtest;

namespace {

// The odd half of each worker's notifications stays until the end, so no more wait at once than
// the queue keeps before it lets the oldest go (100), however the threads run.
constexpr int workers = 4;
constexpr int perWorker = 40;

// What the module asked of the host from a thread other than this one: only the workers' own
// calls of kiv's services may come from there.
std::vector<std::string> hostCallsFromOtherThreads() {
    const DWORD self = GetCurrentThreadId();
    std::vector<std::string> strays;
    for (const kivhost::callRecord& call : kivhost::hostCore::get().log)
        if (call.thread != self && call.what.rfind("kiv/", 0) != 0) strays.push_back(call.what + " " + call.name);
    return strays;
}

// One of kiv's turns on this thread: the message that wakes it for the calls of other threads.
bool kivTurn(const MSG& message) {
    char name[32] = "";
    return message.message == WM_APP + 1 && message.hwnd && GetClassNameA(message.hwnd, name, sizeof name) &&
           strcmp(name, "kiv_inbox_window") == 0;
}

int update(int id, const std::string& text) {
    return callFromPlugin(kiv::popupUpdateService, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text.c_str()));
}

bool showsText(HWND window, const std::string& text) {
    const std::vector<std::string> texts = paintOf(window).texts;
    return !texts.empty() && texts.back() == text;
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

TEST_CASE("four threads show, update and close a hundred and sixty notifications while the messenger's thread runs") {
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
        // The messenger's thread takes what waits a share at a time: done once every close is.
        const std::string logFile = session.profile + "kiv.log";
        const auto allClosed = [&] { return decisions(logFile, kiv::popupCloseService)["zamknięte"] == workers * perWorker; };
        CHECK(kivhost::pumpUntil(allClosed, 30000));
        CHECK_MESSAGE(waitForCount(0, 30000), notifications().size(), " windows still on the screen");

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

TEST_CASE("a worker flooding kiv/popup/update: the messenger's thread answers its messages between kiv's turns, the last text wins") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("threads-flood", settingsWith(scheme.name, ""));
    const kiv::popup_options2 keep = options2(kiv::popupWindows1250, 0, true);
    const int id = show("start", &keep);
    REQUIRE(waitForCount(1));
    HWND window = notifications()[0];
    std::atomic<bool> stop{false}, flooding{true};
    std::atomic<int> sent{0}, refused{0};
    // kiv's own function, as the host calls it once it has found the name: millions of calls
    // without the host's call log.
    const kiv::abi::ServiceFn updateService = session.host.serviceFunction(kiv::popupUpdateService);
    workerThreads threads;
    threads.start([&] {
        // As fast as it can, until told; the cap ends it should this thread never come back to tell.
        for (int n = 1; n <= 2000000 && !stop; ++n) {
            const std::string text = "postęp " + std::to_string(n);
            refused += updateService(static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text.c_str())) != 0;
            sent = n;
        }
        flooding = false;
    });
    // After each of kiv's turns this thread posts itself a message: it must be answered before kiv's
    // next turn, and kiv must keep taking turns while the worker floods.
    constexpr int turns = 10;
    int turnsWhileFlooding = 0, turnsBeforeAnswer = 0, mostTurnsBeforeAnswer = 0;
    bool posted = false;
    while (turnsWhileFlooding < turns && flooding) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_APP && !message.hwnd) {
            mostTurnsBeforeAnswer = std::max(mostTurnsBeforeAnswer, turnsBeforeAnswer);
            posted = false;
            continue;
        }
        const bool turn = kivTurn(message);
        DispatchMessageA(&message);
        if (!turn) continue;
        turnsWhileFlooding += flooding ? 1 : 0;
        if (posted) {
            ++turnsBeforeAnswer;
        } else {
            posted = PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0) != 0;
            turnsBeforeAnswer = 0;
        }
    }
    stop = true;
    REQUIRE(threads.finish(60000));
    CHECK(turnsWhileFlooding == turns);
    CHECK(mostTurnsBeforeAnswer == 0);
    CHECK(refused == 0);  // its updates waiting together counted as one: the inbox never filled
    const std::string last = "postęp " + std::to_string(sent);
    CHECK(kivhost::pumpUntil([&] { return showsText(window, last); }, 3000));
}

TEST_CASE("past the bound of waiting calls another thread's calls answer -1, but a further update of a waiting one counts") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("threads-bound", settingsWith(scheme.name, ""));
    const kiv::popup_options2 keep = options2(kiv::popupWindows1250, 0, true);
    const int changing = show("start", &keep);
    const int other = show("inne", &keep);
    REQUIRE(waitForCount(2));
    session.service("kiv/setsilent", 1);  // what fills the inbox is held back cheaply once taken up
    size_t accepted = 0;
    std::map<std::string, int> answers;
    workerThreads threads;
    threads.start([&] {
        popupRequest request;
        kiv::popup_info info = popupInfo(request);
        const WPARAM record = reinterpret_cast<WPARAM>(&info);
        accepted += update(changing, "pierwsza") == 0;
        while (accepted < kiv::popupWaitingCalls + 10 && callFromPlugin("kiv/popup", record) == 0) ++accepted;
        answers = {{"kiv/popup", callFromPlugin("kiv/popup", record)},
                   {"kiv/popup/show", callFromPlugin(kiv::popupShowService, record)},
                   {"kiv/popup/update, nothing of that id waiting", update(other, "odrzucona")},
                   {"kiv/popup/close", callFromPlugin(kiv::popupCloseService, static_cast<WPARAM>(other))},
                   {"kiv/setsilent", callFromPlugin("kiv/setsilent", 1)},
                   {"kiv/popup/update of one waiting", update(changing, "ostatnia")}};
    });
    // No messages run here: every call waits.
    REQUIRE(WaitForSingleObject(threads.handles()[0], 60000) == WAIT_OBJECT_0);
    threads.join();
    CHECK(accepted == kiv::popupWaitingCalls);
    CHECK(answers == std::map<std::string, int>{{"kiv/popup", -1},
                                                {"kiv/popup/show", -1},
                                                {"kiv/popup/update, nothing of that id waiting", -1},
                                                {"kiv/popup/close", -1},
                                                {"kiv/setsilent", -1},
                                                {"kiv/popup/update of one waiting", 0}});
    // Caught up a share at a time (each call on this thread takes one), then taking calls again.
    for (size_t share = 0; share < kiv::popupWaitingCalls; ++share) session.service("kiv/getsilent");
    const std::vector<HWND> shown = notifications();
    CHECK(std::count_if(shown.begin(), shown.end(), [](HWND w) { return showsText(w, "ostatnia"); }) == 1);
    threads.start([&] { answers["later"] = update(other, "przyjęta"); });
    threads.join();
    CHECK(answers["later"] == 0);
}

TEST_CASE("a click on the notification of a plug-in that was unloaded meanwhile still closes it, and calls nothing") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("threads-gone", settingsWith(scheme.name, "clickclose=1\r\n"));
    const std::string examplePath = pluginsFolder() + "popupExample.tpl";
    for (const bool loadedAgain : {false, true}) {
        CAPTURE(loadedAgain);
        HMODULE base = nullptr;
        {
            kivhost::pluginLoader example(examplePath);
            REQUIRE_MESSAGE(example.loaded(), example.error());
            REQUIRE(example.info(kiv::abi::minimumHostVersion));
            example.load();
            base = example.module();
            CHECK(session.service("popupExample/show", reinterpret_cast<WPARAM>("do zobaczenia")) == 0);
            REQUIRE(waitForCount(1));
        }  // unloaded and freed, its notification still on the screen
        // A new copy of the same file where the old one was: the same headers, the same callback address.
        std::unique_ptr<kivhost::pluginLoader> again;
        if (loadedAgain) {
            again = std::make_unique<kivhost::pluginLoader>(examplePath);
            REQUIRE(again->module() == base);
            REQUIRE(again->info(kiv::abi::minimumHostVersion));
            again->load();
        }
        REQUIRE(notifications().size() == 1);
        SendMessageA(notifications()[0], WM_LBUTTONUP, 0, 0);
        CHECK(waitForCount(0));
        if (again) CHECK(session.service("popupExample/clicks") == 0);
    }
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
        host.serviceFunction("kiv/getsilent"), host.serviceFunction("kiv/setsilent"),
        host.serviceFunction(kiv::popupProgressService)};
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
                                       services[5](w % 2, 0), services[6](id, 50)};
                Sleep(1);  // a worker with other work to do, not a flood
                if (!after) continue;
                ++callsAfter;
                answeredAfter += std::count(std::begin(answers), std::end(answers), -1) == 7;
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
