// Where notification windows go and how long they stay: anchor corners, stacking within the work
// area and what waits for room, the screen limit, the visible time and the per-request auto-close
// override.
#include <doctest.h>

#include <algorithm>
#include <cstdlib>

#include "historySupport.h"
#include "objectTracker.h"

using namespace kivtest;

namespace {

struct expectedPlace {
    int x, y;
};

bool at(HWND window, expectedPlace place, int width, int height) {
    RECT r = kivhost::windowRect(window);
    return r.left == place.x && r.top == place.y && r.right - r.left == width && r.bottom - r.top == height;
}

std::string describe(HWND window) {
    RECT r = kivhost::windowRect(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

}  // namespace

TEST_CASE("each anchor corner: first window at bind from the corner, the next one space further in") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    const RECT area = workArea();
    for (int bindpos : {0, 1, 2, 3}) {
        CAPTURE(bindpos);
        notifySession session("corners", settingsWith(scheme.name, lines({"bindpos=" + std::to_string(bindpos),
                                                                           "bind=7,9", "space=3"})));
        const bool left = bindpos == 1 || bindpos == 2;
        const bool top = bindpos == 2 || bindpos == 3;
        popupRequest normal;
        HWND first = showOne(session, normal);
        popupRequest small;
        small.text = "";
        HWND second = showOne(session, small);
        REQUIRE(first);
        REQUIRE(second);

        const int x = left ? 7 : area.right - 250 - 7;
        const int firstY = top ? 9 : area.bottom - 9 - 50;
        const int secondY = top ? 9 + 50 + 3 : firstY - 3 - 24;
        CHECK_MESSAGE(at(first, {x, firstY}, 250, 50), describe(first));
        CHECK_MESSAGE(at(second, {x, secondY}, 250, 24), describe(second));
    }
}

TEST_CASE("newatbegin with the default corner: the newest window takes it, older ones move away at once") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("newatbegin", settingsWith(scheme.name, lines({"newatbegin=1", "rearrangewindows=0"})));
    const RECT area = workArea();
    HWND older = showOne(session, {});
    HWND newer = showOne(session, {});
    REQUIRE(newer);
    CHECK_MESSAGE(at(newer, {area.right - 252, area.bottom - 52}, 250, 50), describe(newer));
    CHECK_MESSAGE(at(older, {area.right - 252, area.bottom - 104}, 250, 50), describe(older));
}

TEST_CASE("closing a middle window: rearrangewindows closes the gap, without it the gap stays") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    const RECT area = workArea();
    const int x = area.right - 252;
    auto yOf = [&](int place) { return area.bottom - 52 - 52 * place; };

    SUBCASE("rearrangewindows on") {
        notifySession session("rearrange-on", settingsWith(scheme.name, lines({"clickclose=1"})));
        HWND first = showOne(session, {});
        HWND middle = showOne(session, {});
        HWND last = showOne(session, {});
        REQUIRE(at(last, {x, yOf(2)}, 250, 50));
        SendMessageA(middle, WM_LBUTTONUP, 0, 0);
        CHECK_FALSE(IsWindow(middle));
        CHECK(at(first, {x, yOf(0)}, 250, 50));
        CHECK_MESSAGE(at(last, {x, yOf(1)}, 250, 50), describe(last));
    }
    SUBCASE("rearrangewindows off") {
        notifySession session("rearrange-off", settingsWith(scheme.name, lines({"clickclose=1", "rearrangewindows=0"})));
        showOne(session, {});
        HWND middle = showOne(session, {});
        HWND last = showOne(session, {});
        SendMessageA(middle, WM_LBUTTONUP, 0, 0);
        kivhost::pumpMessages(250);
        CHECK_MESSAGE(at(last, {x, yOf(2)}, 250, 50), describe(last));
        HWND next = showOne(session, {});
        CHECK_MESSAGE(at(next, {x, yOf(3)}, 250, 50), describe(next));  // after the last, not in the gap
    }
}

