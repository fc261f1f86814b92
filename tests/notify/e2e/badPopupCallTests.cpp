// Other plug-ins that call kiv/popup wrongly: records of the wrong size, random fields, texts past
// their fields and icons that are not bitmaps. The plug-in refuses what it cannot read, cuts what
// does not fit, and never crashes.
#include <doctest.h>

#include <climits>
#include <string>
#include <vector>

#include "badInput.h"

using namespace kivtest;

namespace {

constexpr size_t textField = 512;  // the description a window holds, less its terminator

// Random bytes without the terminator, sometimes right at the field's edges.
std::string randomText(garbage& g) {
    static const size_t edges[] = {0, 1, textField - 1, textField, textField + 1, 3000};
    size_t size = g.below(3) == 0 ? edges[g.below(6)] : static_cast<size_t>(g.below(1500));
    std::string text;
    for (size_t i = 0; i < size; ++i) text += static_cast<char>(1 + g.below(255));
    return text;
}

// The scheme is written before the session starts, which reads it.
struct popupScene {
    testScheme scheme;
    notifySession session;
    explicit popupScene(const std::string& name, const std::string& skin = plainScheme, const std::string& more = "")
        : scheme("kivtest-plain.kivs", skin),
          session(name, settingsWith(scheme.name, lines({"visibletime=1", "maxonscreen=0", "contactformat=1",
                                                         "clickclose=0", "clickopenchat=0", more}))) {
        freezeClock();
    }
};

}  // namespace

TEST_SUITE("bad input") {

TEST_CASE("kiv/popup refuses records of any other size and ignores options of any other size") {
    popupScene s("bad-popup-sizes");
    garbage g(11);

    SUBCASE("records") {
        std::vector<int32_t> sizes = {INT_MIN, -46, -1, 4096, INT_MAX};
        for (int32_t size = 0; size <= 120; ++size)
            if (size != static_cast<int32_t>(sizeof(kiv::popup_info))) sizes.push_back(size);
        std::vector<unsigned char> record(8192);
        for (int32_t size : sizes) {
            CAPTURE(size);
            for (unsigned char& byte : record) byte = static_cast<unsigned char>(g.below(256));
            memcpy(record.data(), &size, sizeof size);
            CHECK(s.session.service("kiv/popup", reinterpret_cast<WPARAM>(record.data()), 0) == -1);
        }
        CHECK(s.session.service("kiv/popup", 0, 0) == -1);
        kivhost::pumpMessages(300);
        CHECK(notifications().empty());
    }

    SUBCASE("options: only a record of their own size keeps its window open") {
        const int32_t sizes[] = {INT_MIN, -1, 0, 1, 4, 6, 10, 29, 31, 64, INT_MAX, 30};
        std::vector<std::vector<unsigned char>> records;
        for (int32_t size : sizes) {
            std::vector<unsigned char> record(4096);
            for (unsigned char& byte : record) byte = static_cast<unsigned char>(g.below(256));
            kiv::popup_options options = overrideOptions(false, true, size);
            options.iconBitmap = nullptr;
            memcpy(record.data(), &options, sizeof options);
            records.push_back(record);
        }
        for (size_t i = 0; i < records.size(); ++i) {
            kiv::popup_info info = {};
            info.size = sizeof info;
            info.nick = "Ala";
            info.text = "zostaję?";
            info.clickCallback = clickLog::record;
            info.callbackData = static_cast<int>(i);
            REQUIRE(s.session.service("kiv/popup", reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(records[i].data())) == 0);
        }
        REQUIRE(waitForCount(records.size(), 4000));
        moveClock(5000);
        REQUIRE(waitForCount(1, 4000));
        CHECK(requestIndexes() == std::set<int>{static_cast<int>(records.size() - 1)});
    }
    CHECK(heapsIntact());
}

TEST_CASE("kiv/popup with random fields, texts past their fields and icons that are not bitmaps") {
    const objectCounts before = liveObjects();
    // Windows six pixels high and no space between them: all stand on the screen at once.
    popupScene s("bad-popup-fields", "window_autoheight=0\r\nwindow_size=250,6\r\nwindow_sizesmall=250,6\r\n",
                 "space=0");
    garbage g(12);

    HDC screen = GetDC(nullptr);
    HBITMAP stale = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    DeleteObject(stale);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const HBITMAP foreignIcons[] = {stale, reinterpret_cast<HBITMAP>(brush), reinterpret_cast<HBITMAP>(0x12345678),
                                    reinterpret_cast<HBITMAP>(UINT_PTR(0xFFFFFFFF)), nullptr};

    constexpr int count = 100;  // as many as may wait for a window at once
    std::vector<std::string> texts, nicks;
    for (int i = 0; i < count; ++i) {
        texts.push_back(randomText(g));
        nicks.push_back(randomText(g));
        const std::string iconNames[] = {"message", "", "chatmessage", randomText(g)};
        std::string icon = iconNames[g.below(4)];
        kiv::popup_info info = {};
        info.size = sizeof info;
        info.protocol = g.below(5) ? "TLEN" : nullptr;
        info.contactId = g.below(5) ? nicks.back().c_str() : nullptr;
        info.nick = nicks.back().c_str();
        info.text = texts.back().c_str();
        info.iconName = icon.c_str();
        info.status = g.anyInt();
        info.itemHandle = g.below(2) ? g.anyInt() : g.below(8);
        info.small = static_cast<uint8_t>(g.below(256));
        info.effect = g.anyInt();
        info.effectClose = static_cast<uint8_t>(g.below(256));
        info.clickCallback = i % 10 ? clickLog::record : nullptr;
        info.callbackData = i;
        kiv::popup_options options = overrideOptions(g.below(2), g.below(2));
        options.iconBitmap = foreignIcons[g.below(5)];
        for (uint8_t& byte : options.reserved) byte = static_cast<uint8_t>(g.below(256));
        REQUIRE(s.session.service("kiv/popup", reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(&options)) == 0);
    }
    REQUIRE(waitForCount(count, 15000));

    size_t cut = 0, silent = 0;
    for (HWND window : notifications()) {
        int index = requestIndex(window);
        if (index < 0) {  // no callback: the window cannot say which request it shows
            ++silent;
            continue;
        }
        std::vector<std::string> painted = paintOf(window).texts;
        for (const std::string& text : painted) CHECK(text.size() <= textField);
        std::string expected = texts[index].substr(0, textField);
        if (!expected.empty() && painted.size() >= 2) CHECK(painted[1] == expected);
        cut += texts[index].size() > textField ? 1 : 0;
    }
    CHECK(cut > 0);
    CHECK(silent == count / 10);

    // Clicks with and without a callback, then every window goes.
    for (HWND window : notifications()) {
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
        SendMessageA(window, WM_RBUTTONUP, 0, 0);
    }
    moveClock(5000);
    s.session.service("kiv/setsilent", 1);
    s.session.service("kiv/setsilent", 0);
    CHECK(stillShowsNotifications(s.session));
    CHECK(heapsIntact());
    s.session.unload();
    CHECK(liveObjects() == before);
    CHECK(GetObjectType(brush) == OBJ_BRUSH);  // the caller's, never deleted by the plug-in
    DeleteObject(brush);
}

}  // TEST_SUITE
