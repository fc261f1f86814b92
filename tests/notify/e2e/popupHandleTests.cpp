// kiv/popup/show, kiv/popup/update and kiv/popup/close as other plug-ins call them: ids, texts that
// change, refusals, requests still queued, visible times of their own, and UTF-8 texts drawn as
// written.
#include <doctest.h>

#include <cstring>
#include <random>
#include <set>

#include "notifySupport.h"
#include "pictures.h"
#include "workerThreads.h"

using namespace kivtest;

namespace {

// A scheme whose windows grow with their description, at most five lines.
const char* growingScheme = "window_autoheight=1\r\n";

// The window a shown id belongs to, once the tick has made it.
HWND windowOf(int data) {
    HWND found = nullptr;
    kivhost::pumpUntil(
        [&] {
            for (HWND w : notifications())
                if (requestIndex(w) == data) found = w;
            return found != nullptr;
        },
        1500);
    return found;
}

int heightOf(HWND window) {
    RECT r = kivhost::windowRect(window);
    return r.bottom - r.top;
}

const char* longText =
    "Pierwsza linia opisu, który jest długi. Druga linia opisu, który jest długi. Trzecia linia opisu, "
    "który jest długi. Czwarta linia opisu.";

}  // namespace

TEST_CASE("kiv/popup/show gives a new id; update changes the text and the size, the stack follows; close closes") {
    testScheme scheme("kivtest-growing.kivs", growingScheme);
    notifySession session("popup-handles", settingsWith(scheme.name, ""));
    popupRequest first;
    first.data = 1;
    first.text = "krótko";
    popupRequest second;
    second.data = 2;
    const int firstId = showPopup(session, first);
    const int secondId = showPopup(session, second);
    CHECK(firstId > 0);
    CHECK(secondId > firstId);
    HWND lower = windowOf(1);
    HWND upper = windowOf(2);
    REQUIRE(lower);
    REQUIRE(upper);
    const int shortHeight = heightOf(lower);
    const int upperBottom = kivhost::windowRect(upper).bottom;

    CHECK(updatePopup(session, firstId, longText) == 0);
    CHECK(paintOf(lower).texts == std::vector<std::string>{"Ala (ala)", longText});
    CHECK(heightOf(lower) > shortHeight);
    // The grown window keeps its bottom at the corner; the one above moves up by the growth.
    CHECK(kivhost::windowRect(upper).bottom == upperBottom - (heightOf(lower) - shortHeight));

    CHECK(updatePopup(session, firstId, "") == 0);  // no text: the small window
    CHECK(heightOf(lower) == 24);

    CHECK(closePopup(session, firstId) == 0);
    REQUIRE(waitForCount(1));
    CHECK(notifications()[0] == upper);
    CHECK(updatePopup(session, firstId, "za późno") == -1);
    CHECK(closePopup(session, firstId) == -1);
    CHECK(closePopup(session, secondId) == 0);
    CHECK(waitForCount(0));
}

TEST_CASE("kiv/popup/show refuses as kiv/popup does and options of another size; unknown ids are refused") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("popup-handle-refusals", settingsWith(scheme.name, ""));
    CHECK(session.service(kiv::popupShowService, 0, 0) == -1);
    kiv::popup_info info = {};
    info.size = 45;
    CHECK(session.service(kiv::popupShowService, reinterpret_cast<WPARAM>(&info), 0) == -1);
    for (int32_t size : {0, 15, 17, 30}) {
        kiv::popup_options2 options = options2(kiv::popupUtf8);
        options.size = size;
        CHECK(showPopup(session, {}, &options) == -1);
    }
    session.service("kiv/setsilent", 1);
    CHECK(showPopup(session, {}) == -1);
    session.service("kiv/setsilent", 0);
    for (int id : {0, -1, 1, 12345}) {
        CHECK(updatePopup(session, id, "x") == -1);
        CHECK(closePopup(session, id) == -1);
    }
    kivhost::pumpMessages(250);
    CHECK(notifications().empty());
}