TEST_CASE("maxonscreen 2 with five requests: two at a time, in the order they came") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("maxonscreen", settingsWith(scheme.name, lines({"maxonscreen=2", "visibletime=5"})));
    freezeClock();
    for (int i = 1; i <= 5; ++i) {
        popupRequest request;
        request.data = i;
        REQUIRE(popup(session, request) == 0);
    }
    REQUIRE(waitForCount(2));
    kivhost::pumpMessages(250);
    CHECK(notifications().size() == 2);
    CHECK(requestIndexes() == std::set<int>{1, 2});

    // The tick that retires the two lets the next two in.
    std::vector<HWND> firstPair = notifications();
    moveClock(5000);
    REQUIRE(kivhost::pumpUntil([&] { return notifications().size() == 2 && notifications() != firstPair; }, 1500));
    CHECK(requestIndexes() == std::set<int>{3, 4});
    moveClock(5000);
    REQUIRE(waitForCount(1));
    CHECK(requestIndexes() == std::set<int>{5});
    moveClock(5000);
    CHECK(waitForCount(0));
}

TEST_CASE("maxonscreen 0: every queued request becomes a window at the next tick") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("unlimited", settingsWith(scheme.name, ""));
    for (int i = 0; i < 5; ++i) REQUIRE(popup(session, {}) == 0);
    REQUIRE(kivhost::pumpUntil([] { return !notifications().empty(); }, 1500));
    CHECK(notifications().size() == 5);
}

// Past the 99 s the options page offers too: a file written by hand is held to its word.
TEST_CASE("visibletime: a window closes by itself when its seconds are over, not a millisecond before") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    for (const char* seconds : {"3", "150"}) {
        CAPTURE(seconds);
        notifySession session("visibletime", settingsWith(scheme.name, lines({std::string("visibletime=") + seconds})));
        freezeClock();
        REQUIRE(showOne(session, {}));
        moveClock(static_cast<DWORD>(atoi(seconds)) * 1000 - 1);
        kivhost::pumpMessages(300);
        CHECK(notifications().size() == 1);
        moveClock(1);
        CHECK(waitForCount(0, 500));
        session.unload();
        CHECK(iniValue(session.settingsFile, "window", "visibletime") == seconds);
    }
}

TEST_CASE("auto-close override: one force flag decides, equal flags and a wrong-sized record follow noautoclose") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    for (bool noautoclose : {false, true}) {
        CAPTURE(noautoclose);
        notifySession session("autoclose", settingsWith(scheme.name, lines({"visibletime=2"}),
                                                        noautoclose ? "[ztk]\r\nnoautoclose=1\r\n" : ""));
        freezeClock();
        struct variant {
            int data;
            bool withOptions;
            kiv::popup_options options;
            bool closes;
        };
        const variant variants[] = {
            {1, false, {}, !noautoclose},
            {2, true, overrideOptions(true, false), true},
            {3, true, overrideOptions(false, true), false},
            {4, true, overrideOptions(true, true), !noautoclose},
            {5, true, overrideOptions(false, false), !noautoclose},
            {6, true, overrideOptions(noautoclose, !noautoclose, 29), !noautoclose},  // ignored
        };
        std::set<int> staying;
        for (const variant& v : variants) {
            popupRequest request;
            request.data = v.data;
            request.withOptions = v.withOptions;
            request.options = v.options;
            REQUIRE(popup(session, request) == 0);
            if (!v.closes) staying.insert(v.data);
        }
        REQUIRE(waitForCount(6));
        moveClock(60000);
        kivhost::pumpUntil([&] { return notifications().size() == staying.size(); }, 1000);
        kivhost::pumpMessages(200);
        CHECK(requestIndexes() == staying);
    }
}

