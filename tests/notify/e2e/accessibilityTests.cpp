// What a screen reader gets of each notification: the object it asks the window for (the call a
// reader makes), and the alert event it listens to.
#include <doctest.h>

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "historySupport.h"
#include "libraryRecorder.h"
#include "workerThreads.h"

using namespace kivtest;

namespace {

struct winEvent {
    DWORD event;
    HWND window;
    LONG object, child;
};

// The events a reader listens to, as it hears them: out of context, through this thread's messages.
class readerHooks {
public:
    readerHooks()
        : alert_(SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, record, 0, 0, WINEVENT_OUTOFCONTEXT)),
          changes_(SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE, nullptr, record, 0, 0,
                                   WINEVENT_OUTOFCONTEXT)) {
        heard.clear();
    }
    ~readerHooks() {
        UnhookWinEvent(alert_);
        UnhookWinEvent(changes_);
    }
    readerHooks(const readerHooks&) = delete;
    readerHooks& operator=(const readerHooks&) = delete;

    // How often each event was heard for window, all of them for its client area or one child of it.
    static size_t count(DWORD event, HWND window, LONG child = CHILDID_SELF) {
        return std::count_if(heard.begin(), heard.end(), [&](const winEvent& e) {
            return e.event == event && e.window == window && e.object == OBJID_CLIENT && e.child == child;
        });
    }
    static inline std::vector<winEvent> heard;

private:
    static void CALLBACK record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
        heard.push_back({event, window, object, child});
    }
    HWINEVENTHOOK alert_, changes_;
};

IAccessible* objectOf(HWND window) {
    void* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), &object))) return nullptr;
    return static_cast<IAccessible*>(object);
}

VARIANT childOf(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

VARIANT self() {
    return childOf(CHILDID_SELF);
}

// A text as the reader reads it; "(failed)" when the object answers an error.
std::wstring read(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, BSTR*),
                  LONG child = CHILDID_SELF) {
    BSTR text = nullptr;
    if (FAILED((object->*getter)(childOf(child), &text))) return L"(failed)";
    std::wstring value = text ? text : L"";
    SysFreeString(text);
    return value;
}

long role(IAccessible* object, LONG child = CHILDID_SELF) {
    VARIANT answer;
    VariantInit(&answer);
    return SUCCEEDED(object->get_accRole(childOf(child), &answer)) && answer.vt == VT_I4 ? answer.lVal : -1;
}

long childCount(IAccessible* object) {
    long count = -1;
    return SUCCEEDED(object->get_accChildCount(&count)) ? count : -1;
}

// Where a child is on the screen, and whether the reader finds it there again: inside its window,
// and the child itself at its middle once it has a size.
bool placedInside(IAccessible* object, LONG child, HWND window) {
    long left = 0, top = 0, width = 0, height = 0;
    if (FAILED(object->accLocation(&left, &top, &width, &height, childOf(child)))) return false;
    const RECT outer = kivhost::windowRect(window);
    const RECT place = {left, top, left + width, top + height};
    RECT common = {};
    if (IntersectRect(&common, &place, &outer) ? !EqualRect(&common, &place) : !PtInRect(&outer, {left, top}))
        return false;
    if (width <= 0 || height <= 0) return true;
    VARIANT found;
    VariantInit(&found);
    return object->accHitTest(left + width / 2, top + height / 2, &found) == S_OK && found.vt == VT_I4 &&
           found.lVal == child;
}

HWND nextWindow(const std::vector<HWND>& before) {
    HWND shown = windowAfter(before);
    kivhost::pumpMessages(100);  // the out-of-context events arrive as messages
    return shown;
}

}  // namespace