TEST_CASE("popup_options3 is taken at its own size with its fields in range, on the messenger's thread and another") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("popup-options3", settingsWith(scheme.name, ""));
    struct row {
        const char* what;
        int32_t size;
        int8_t progress;
        uint8_t reserved;
        int32_t reserved2;
        bool good;
    };
    const row rows[] = {
        {"no bar", 32, -1, 0, 0, true},
        {"an empty bar", 32, 0, 0, 0, true},
        {"a full bar", 32, 100, 0, 0, true},
        {"popup_options2's size", 16, 0, 0, 0, true},
        {"size 0", 0, 0, 0, 0, false},
        {"size 15", 15, 0, 0, 0, false},
        {"size 17", 17, 0, 0, 0, false},
        {"popup_options' size", 30, 0, 0, 0, false},
        {"size 31", 31, 0, 0, 0, false},
        {"size 33", 33, 0, 0, 0, false},
        {"a bar below empty", 32, -2, 0, 0, false},
        {"a bar past full", 32, 101, 0, 0, false},
        {"reserved 1", 32, 0, 1, 0, false},
        {"reserved2 1", 32, 0, 0, 1, false},
    };
    constexpr int rowCount = sizeof rows / sizeof rows[0];
    constexpr int otherThread = 100;  // added to a row's callback data when another thread shows it
    // Each record in a buffer of its own, zero past the fields, as long as the longest size read.
    std::vector<std::vector<unsigned char>> records;
    for (const row& r : rows) {
        kiv::popup_options3 options = options3(r.progress, {u8"Otwórz", u8"Pokaż w folderze"}, false, kiv::popupUtf8);
        options.size = r.size;
        options.reserved = r.reserved;
        options.reserved2 = r.reserved2;
        records.emplace_back(64, 0);
        memcpy(records.back().data(), &options, sizeof options);
    }
    const auto show = [&](int i, int dataOffset, bool ownThread) {
        popupRequest request;
        request.data = i + dataOffset;
        kiv::popup_info info = popupInfo(request);
        const void* options = records[static_cast<size_t>(i)].data();
        return ownThread ? showPopup(session, request, options)
                         : callFromPlugin(kiv::popupShowService, reinterpret_cast<WPARAM>(&info),
                                          reinterpret_cast<LPARAM>(options));
    };

    int fromOther[rowCount] = {};
    workerThreads threads;
    threads.start([&] {
        for (int i = 0; i < rowCount; ++i) fromOther[i] = show(i, otherThread, false);
    });
    REQUIRE(threads.finish(3000));
    std::set<int> shown;
    for (int i = 0; i < rowCount; ++i) {
        INFO(std::string(rows[i].what));
        const int id = show(i, 0, true);
        if (!rows[i].good) {
            CHECK(id == -1);
            CHECK(fromOther[i] == -1);
            continue;
        }
        CHECK(id > 0);
        CHECK(fromOther[i] > 0);
        shown.insert(i);
        shown.insert(i + otherThread);
    }
    settle(shown.size());
    CHECK(requestIndexes() == shown);
}

TEST_CASE("an id whose request is still queued is updated or removed where it waits") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("popup-handle-queue", settingsWith(scheme.name, lines({"maxonscreen=1"})));
    popupRequest a, b, c;
    a.data = 1;
    b.data = 2;
    c.data = 3;
    const int shownId = showPopup(session, a);
    REQUIRE(windowOf(1));
    const int waiting = showPopup(session, b);
    const int removed = showPopup(session, c);
    kivhost::pumpMessages(250);
    REQUIRE(notifications().size() == 1);

    CHECK(updatePopup(session, waiting, "zmieniony w kolejce") == 0);
    CHECK(closePopup(session, removed) == 0);
    CHECK(closePopup(session, removed) == -1);
    CHECK(closePopup(session, shownId) == 0);
    HWND next = windowOf(2);
    REQUIRE(next);
    CHECK(paintOf(next).texts == std::vector<std::string>{"Ala (ala)", "zmieniony w kolejce"});
    kivhost::pumpMessages(250);
    CHECK(requestIndexes() == std::set<int>{2});
}

TEST_CASE("popup_options2: a visible time of the window's own, keep open, and update starting the time again") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("popup-handle-times", settingsWith(scheme.name, lines({"visibletime=5"})));
    freezeClock();
    popupRequest brief, kept, plain;
    brief.data = 1;
    kept.data = 2;
    plain.data = 3;
    const kiv::popup_options2 oneSecond = options2(kiv::popupWindows1250, 1);
    const kiv::popup_options2 keepOpen = options2(kiv::popupWindows1250, 0, true);
    showPopup(session, brief, &oneSecond);
    showPopup(session, kept, &keepOpen);
    const int plainId = showPopup(session, plain);
    REQUIRE(waitForCount(3));

    moveClock(1000);
    kivhost::pumpMessages(250);
    CHECK(requestIndexes() == std::set<int>{2, 3});

    moveClock(3500);  // 4.5 s after showing: the plain one updated now has 5 s from here
    CHECK(updatePopup(session, plainId, "jeszcze raz") == 0);
    moveClock(2000);
    kivhost::pumpMessages(250);
    CHECK(requestIndexes() == std::set<int>{2, 3});
    moveClock(3100);
    kivhost::pumpMessages(250);
    CHECK(requestIndexes() == std::set<int>{2});
    moveClock(60000);
    kivhost::pumpMessages(250);
    CHECK(requestIndexes() == std::set<int>{2});
}