namespace {

constexpr int queueBound = 100;  // requests that wait for room; the oldest past it are let go

std::vector<int> numbers(int from, int to) {
    std::vector<int> all;
    for (int n = from; n <= to; ++n) all.push_back(n);
    return all;
}

// The numbers the windows show as their text, in order; the summary's text goes to summary.
std::vector<int> numbersShown(const std::vector<HWND>& windows, std::string* summary = nullptr) {
    std::vector<int> shown;
    for (HWND w : windows) {
        const std::string text = paintOf(w).texts.back();
        if (summary && text.rfind("Gdy kiv", 0) == 0) *summary = text;
        else shown.push_back(atoi(text.c_str()));
    }
    std::sort(shown.begin(), shown.end());
    return shown;
}

const char* const keptAndRecorded = "[ztk]\r\nnoautoclose=1\r\n[extra]\r\nhistory=500\r\nmissedsummary=1\r\n";

}  // namespace

TEST_CASE("150 messages that stay: every window within the work area, the rest wait, the oldest past the bound missed") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    const RECT area = workArea();
    struct row {
        const char* stack;
        const char* keys;
        bool drain;  // let the waiting ones in, a screen at a time, up to the summary
    };
    const row rows[] = {
        {"bottom right", "", true},
        {"bottom left, the newest first", "bindpos=1\r\nnewatbegin=1\r\n", true},
        {"top left, gaps kept", "bindpos=2\r\nrearrangewindows=0\r\n", false},
        {"top right, bind past the screen", "bindpos=3\r\nbind=5000,5000\r\n", false},
        {"bottom right, bind before the screen, wide gaps", "bind=-400,-400\r\nspace=150\r\n", false},
        {"top left, the first edge below the screen", "bindpos=2\r\nbind=2,2000\r\n", false},
    };
    for (const row& r : rows) {
        CAPTURE(std::string(r.stack));
        historyScene s("stack-bound", settingsWith(scheme.name, std::string("clickclose=1\r\n") + r.keys, keptAndRecorded));
        for (int n = 1; n <= 150; ++n) kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, std::to_string(n).c_str());

        // A screenful came at once; past the bound the oldest of those waiting went to the history.
        std::vector<HWND> shown = steady();
        const int fit = static_cast<int>(shown.size());
        REQUIRE(fit > 0);
        const int missed = 150 - fit - queueBound;
        for (HWND w : shown) CHECK_MESSAGE(inside(w, area), describe(w));
        CHECK(numbersShown(shown) == numbers(1, fit));
        HWND history = openHistory();
        REQUIRE(history);
        std::vector<int> held;
        for (const auto& cells : listed(history))
            if (cells[3] == "brak miejsca na ekranie") held.insert(held.begin(), atoi(cells[2].c_str()));
        DestroyWindow(history);
        CHECK(held == numbers(fit + 1, fit + missed));
        if (!r.drain) continue;

        std::vector<int> later;
        std::string summary;
        while (summary.empty() && !shown.empty()) {
            for (HWND w : shown) SendMessageA(w, WM_LBUTTONUP, 0, 0);
            shown = steady();
            for (HWND w : shown) CHECK_MESSAGE(inside(w, area), describe(w));
            for (int n : numbersShown(shown, &summary)) later.push_back(n);
        }
        CHECK(later == numbers(fit + missed + 1, 150));
        CHECK(summary == "Gdy kiv milczał: " + std::to_string(missed) + " wiadomości");
    }
}