TEST_CASE("a screen reader reads each notification as an alert, its contact line and its text, announced once") {
    historyScene s("reader-reads", settingsWith("none.kivs", ""));
    readerHooks hooks;
    struct {
        const char* what;
        std::function<void()> raise;
        std::wstring name, description;
    } cases[] = {
        {"status", [] { kivhost::raiseStatusChange(change("GG", "12345", 1, 2, nullptr, "nad morzem")); },
         L"Olek (12345)", L"nad morzem"},
        {"message", [] { kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Zażółć gęślą jaźń"); },
         L"Ala (ala@tlen.pl)", L"Zażółć gęślą jaźń"},
        {"another plug-in, UTF-8",
         [&] {
             popupRequest request;
             request.nick = u8"Wtyczka Łódź";
             request.text = u8"Nowa poczta: źdźbło, Ωμέγα";
             const kiv::popup_options2 utf8 = options2(kiv::popupUtf8);
             showPopup(s.session, request, &utf8);
         },
         L"Wtyczka Łódź (ala)", L"Nowa poczta: źdźbło, Ωμέγα"},
    };
    for (const auto& c : cases) {
        const std::string what = c.what;
        CAPTURE(what);
        std::vector<HWND> before = notifications();
        c.raise();
        HWND shown = nextWindow(before);
        REQUIRE(shown);
        CHECK(readerHooks::count(EVENT_SYSTEM_ALERT, shown) == 1);
        char title[32] = "";
        GetWindowTextA(shown, title, sizeof title);
        CHECK(std::string(title) == "notify");  // its class is the one notifications() looks for
        IAccessible* object = objectOf(shown);
        REQUIRE(object);
        CHECK(read(object, &IAccessible::get_accName) == c.name);
        CHECK(read(object, &IAccessible::get_accDescription) == c.description);
        CHECK(role(object) == ROLE_SYSTEM_ALERT);
        object->Release();
    }
    CHECK(std::count_if(readerHooks::heard.begin(), readerHooks::heard.end(), [](const winEvent& e) {
              return e.event == EVENT_SYSTEM_ALERT;
          }) == std::size(cases));  // no other window, none twice
}

// A library named bare would be looked for in the messenger's folder first.
TEST_CASE("the libraries kiv loads at start-up and for a reader come from the system folder by full path") {
    kivhost::libraryRecorder::get().clear();
    historyScene s("reader-libraries", settingsWith("none.kivs", ""));
    std::vector<HWND> before = notifications();
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć");
    HWND shown = nextWindow(before);
    REQUIRE(shown);
    IAccessible* object = objectOf(shown);
    REQUIRE(object);
    object->Release();
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof system);
    const std::string folder = std::string(system) + "\\";
    std::vector<std::string> asked = kivhost::libraryRecorder::get().asked();
    CHECK(asked.size() >= 4);  // user32 at start-up; oleacc, ole32 and oleaut32 for the reader
    for (const std::string& name : asked) {
        CAPTURE(name);
        CHECK(lstrcmpiA(name.substr(0, folder.size()).c_str(), folder.c_str()) == 0);
    }
}

TEST_CASE("a reader that keeps the object: the next message is read and announced; after the window it fails") {
    historyScene s("reader-keeps", withExtra("groupmessages=1\r\n"));
    readerHooks hooks;
    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "pierwsza");
    HWND shown = nextWindow({});
    REQUIRE(shown);
    IAccessible* kept = objectOf(shown);
    REQUIRE(kept);
    for (int again = 0; again < 3; ++again) objectOf(shown)->Release();  // each request answered, none kept

    kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "druga");
    kivhost::pumpMessages(100);
    CHECK(read(kept, &IAccessible::get_accName) == L"Ala (ala@tlen.pl) (2)");
    CHECK(read(kept, &IAccessible::get_accDescription) == L"druga");
    CHECK(readerHooks::count(EVENT_OBJECT_NAMECHANGE, shown) == 1);
    CHECK(readerHooks::count(EVENT_OBJECT_DESCRIPTIONCHANGE, shown) == 1);

    moveClock(6000);  // past the visible time
    REQUIRE(kivhost::pumpUntil([&] { return !IsWindow(shown); }, 1500));
    CHECK(read(kept, &IAccessible::get_accName) == L"(failed)");
    long left = 0, top = 0, width = 0, height = 0;
    CHECK(FAILED(kept->accLocation(&left, &top, &width, &height, self())));
    CHECK(kept->Release() == 0);  // the window's reference and every answered request are gone
}

