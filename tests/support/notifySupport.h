// For end-to-end tests of notification windows: schemes and settings written for one test,
// kiv/popup requests, the windows on screen, the module's clock, and clicks that come back.
#pragma once

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "highContrast.h"
#include "hostCore.h"
#include "kiv/popup.h"
#include "paintRecorder.h"
#include "pictures.h"
#include "pluginLoader.h"
#include "programsTheme.h"
#include "protocolEvents.h"
#include "schemeValues.h"
#include "testSupport.h"
#include "windowProbe.h"

namespace kivtest {

inline constexpr const char* notifyClass = "kiv_notify_window";

inline std::string pluginsFolder() {
    return kivhost::programFolder() + "plugins\\";
}

inline std::string schemeFolder() {
    return pluginsFolder() + "kiv.scheme\\";
}

// A scheme of the test's own in the module's scheme folder, removed at the end.
class testScheme {
public:
    testScheme(const std::string& fileName, const std::string& body) : name(fileName), path(schemeFolder() + fileName) {
        write(body);
    }
    ~testScheme() { DeleteFileA(path.c_str()); }
    testScheme(const testScheme&) = delete;
    testScheme& operator=(const testScheme&) = delete;

    // The file written again, as an author edits it while the module runs.
    void write(const std::string& body) const { writeFile(path, "[skin]\r\n" + body); }

    std::string name;
    std::string path;
};

// Plain rectangles without bitmaps: 250 x 50 and 250 x 24, never grown by their text.
inline const char* plainScheme = "window_autoheight=0\r\n";

inline std::string lines(std::initializer_list<std::string> keys) {
    std::string text;
    for (const std::string& key : keys) text += key + "\r\n";
    return text;
}

// Settings with the given scheme and [window] keys; full-screen suppression off, so that whatever
// window is in front the tests' notifications are shown.
inline std::string settingsWith(const std::string& scheme, const std::string& windowKeys,
                                const std::string& moreSections = "") {
    return "[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=" + scheme + "\r\n" + windowKeys + moreSections;
}

class notifySession : public kivSession {
public:
    notifySession(const std::string& name, const std::string& settings) : kivSession(name, false) {
        writeFile(settingsFile, settings);
        start();
    }
};

// ---- the system's modes -------------------------------------------------------------------

// The system in high contrast for the plug-in while this lives, in colours no scheme here uses.
struct highContrastScene {
    static constexpr COLORREF window = RGB(255, 255, 0);
    static constexpr COLORREF text = RGB(0, 0, 160);
    static constexpr COLORREF highlight = RGB(0, 128, 0);
    highContrastScene() {
        kivhost::highContrast::get().set({{COLOR_WINDOW, window}, {COLOR_WINDOWTEXT, text}, {COLOR_HIGHLIGHT, highlight}});
    }
    ~highContrastScene() { kivhost::highContrast::get().clear(); }
    highContrastScene(const highContrastScene&) = delete;
    highContrastScene& operator=(const highContrastScene&) = delete;
};

// ---- clicks -------------------------------------------------------------------------------

struct clickSeen {
    int size, button, data;
    HWND window;
};

struct clickLog {
    static inline std::vector<clickSeen> clicks;
    static int __cdecl record(kiv::click_info* info, int data) {
        clicks.push_back({info->size, info->button, data, info->window});
        return 0;
    }
};

// ---- requests -----------------------------------------------------------------------------

struct popupRequest {
    const char* protocol = "TLEN";
    const char* contactId = "ala";
    const char* nick = "Ala";
    const char* text = "Ala ma kota";
    const char* iconName = "message";
    int itemHandle = 0;
    int data = 0;
    kiv::ClickCallbackFn callback = clickLog::record;
    bool withOptions = false;
    kiv::popup_options options = {};
};

inline kiv::popup_info popupInfo(const popupRequest& request) {
    kiv::popup_info info = {};
    info.size = sizeof info;
    info.protocol = request.protocol;
    info.contactId = request.contactId;
    info.nick = request.nick;
    info.text = request.text;
    info.iconName = request.iconName;
    info.itemHandle = request.itemHandle;
    info.clickCallback = request.callback;
    info.callbackData = request.data;
    return info;
}

inline int popup(kivSession& session, const popupRequest& request) {
    kiv::popup_info info = popupInfo(request);
    kiv::popup_options options = request.options;
    return session.service("kiv/popup", reinterpret_cast<WPARAM>(&info),
                           request.withOptions ? reinterpret_cast<LPARAM>(&options) : 0);
}

inline kiv::popup_options overrideOptions(bool forceAutoClose, bool forceKeepOpen, int size = 30) {
    kiv::popup_options options = {};
    options.size = size;
    options.forceAutoClose = forceAutoClose;
    options.forceKeepOpen = forceKeepOpen;
    return options;
}

// kiv/popup/show, /update and /close as another plug-in calls them; null options are none.
inline kiv::popup_options2 options2(uint8_t encoding, int visibleTime = 0, bool keepOpen = false) {
    kiv::popup_options2 options = {};
    options.size = sizeof options;
    options.encoding = encoding;
    options.visibleTime = visibleTime;
    options.keepOpen = keepOpen;
    return options;
}

// options: a popup_options2, a popup_options3, a record of any other size, or null.
inline int showPopup(kivSession& session, const popupRequest& request, const void* options = nullptr) {
    kiv::popup_info info = popupInfo(request);
    return session.service(kiv::popupShowService, reinterpret_cast<WPARAM>(&info), reinterpret_cast<LPARAM>(options));
}

// A bar (progress -1: none) and the captions of the buttons, in the encoding given.
inline kiv::popup_options3 options3(int progress, std::initializer_list<const char*> captions, bool keepOpen = false,
                                    uint8_t encoding = kiv::popupWindows1250) {
    kiv::popup_options3 options = {};
    options.size = sizeof options;
    options.progress = static_cast<int8_t>(progress);
    options.keepOpen = keepOpen;
    options.encoding = encoding;
    int k = 0;
    for (const char* caption : captions) options.actions[k++] = caption;
    return options;
}

inline int progressPopup(kivSession& session, int id, int percent) {
    return session.service(kiv::popupProgressService, static_cast<WPARAM>(id), static_cast<LPARAM>(percent));
}

inline int updatePopup(kivSession& session, int id, const char* text) {
    return session.service(kiv::popupUpdateService, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text));
}