// While the stack has no room, what comes only queues: a window is made for a request when it is
// shown, never to learn that it does not fit.
TEST_CASE("150 popups that stay past a full stack: no window made for what waits, the next shown as one closes") {
    const auto windowsMade = [] { return kivhost::objectTracker::get().madeCount(kivhost::objectTracker::windowHandle); };
    const RECT area = workArea();
    struct row {
        const char* stack;
        const char* keys;
        const char* text;  // none: the small windows
        std::string scheme;
    };
    // Normal windows far taller than small ones: a small one fits where a normal one never would.
    const std::string tallNormal = std::string(plainScheme) + "window_size=250,400\r\n";
    const row stacks[] = {
        {"bottom right", "", "Ala ma kota", plainScheme},
        {"the newest first", "newatbegin=1\r\n", "Ala ma kota", plainScheme},
        {"gaps kept", "rearrangewindows=0\r\n", "Ala ma kota", plainScheme},
        {"small windows", "", "", tallNormal},
        {"grown by their text past the room a window without it needs", "", "a", hugeFontScheme(40)},
    };
    for (const row& r : stacks) {
        CAPTURE(std::string(r.stack));
        testScheme scheme("kivtest-stack.kivs", r.scheme);
        historyScene s("stack-waiting", settingsWith(scheme.name, r.keys, keptAndRecorded));
        const size_t madeBefore = windowsMade();
        std::vector<int> ids = {0};
        for (int n = 1; n <= 150; ++n) {
            popupRequest request;
            request.text = r.text;
            request.data = n;
            ids.push_back(showPopup(s.session, request));
            REQUIRE(ids.back() > 0);
        }
        const std::vector<HWND> shown = steady();
        const int fit = static_cast<int>(shown.size());
        REQUIRE(fit > 0);
        const RECT one = kivhost::windowRect(shown.front());
        // As many as the area holds, bind and space 2 apart.
        CHECK_MESSAGE(fit == (area.bottom - area.top) / (one.bottom - one.top + 2), describe(shown.front()));
        CHECK(windowsMade() - madeBefore == shown.size());
        const std::vector<int> oldest = numbers(1, fit);
        CHECK(requestIndexes() == std::set<int>(oldest.begin(), oldest.end()));
        const int missed = 150 - fit - queueBound;
        HWND history = openHistory();
        REQUIRE(history);
        const rows listedRows = listed(history);
        DestroyWindow(history);
        CHECK(std::count_if(listedRows.begin(), listedRows.end(), [](const std::vector<std::string>& cells) {
                  return cells[3] == "brak miejsca na ekranie";
              }) == missed);

        // The newest shown goes; the oldest kept takes its room at the next tick, the one window made.
        const size_t madeThen = windowsMade();
        REQUIRE(closePopup(s.session, ids[fit]) == 0);
        HWND next = windowAfter(shown);
        REQUIRE(next);
        CHECK(requestIndex(next) == fit + missed + 1);
        kivhost::pumpMessages(250);
        CHECK(notifications().size() == shown.size());
        CHECK(windowsMade() - madeThen == 1);
    }
}

TEST_CASE("a window that grows with its text takes only the room the rest of the stack leaves") {
    testScheme scheme("kivtest-tall.kivs", hugeFontScheme(40));
    const RECT area = workArea();
    for (bool grouped : {false, true}) {
        CAPTURE(grouped);
        historyScene s("stack-growth", settingsWith(scheme.name, "autoheightrows=100\r\n",
                                                    grouped ? "[extra]\r\ngroupmessages=1\r\n" : ""));
        popupRequest shortOne;
        shortOne.text = "a";
        const int id = showPopup(s.session, shortOne);
        showPopup(s.session, shortOne);
        kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "a");
        REQUIRE(settle(3).size() == 3);
        const std::string tall = manyLines();
        if (grouped) kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, tall.c_str());
        else REQUIRE(updatePopup(s.session, id, tall.c_str()) == 0);
        kivhost::pumpMessages(250);
        std::vector<HWND> shown = notifications();
        CHECK(shown.size() == 3);
        int tallest = 0;
        for (HWND w : shown) {
            CHECK_MESSAGE(inside(w, area), describe(w));
            RECT r = kivhost::windowRect(w);
            tallest = std::max<int>(tallest, r.bottom - r.top);
        }
        CHECK(tallest > 200);  // it did grow, into the room there was
    }
}