TEST_CASE("a reader finds the caller's buttons and the bar as children, and presses a button as a click on it") {
    historyScene s("reader-buttons", settingsWith("none.kivs", "visibletime=60\r\n"));
    struct {
        const char* what;
        uint8_t encoding;
        std::vector<const char*> captions;
        std::vector<std::wstring> names;
        LONG pressed;  // from 1
        bool keepOpen;
    } rows[] = {
        {"UTF-8, the first, closes", kiv::popupUtf8, {u8"Otwórz", u8"Pokaż w folderze", u8"Odrzuć"},
         {L"Otwórz", L"Pokaż w folderze", L"Odrzuć"}, 1, false},
        {"UTF-8, the last, kept open", kiv::popupUtf8, {u8"Пауза", u8"Ωμέγα"}, {L"Пауза", L"Ωμέγα"}, 2, true},
        {"Windows-1250, the second", kiv::popupWindows1250, {"Zapisz", "Usuń"}, {L"Zapisz", L"Usuń"}, 2, false},
    };
    int data = 0;
    for (const auto& r : rows) {
        CAPTURE(std::string(r.what));
        kiv::popup_options3 options = options3(30, {}, r.keepOpen, r.encoding);
        std::copy(r.captions.begin(), r.captions.end(), options.actions);
        popupRequest request;
        request.data = ++data;
        const std::vector<HWND> before = notifications();
        const int id = showPopup(s.session, request, &options);
        HWND shown = nextWindow(before);
        REQUIRE(shown);
        IAccessible* object = objectOf(shown);
        REQUIRE(object);
        const LONG buttons = static_cast<LONG>(r.names.size());
        CHECK(childCount(object) == buttons + 1);
        for (LONG child = 1; child <= buttons; ++child) {
            CAPTURE(child);
            CHECK(read(object, &IAccessible::get_accName, child) == r.names[child - 1]);
            CHECK(role(object, child) == ROLE_SYSTEM_PUSHBUTTON);
            CHECK(read(object, &IAccessible::get_accDefaultAction, child) == L"Naciśnij");
            IDispatch* own = nullptr;
            CHECK(object->get_accChild(childOf(child), &own) == S_FALSE);  // a simple element
            CHECK(placedInside(object, child, shown));
        }
        CHECK(role(object, buttons + 1) == ROLE_SYSTEM_PROGRESSBAR);
        CHECK(placedInside(object, buttons + 1, shown));
        CHECK(read(object, &IAccessible::get_accValue, buttons + 1) == L"30%");

        clickLog::clicks.clear();
        CHECK(object->accDoDefaultAction(childOf(r.pressed)) == S_OK);
        kivhost::pumpUntil([] { return !clickLog::clicks.empty(); }, 1000);
        kivhost::pumpMessages(100);
        REQUIRE(clickLog::clicks.size() == 1);
        CHECK(clickLog::clicks[0].button == kiv::popupActionButton + r.pressed);
        CHECK(clickLog::clicks[0].data == data);
        CHECK(bool(IsWindow(shown)) == r.keepOpen);
        CHECK((read(object, &IAccessible::get_accName) == L"(failed)") == !r.keepOpen);
        object->Release();
        closePopup(s.session, id);
        REQUIRE(waitForCount(0));
    }
}

