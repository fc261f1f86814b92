// What a screen reader gets of each notification: the object it asks the window for (the call a
// reader makes), and the alert event it listens to.
#include <doctest.h>

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "historySupport.h"
#include "libraryRecorder.h"

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
          changes_(SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr, record, 0, 0,
                                   WINEVENT_OUTOFCONTEXT)) {
        heard.clear();
    }
    ~readerHooks() {
        UnhookWinEvent(alert_);
        UnhookWinEvent(changes_);
    }
    readerHooks(const readerHooks&) = delete;
    readerHooks& operator=(const readerHooks&) = delete;

    // How often each event was heard for window, all of them for its client area itself.
    static size_t count(DWORD event, HWND window) {
        return std::count_if(heard.begin(), heard.end(), [&](const winEvent& e) {
            return e.event == event && e.window == window && e.object == OBJID_CLIENT && e.child == CHILDID_SELF;
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

VARIANT self() {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

// A text as the reader reads it; "(failed)" when the object answers an error.
std::wstring read(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    if (FAILED((object->*getter)(self(), &text))) return L"(failed)";
    std::wstring value = text ? text : L"";
    SysFreeString(text);
    return value;
}

long role(IAccessible* object) {
    VARIANT answer;
    VariantInit(&answer);
    return SUCCEEDED(object->get_accRole(self(), &answer)) && answer.vt == VT_I4 ? answer.lVal : -1;
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