TEST_CASE("UTF-8 texts are drawn as written: the same pixels as the wide function gives") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("popup-handle-utf8", settingsWith(scheme.name, lines({"contactformat=0"})));
    const char* nick = u8"Ωμέγα Юлия";
    const char* text = u8"Привет, καλημέρα, zażółć gęślą jaźń";
    const wchar_t* wideText = L"Привет, καλημέρα, zażółć gęślą jaźń";
    popupRequest request;
    request.nick = nick;
    request.text = text;
    request.iconName = "";
    const kiv::popup_options2 utf8 = options2(kiv::popupUtf8);
    const int id = showPopup(session, request, &utf8);
    REQUIRE(id > 0);
    HWND shown = windowOf(0);
    REQUIRE(shown);
    CHECK(paintOf(shown).texts == std::vector<std::string>{nick, text});

    // The description area of the plain scheme, drawn by hand in the default font.
    const RECT desc = {5, 23, 225, 46};
    const int w = desc.right - desc.left, h = desc.bottom - desc.top;
    kivhost::picture drawn = kivhost::captureWindow(shown);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldBitmap = SelectObject(memory, canvas);
    LOGFONTA plainFont = {};
    HFONT font = CreateFontIndirectA(&plainFont);
    HGDIOBJ oldFont = SelectObject(memory, font);
    RECT all = {0, 0, w, h};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, 0);
    DrawTextW(memory, wideText, -1, &all, DT_WORDBREAK | DT_WORD_ELLIPSIS | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    kivhost::picture expected = kivhost::captureBitmap(canvas);
    DeleteObject(font);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    REQUIRE(drawn.width == 250);
    int differing = 0, dark = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            differing += drawn.at(desc.left + x, desc.top + y) != expected.at(x, y);
            dark += expected.at(x, y) != RGB(255, 255, 255);
        }
    CHECK(dark > 100);  // the reference really holds text
    CHECK(differing == 0);

    // An update keeps the encoding the notification was shown with.
    const char* greek = u8"Ελληνικά";  // outside the checks: their own text of the line is Windows-1250
    CHECK(updatePopup(session, id, greek) == 0);
    CHECK(paintOf(shown).texts == std::vector<std::string>{nick, greek});
}

TEST_CASE("random bytes as UTF-8: drawn with replacement characters, never a crash") {
    testScheme scheme("kivtest-growing.kivs", growingScheme);
    notifySession session("popup-handle-garbage", settingsWith(scheme.name, lines({"maxonscreen=3"})));
    std::mt19937 random(16);
    const kiv::popup_options2 utf8 = options2(kiv::popupUtf8);
    std::vector<int> ids;
    bool replaced = false;
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        const int length = 1 + static_cast<int>(random() % 700);
        for (int i = 0; i < length; ++i) bytes += static_cast<char>(1 + random() % 255);
        bytes += u8"€";
        bytes.pop_back();  // a character cut short at the very end
        popupRequest request;
        request.text = bytes.c_str();
        request.nick = bytes.c_str();
        request.data = round;
        const int id = showPopup(session, request, &utf8);
        REQUIRE(id > 0);
        ids.push_back(id);
        if (round % 2) CHECK(updatePopup(session, ids[static_cast<size_t>(round) - 1], bytes.c_str()) == 0);
        if (round % 4 == 3) {
            kivhost::pumpMessages(120);
            const std::string replacement = u8"\uFFFD";
            for (HWND w : notifications())
                for (const std::string& drawn : paintOf(w).texts)
                    replaced |= drawn.find(replacement) != std::string::npos;
            for (int earlier : ids) closePopup(session, earlier);
        }
    }
    CHECK(replaced);
    kivhost::pumpMessages(250);
}

TEST_CASE("ids are never given out twice across 10,000 notifications and a reload of kiv") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    notifySession session("popup-handle-ids", settingsWith(scheme.name, ""));
    std::set<int> seen;
    int last = 0;
    bool rising = true;
    for (int i = 0; i < 10000; ++i) {
        const int id = showPopup(session, {});
        rising &= id > last;
        last = id;
        seen.insert(id);
        if (i % 1000 != 999) closePopup(session, id);  // most go while they wait; ten are shown
    }
    CHECK(rising);
    CHECK(seen.size() == 10000);
    CHECK(waitForCount(10, 3000));

    // Unloaded and loaded again by the messenger: a caller that kept an old id reaches nobody.
    session.unload();
    session.start();
    const int afterReload = showPopup(session, {});
    CHECK(afterReload > last);
    REQUIRE(waitForCount(1));
    for (int kept : {*seen.begin(), last}) {
        CHECK(updatePopup(session, kept, "obcy") == -1);
        CHECK(closePopup(session, kept) == -1);
    }
    CHECK(closePopup(session, afterReload) == 0);
}