TEST_CASE("the bar's value follows kiv/popup/progress from any thread, heard by a reader; -1 takes the bar away") {
    historyScene s("reader-progress", settingsWith("none.kivs", "visibletime=60\r\nmaxonscreen=1\r\n"));
    readerHooks hooks;
    const kiv::popup_options3 options = options3(0, {u8"Anuluj"}, false, kiv::popupUtf8);
    const int id = showPopup(s.session, popupRequest{}, &options);
    HWND shown = nextWindow({});
    REQUIRE(shown);
    IAccessible* object = objectOf(shown);
    REQUIRE(object);
    constexpr LONG bar = 2;
    // A worker's flood, text updates between: none refused, the last value shown, one change heard.
    auto flood = [&] {
        int refused = 0;
        workerThreads worker;
        worker.start([&] {
            for (int i = 0; i < 5000; ++i) {
                refused += callFromPlugin(kiv::popupProgressService, id, i % 100) != 0;
                refused += callFromPlugin(kiv::popupUpdateService, id, reinterpret_cast<LPARAM>("pobieranie")) != 0;
            }
            refused += callFromPlugin(kiv::popupProgressService, id, 77) != 0;
        });
        worker.join();  // without running this thread's messages: everything waits for it
        return refused;
    };
    struct {
        const char* what;
        std::function<int()> move;
        long children;
        std::wstring value;
        size_t valueEvents, reorders;
    } steps[] = {
        {"40 on this thread", [&] { return progressPopup(s.session, id, 40); }, 2, L"40%", 1, 0},
        {"another thread", flood, 2, L"77%", 1, 0},
        {"-1 on this thread", [&] { return progressPopup(s.session, id, -1); }, 1, L"(failed)", 0, 1},
        {"-1 again", [&] { return progressPopup(s.session, id, -1); }, 1, L"(failed)", 0, 0},
        {"a bar again", [&] { return progressPopup(s.session, id, 100); }, 2, L"100%", 1, 1},
    };
    for (const auto& step : steps) {
        CAPTURE(std::string(step.what));
        readerHooks::heard.clear();
        CHECK(step.move() == 0);
        kivhost::pumpMessages(150);
        CHECK(childCount(object) == step.children);
        CHECK(read(object, &IAccessible::get_accValue, bar) == step.value);
        CHECK(readerHooks::count(EVENT_OBJECT_VALUECHANGE, shown, bar) == step.valueEvents);
        CHECK(readerHooks::count(EVENT_OBJECT_REORDER, shown) == step.reorders);
    }
    CHECK(read(object, &IAccessible::get_accDescription) == L"pobieranie");
    object->Release();

    const auto fromWorker = [](int target, int percent) {
        int answer = 0;
        workerThreads worker;
        worker.start([&] { answer = callFromPlugin(kiv::popupProgressService, target, percent); });
        worker.join();
        return answer;
    };
    for (int percent : {101, -2, 1000})
        CHECK(progressPopup(s.session, id, percent) == -1);
    CHECK(fromWorker(id, 101) == -1);

    // One shown without a bar, still waiting for room: it gets one where it waits.
    const int waiting = showPopup(s.session, popupRequest{});
    CHECK(progressPopup(s.session, waiting, 60) == 0);
    CHECK(closePopup(s.session, id) == 0);
    HWND next = nextWindow({shown});
    REQUIRE(next);
    IAccessible* nextObject = objectOf(next);
    REQUIRE(nextObject);
    CHECK(childCount(nextObject) == 1);
    CHECK(read(nextObject, &IAccessible::get_accValue, 1) == L"60%");
    nextObject->Release();
    const struct {
        const char* what;
        int answer, expected;
    } refusals[] = {
        {"closed, this thread", progressPopup(s.session, id, 50), -1},
        {"closed, another thread: carried out and found gone", fromWorker(id, 50), 0},
        {"never given, this thread", progressPopup(s.session, id + 1000, 50), -1},
        {"never given, another thread", fromWorker(id + 1000, 50), -1},
    };
    for (const auto& r : refusals) {
        CAPTURE(std::string(r.what));
        CHECK(r.answer == r.expected);
    }
    CHECK(closePopup(s.session, waiting) == 0);
    CHECK(waitForCount(0));
}