inline int closePopup(kivSession& session, int id) {
    return session.service(kiv::popupCloseService, static_cast<WPARAM>(id));
}

// A status change as the messenger raises it; null descriptions are none.
inline kivhost::statusChange change(const std::string& protocol, const std::string& id, int from, int to,
                                    const char* descFrom = nullptr, const char* descTo = nullptr) {
    kivhost::statusChange c;
    c.protocol = protocol;
    c.contactId = id;
    c.previousStatus = from;
    c.newStatus = to;
    c.previousDescription = descFrom;
    c.newDescription = descTo;
    return c;
}

// ---- kiv.log ------------------------------------------------------------------------------

// kiv.log read as it grows: the lines written since the last call, each without its time.
class logFollower {
public:
    explicit logFollower(std::string file) : file_(std::move(file)) {}
    std::vector<std::string> newLines() {
        std::string content = fileExists(file_) ? readFile(file_) : "";
        std::vector<std::string> lines;
        for (size_t start = read_, end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = content.substr(start, end - start);
            lines.push_back(line.substr(line.find('\t') + 1));
        }
        read_ = content.size();
        return lines;
    }

private:
    std::string file_;
    size_t read_ = 0;
};

// ---- windows ------------------------------------------------------------------------------

// A plain window in front, covering the area, as a full-screen game or a browser would be.
class frontWindow {
public:
    explicit frontWindow(const RECT& area)
        : window_(CreateWindowExA(WS_EX_TOPMOST, "STATIC", "game", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, nullptr, nullptr, nullptr,
                                  nullptr)) {
        SetForegroundWindow(window_);
        kivhost::pumpMessages(30);
    }
    ~frontWindow() {
        DestroyWindow(window_);
        SetForegroundWindow(kivhost::hostCore::get().mainWindow());
        kivhost::pumpMessages(30);
    }
    frontWindow(const frontWindow&) = delete;
    frontWindow& operator=(const frontWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

inline RECT wholeScreen() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

inline std::vector<HWND> notifications() {
    return kivhost::findWindows(notifyClass);
}

inline bool waitForCount(size_t count, DWORD milliseconds = 1500) {
    return kivhost::pumpUntil([&] { return notifications().size() == count; }, milliseconds);
}

// The windows once the expected number is up and one more tick has brought nothing else.
inline std::vector<HWND> settle(size_t expected, DWORD milliseconds = 1500) {
    waitForCount(expected, milliseconds);
    kivhost::pumpMessages(250);
    return notifications();
}

// The windows once the first has come and a few ticks in a row have changed nothing: for tests
// that leave it to the screen how many fit.
inline std::vector<HWND> steady() {
    kivhost::pumpUntil([] { return !notifications().empty(); }, 1500);
    std::vector<HWND> now = notifications();
    for (int round = 0; round < 40; ++round) {
        kivhost::pumpMessages(300);
        std::vector<HWND> later = notifications();
        if (std::set<HWND>(later.begin(), later.end()) == std::set<HWND>(now.begin(), now.end())) break;
        now = later;
    }
    return now;
}

inline bool inside(HWND window, const RECT& area) {
    RECT r = kivhost::windowRect(window);
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom &&
           r.right > r.left && r.bottom > r.top;
}

// A window that was not among before, as soon as the tick that shows it has run; null when none came.
inline HWND windowAfter(const std::vector<HWND>& before) {
    HWND shown = nullptr;
    kivhost::pumpUntil(
        [&] {
            for (HWND w : notifications())
                if (std::find(before.begin(), before.end(), w) == before.end()) shown = w;
            return shown != nullptr;
        },
        1500);
    return shown;
}

// Queues one request and returns its window as soon as the tick that shows it has run.
inline HWND showOne(kivSession& session, const popupRequest& request) {
    std::vector<HWND> before = notifications();
    if (popup(session, request) != 0) return nullptr;
    return windowAfter(before);
}

// kiv/popup/show with those options, and its window as soon as the tick that shows it has run.
inline HWND showWith(kivSession& session, const popupRequest& request, const kiv::popup_options3& options) {
    std::vector<HWND> before = notifications();
    if (showPopup(session, request, &options) <= 0) return nullptr;
    return windowAfter(before);
}

// Which request a window shows: its click callback's data, asked with a right click.
inline int requestIndex(HWND window) {
    clickLog::clicks.clear();
    SendMessageA(window, WM_RBUTTONUP, 0, 0);
    return clickLog::clicks.empty() ? -1 : clickLog::clicks.back().data;
}

inline std::set<int> requestIndexes() {
    std::set<int> indexes;
    for (HWND w : notifications()) indexes.insert(requestIndex(w));
    return indexes;
}

inline RECT workArea() {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// A window that covers the whole screen and is in front, as a full-screen game would be.
struct fullScreenApp : frontWindow {
    fullScreenApp() : frontWindow(wholeScreen()) {}
};

inline void animationTick(HWND window) {
    SendMessageA(window, WM_TIMER, 1, 0);
}

// The module's clock stands still from here, and moves only when told.
inline void freezeClock() {
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    clock.freeze(clock.now());
}

inline void moveClock(DWORD milliseconds) {
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    clock.freeze(clock.now() + milliseconds);
}

// Every window's visible time over, and the windows gone: the screen's room is free again.
inline bool letAllGo(DWORD visibleMilliseconds) {
    moveClock(visibleMilliseconds);
    return waitForCount(0);
}

inline void repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// What one notification shows, read off its latest paint: contact line, description, icon.
inline kivhost::paintedWindow paintOf(HWND window) {
    repaint(window);
    return kivhost::paintRecorder::get().latest(window);
}

// A scheme whose description font is 200 pixels high, and a text of many lines in it: a window
// that auto-height would grow past any screen.
inline std::string hugeFontScheme(int pixels = 200) {
    LOGFONTA huge = {};
    huge.lfHeight = -pixels;
    huge.lfCharSet = EASTEUROPE_CHARSET;
    lstrcpyA(huge.lfFaceName, "Tahoma");
    return "window_autoheight=1\r\ndesc_font=" + kivhost::structText(&huge, sizeof huge) + "\r\n";
}

// The colours of a caller's buttons and bar, given by a scheme's keys; nothing else on a window
// has them, so the buttons and the bar are found by their pixels.
struct actionColours {
    static constexpr COLORREF back = RGB(0xE0, 0xF0, 0xE0);
    static constexpr COLORREF text = RGB(0x20, 0x20, 0x90);
    static constexpr COLORREF frame = RGB(0xC0, 0x10, 0x10);
    static constexpr COLORREF bar = RGB(0xF0, 0x80, 0x00);
    static std::string keys() {
        return "actionback=" + std::to_string(back) + "\r\nactiontext=" + std::to_string(text) +
               "\r\nactionframe=" + std::to_string(frame) + "\r\nprogresscolor=" + std::to_string(bar) + "\r\n";
    }
};

// Plain, grown by its text in 11-pixel Tahoma, the buttons and the bar in actionColours.
inline std::string actionScheme(int fontPixels = 11) {
    return hugeFontScheme(fontPixels) + actionColours::keys();
}

// The caller's buttons on a window whose scheme has actionColours, as its pixels show them, from
// the left.
inline std::vector<RECT> buttonsOf(HWND window) {
    repaint(window);
    return framedBoxes(kivhost::captureWindow(window), actionColours::frame);
}

inline POINT centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The pointer moved or the left button released at a point of the window.
inline void mouseAt(HWND window, UINT message, POINT at) {
    SendMessageA(window, message, 0, MAKELPARAM(at.x, at.y));
}

inline std::string manyLines() {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "Wysoko ";
    return text;
}

}  // namespace kivtest
