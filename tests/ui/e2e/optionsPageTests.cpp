// The plug-in's page in kivhost's options window: the settings it shows, what applying stores, the
// page events, its commands, and how it scrolls and paints.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dialogDriving.h"
#include "dialogWatcher.h"
#include "hotKeyRecorder.h"
#include "importPatch.h"
#include "notifySupport.h"
#include "objectTracker.h"
#include "optionsWindow.h"
#include "testSupport.h"
#include "windowProbe.h"

using namespace kivtest;
namespace abi = kiv::abi;

namespace {

enum control : int {
    visibleTime = 1000, rearrange = 1001, globalFilter = 1004, showDesc = 1006, schemeList = 1008, bindX = 1009,
    bindY = 1010, showMessage = 1011, contactFormat = 1012, topLeft = 1013, bottomLeft = 1014, bottomRight = 1015,
    topRight = 1016, newAtBegin = 1017, preview = 1018, previewSmall = 1019, showSilent = 1020, space = 1021,
    fileLoginTlen = 1022, browseLoginTlen = 1023, alpha = 1024, fileLoginGg = 1025, clickClose = 1026,
    browseLoginGg = 1027, fileEmail = 1028, browseEmail = 1029, autoHeightChars = 1033, autoHeightRows = 1034,
    offOnline = 1035, offMessage = 1036, offChatStart = 1037, offChat = 1038, offFile = 1039, offVoice = 1040,
    loginIgnore = 1041, reloadScheme = 1042, clearLoginTlen = 1043, fullScreenAutoOff = 1044, clearLoginGg = 1045,
    offLogin = 1046, clearEmail = 1047, offEmail = 1048, alphaLabel = 1049, playLoginTlen = 1050,
    playLoginGg = 1051, playEmail = 1052, msgShowWhenBgOnly = 1053, moveSounds = 1054, maxOnScreen = 1055,
    effect = 1056, effectClose = 1057, clickOpenChat = 1058, ignoreMub = 1059, noAutoClose = 1060,
    hoverHold = 1061, idleHold = 1062, history = 1063, missedSummary = 1064, eventLog = 1065, monitor = 1066,
    groupMessages = 1067, quietFrom = 1068, quietTo = 1069, quietRefused = 1070, hotKeyClose = 1071,
    hotKeyCloseRefused = 1072, hotKeyHistory = 1073, hotKeyHistoryRefused = 1074,
    actionMenu = 1075, darkScheme = 1076,
};

// The plug-in loaded with a settings file, and kivhost's options window opened on its page.
class pageSession {
public:
    explicit pageSession(const std::string& name, const std::string& settings = "",
                         kivhost::optionsWindow::layout look = kivhost::optionsWindow::layout(),
                         const std::string& filters = "")
        : session(name, false), look_(look) {
        if (!settings.empty()) writeFile(session.settingsFile, settings);
        if (!filters.empty()) writeFile(session.filtersFile, filters);
        session.start();
        open();
    }

    void open() { options = std::make_unique<kivhost::optionsWindow>(session.host, look_); }
    void close() { options.reset(); }

    HWND page() const { return options->pageWindow(); }
    HWND item(int id) const { return GetDlgItem(page(), id); }
    std::string text(int id) const {
        char value[2048] = "";
        GetWindowTextA(item(id), value, sizeof value);
        return value;
    }
    void type(int id, const std::string& value) const { SetWindowTextA(item(id), value.c_str()); }
    bool checked(int id) const { return SendMessageA(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void check(int id, bool on) const { SendMessageA(item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    void click(int id) const { SendMessageA(item(id), BM_CLICK, 0, 0); }
    int selection(int id) const { return static_cast<int>(SendMessageA(item(id), CB_GETCURSEL, 0, 0)); }
    std::string selectedText(int id) const {
        char value[1100] = "";
        int selected = selection(id);
        if (selected >= 0) SendMessageA(item(id), CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(value));
        return value;
    }
    std::vector<std::string> items(int id) const {
        std::vector<std::string> texts;
        auto count = static_cast<int>(SendMessageA(item(id), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char value[1100] = "";
            SendMessageA(item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(value));
            texts.push_back(value);
        }
        return texts;
    }
    bool choose(int id, const std::string& shown) const {
        LRESULT found = SendMessageA(item(id), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(shown.c_str()));
        if (found == CB_ERR) return false;
        SendMessageA(item(id), CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        return true;
    }
    std::string stored(const char* section, const char* key) const {
        return iniValue(session.settingsFile, section, key);
    }
    int serviceCalls(const char* name) const {
        int calls = 0;
        for (const auto& call : session.host.log) calls += call.what == name;
        return calls;
    }

    kivSession session;
    std::unique_ptr<kivhost::optionsWindow> options;

private:
    kivhost::optionsWindow::layout look_;
};

const char* const customSettings =
    "[general]\r\nshowsilent=0\r\nfullscreenautooff=0\r\n"
    "[window]\r\nscheme=dark.kivs\r\neffect=1\r\neffectclose=1\r\nvisibletime=12\r\nrearrangewindows=0\r\n"
    "newatbegin=1\r\nshowdesc=0\r\nshowmessage=0\r\nclickclose=1\r\nclickopenchat=1\r\nmsgshowwhenbgonly=1\r\n"
    "bindpos=1\r\nbind=15,25\r\nspace=7\r\ncontactformat=0\r\nalpha=35\r\nautoheightchars=140\r\n"
    "autoheightrows=3\r\nloginignore=0\r\nmaxonscreen=4\r\n"
    "[sound]\r\nfilelogintlen=C:\\dźwięki\\tlen.wav\r\nfilelogingg=D:\\gg.wav\r\nfileemail=E:\\poczta.wav\r\n"
    "offlogin=1\r\noffonline=1\r\noffmessage=0\r\noffmessagechatstart=1\r\noffmessagechat=0\r\nofffile=1\r\n"
    "offvoice=0\r\noffemail=1\r\n"
    "[ztk]\r\nignoremub=1\r\nnoautoclose=1\r\n"
    "[extra]\r\nhoverhold=1\r\nidlehold=300\r\nhistory=50\r\nmissedsummary=1\r\neventlog=0\r\nmonitor=1\r\n"
    "groupmessages=1\r\nactionmenu=1\r\n";

// A setting and its control: what the file above holds, and what the test changes it to.
enum class kind { checkBox, number, text, comboBox, trackbar };
struct binding {
    const char* section;
    const char* key;
    int id;
    kind type;
    const char* fromFile;
    const char* changed;
};

const binding bindings[] = {
    {"general", "showsilent", showSilent, kind::checkBox, "0", "1"},
    {"general", "fullscreenautooff", fullScreenAutoOff, kind::checkBox, "0", "1"},
    {"window", "effect", effect, kind::comboBox, "1", "2"},
    {"window", "effectclose", effectClose, kind::checkBox, "1", "0"},
    {"window", "visibletime", visibleTime, kind::number, "12", "30"},
    {"window", "rearrangewindows", rearrange, kind::checkBox, "0", "1"},
    {"window", "newatbegin", newAtBegin, kind::checkBox, "1", "0"},
    {"window", "showdesc", showDesc, kind::checkBox, "0", "1"},
    {"window", "showmessage", showMessage, kind::checkBox, "0", "1"},
    {"window", "clickclose", clickClose, kind::checkBox, "1", "0"},
    {"window", "clickopenchat", clickOpenChat, kind::checkBox, "1", "0"},
    {"window", "msgshowwhenbgonly", msgShowWhenBgOnly, kind::checkBox, "1", "0"},
    {"window", "space", space, kind::number, "7", "11"},
    {"window", "contactformat", contactFormat, kind::comboBox, "0", "1"},
    {"window", "alpha", alpha, kind::trackbar, "35", "80"},
    {"window", "autoheightchars", autoHeightChars, kind::number, "140", "200"},
    {"window", "autoheightrows", autoHeightRows, kind::number, "3", "8"},
    {"window", "loginignore", loginIgnore, kind::checkBox, "0", "1"},
    {"window", "maxonscreen", maxOnScreen, kind::number, "4", "0"},
    {"sound", "filelogintlen", fileLoginTlen, kind::text, "C:\\dźwięki\\tlen.wav", "F:\\nowy\\ą.wav"},
    {"sound", "filelogingg", fileLoginGg, kind::text, "D:\\gg.wav", ""},
    {"sound", "fileemail", fileEmail, kind::text, "E:\\poczta.wav", "G:\\list.wav"},
    {"sound", "offlogin", offLogin, kind::checkBox, "1", "0"},
    {"sound", "offonline", offOnline, kind::checkBox, "1", "0"},
    {"sound", "offmessage", offMessage, kind::checkBox, "0", "1"},
    {"sound", "offmessagechatstart", offChatStart, kind::checkBox, "1", "0"},
    {"sound", "offmessagechat", offChat, kind::checkBox, "0", "1"},
    {"sound", "offfile", offFile, kind::checkBox, "1", "0"},
    {"sound", "offvoice", offVoice, kind::checkBox, "0", "1"},
    {"sound", "offemail", offEmail, kind::checkBox, "1", "0"},
    {"ztk", "ignoremub", ignoreMub, kind::checkBox, "1", "0"},
    {"ztk", "noautoclose", noAutoClose, kind::checkBox, "1", "0"},
    {"extra", "hoverhold", hoverHold, kind::checkBox, "1", "0"},
    {"extra", "idlehold", idleHold, kind::number, "300", "3600"},
    {"extra", "history", history, kind::number, "50", "0"},
    {"extra", "missedsummary", missedSummary, kind::checkBox, "1", "0"},
    {"extra", "eventlog", eventLog, kind::checkBox, "0", "1"},
    {"extra", "monitor", monitor, kind::comboBox, "1", "2"},
    {"extra", "groupmessages", groupMessages, kind::checkBox, "1", "0"},
    {"extra", "actionmenu", actionMenu, kind::checkBox, "1", "0"},
};

std::string shownValue(const pageSession& s, const binding& b) {
    switch (b.type) {
    case kind::checkBox:
        return s.checked(b.id) ? "1" : "0";
    case kind::number:
    case kind::text:
        return s.text(b.id);
    case kind::comboBox:
        return std::to_string(s.selection(b.id));
    case kind::trackbar:
        return std::to_string(SendMessageA(s.item(b.id), TBM_GETPOS, 0, 0));
    }
    return "";
}

void change(const pageSession& s, const binding& b) {
    switch (b.type) {
    case kind::checkBox:
        s.check(b.id, b.changed[0] == '1');
        break;
    case kind::number:
    case kind::text:
        s.type(b.id, b.changed);
        break;
    case kind::comboBox:
        SendMessageA(s.item(b.id), CB_SETCURSEL, atoi(b.changed), 0);
        break;
    case kind::trackbar:
        SendMessageA(s.item(b.id), TBM_SETPOS, TRUE, atoi(b.changed));
        break;
    }
}

}  // namespace

TEST_CASE("the show event creates the page inside the host's area, and the record says who it is") {
    pageSession s("options-show");
    HWND page = s.page();
    REQUIRE(page);
    CHECK(GetParent(page) == s.options->window());
    CHECK(IsWindowVisible(page));
    CHECK(s.serviceCalls("Tlen/AddDialogHandle") == 1);

    RECT rect;
    GetWindowRect(page, &rect);
    MapWindowPoints(nullptr, s.options->window(), reinterpret_cast<POINT*>(&rect), 2);
    RECT area = s.options->area();
    CHECK(rect.left == area.left);
    CHECK(rect.top == area.top);
    CHECK(rect.right == area.right);
    CHECK(rect.bottom == area.bottom);

    const abi::options_page_event& event = s.options->lastEvent();
    CHECK(std::string(event.title) == "kiv");
    CHECK(std::string(event.description) == "konfiguracja");
    CHECK((event.flags & abi::optionsFlagBigIcon) != 0);
    BITMAP icon = {};
    REQUIRE(GetObjectA(event.iconBig, sizeof icon, &icon) == sizeof icon);
    CHECK(icon.bmWidth == 32);
    CHECK(icon.bmHeight == 32);

    // Hiding and showing again moves the same window; the host is not told of it twice.
    s.options->choose(0);
    CHECK_FALSE(IsWindowVisible(page));
    CHECK(std::string(s.options->lastEvent().title) == "kiv");
    s.options->choose(1);
    CHECK(s.page() == page);
    CHECK(IsWindowVisible(page));
    CHECK(s.serviceCalls("Tlen/AddDialogHandle") == 1);
}

TEST_CASE("every setting with a control goes from the file to its control, and back to the file on apply") {
    pageSession s("options-roundtrip", customSettings);
    for (const binding& b : bindings) {
        INFO(b.key);
        CHECK(shownValue(s, b) == b.fromFile);
    }
    CHECK(s.text(bindX) == "15");
    CHECK(s.text(bindY) == "25");
    CHECK(s.checked(bottomLeft));
    for (int id : {topLeft, topRight, bottomRight}) CHECK_FALSE(s.checked(id));
    // The four corners are one group: the arrow keys go round them and no further.
    CHECK(GetNextDlgGroupItem(s.page(), s.item(bottomRight), FALSE) == s.item(topLeft));
    CHECK(s.selectedText(schemeList) == "Ciemny");
    CHECK(s.items(effect) == std::vector<std::string>{"brak", "slide", "alpha"});
    CHECK(s.items(contactFormat) == std::vector<std::string>{"nazwa", "identyfikator", "nazwa (identyfikator)"});
    CHECK(SendMessageA(s.item(alpha), TBM_GETRANGEMIN, 0, 0) == 0);
    CHECK(SendMessageA(s.item(alpha), TBM_GETRANGEMAX, 0, 0) == 100);
    CHECK(IsWindowEnabled(s.item(alpha)));  // the host's system has layered windows
    CHECK(s.text(alphaLabel) == "35%");

    for (const binding& b : bindings) change(s, b);
    s.type(bindX, "30");
    s.type(bindY, "40");
    s.click(topLeft);
    REQUIRE(s.choose(schemeList, "Zaokrąglony"));
    s.options->apply();

    for (const binding& b : bindings) {
        INFO(b.key);
        CHECK(s.stored(b.section, b.key) == b.changed);
    }
    CHECK(s.stored("window", "bind") == "30,40");
    CHECK(s.stored("window", "bindpos") == "2");
    CHECK(s.stored("window", "scheme") == "rounded.kivs");
    CHECK(s.stored("general", "silent") == "0");
    CHECK(s.stored("hidden", "loginignoretime") == "<missing>");
}

TEST_CASE("applying stores numbers within their limits and keeps what is not a number") {
    pageSession s("options-limits", "[window]\r\nbindpos=7\r\nspace=7\r\nmaxonscreen=4\r\nvisibletime=9\r\n");
    CHECK(s.checked(topRight));  // any corner number beyond the four shows as top right
    RECT area = workArea();
    s.type(visibleTime, "150");
    s.type(bindX, std::to_string(area.right - area.left + 1));
    s.type(bindY, "4294967296");
    s.type(space, "");
    s.type(maxOnScreen, "12a");
    s.type(autoHeightChars, "600");
    s.type(autoHeightRows, "2147483648");
    s.type(idleHold, "3601");
    s.type(history, "99999999999");
    s.options->apply();
    CHECK(s.stored("window", "visibletime") == "99");
    CHECK(s.stored("window", "bind") ==
          std::to_string(area.right - area.left) + "," + std::to_string(area.bottom - area.top));
    CHECK(s.stored("window", "space") == "7");
    CHECK(s.stored("window", "maxonscreen") == "4");
    CHECK(s.stored("window", "autoheightchars") == "512");
    CHECK(s.stored("window", "autoheightrows") == "512");
    CHECK(s.stored("window", "bindpos") == "3");
    CHECK(s.stored("extra", "idlehold") == "3600");
    CHECK(s.stored("extra", "history") == "500");

    s.type(visibleTime, "099");
    s.type(space, std::to_string(area.bottom - area.top));
    s.type(maxOnScreen, "0");
    s.options->apply();
    CHECK(s.stored("window", "visibletime") == "99");
    CHECK(s.stored("window", "space") == std::to_string(area.bottom - area.top));
    CHECK(s.stored("window", "maxonscreen") == "0");
}

TEST_CASE("numbers written by hand past the page's limits stay as long as their fields are not changed") {
    pageSession kept("options-limits-kept", "[window]\r\nvisibletime=150\r\nmaxonscreen=300\r\n");
    CHECK(kept.text(visibleTime) == "150");
    kept.type(maxOnScreen, "300");
    kept.options->apply();
    CHECK(kept.stored("window", "visibletime") == "150");
    CHECK(kept.stored("window", "maxonscreen") == "300");
}

TEST_CASE("the quiet hours are typed as HH:MM; an impossible time is refused beside the fields and not stored") {
    pageSession s("options-quiet", "[extra]\r\nquietfrom=1320\r\nquietto=420\r\n");
    CHECK(s.text(quietFrom) == "22:00");
    CHECK(s.text(quietTo) == "07:00");
    CHECK_FALSE(IsWindowVisible(s.item(quietRefused)));
    struct typed {
        const char* text;
        const char* stored;  // null: refused, the setting kept
    };
    const typed cases[] = {{"7:30", "450"}, {"", "-1"},     {" 23:59 ", "1439"}, {"0:00", "0"},  {"24:00", nullptr},
                           {"12:60", nullptr}, {"7:5", nullptr}, {"ab:cd", nullptr}, {"1230", nullptr},
                           {"-1", nullptr},    {"7:30:00", nullptr}};
    for (const typed& t : cases) {
        INFO(t.text);
        const std::string before = s.stored("extra", "quietto");
        s.type(quietFrom, "21:15");
        s.type(quietTo, t.text);
        s.options->apply();
        CHECK(s.stored("extra", "quietfrom") == "1275");
        CHECK(s.stored("extra", "quietto") == (t.stored ? t.stored : before));
        CHECK(IsWindowVisible(s.item(quietRefused)) == !t.stored);
    }
    // Typing a time that can be takes the refusal away at once; the page shows the stored times.
    s.type(quietTo, "6:45");
    CHECK_FALSE(IsWindowVisible(s.item(quietRefused)));
    s.options->apply();
    s.close();
    s.open();
    CHECK(s.text(quietFrom) == "21:15");
    CHECK(s.text(quietTo) == "06:45");
}

TEST_CASE("a hot key held elsewhere is refused under its field and not stored; a free one works at once") {
    constexpr int ctrlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;
    // Another program's window holds Ctrl+Alt+X from before start-up.
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, 'X'));
    pageSession s("options-hotkeys", "[extra]\r\nhistory=10\r\nhotkeyclose=" + std::to_string(ctrlAlt | 'Z') +
                                         "\r\nhotkeyhistory=" + std::to_string(ctrlAlt | 'X') + "\r\n");
    CHECK(LOWORD(SendMessageA(s.item(hotKeyClose), HKM_GETHOTKEY, 0, 0)) == (ctrlAlt | 'Z'));
    CHECK(LOWORD(SendMessageA(s.item(hotKeyHistory), HKM_GETHOTKEY, 0, 0)) == (ctrlAlt | 'X'));
    CHECK_FALSE(IsWindowVisible(s.item(hotKeyCloseRefused)));
    CHECK(IsWindowVisible(s.item(hotKeyHistoryRefused)));
    CHECK(s.text(hotKeyHistoryRefused) == "zajęty przez inny program");
    // Both fields as the user left them at each apply; a refused key stays in its field and is tried
    // at each apply. Two keys swapped in one apply are both free for their new rows.
    struct choice {
        char close, history;        // with Ctrl+Alt; 0 is none
        const char* closeRefusal;   // null: hidden
        const char* historyRefusal;
        const char* stored;         // the close and the history key stored, each with Ctrl+Alt; - none
        const char* held;           // the keys the module holds, in alphabetical order
    };
    const choice choices[] = {
        {'Z', 'Z', nullptr, "zajęty przez drugi skrót", "ZX", "Z"},
        {'Q', 'Z', nullptr, nullptr, "QZ", "QZ"},
        {'X', 'Z', "zajęty przez inny program", nullptr, "QZ", "QZ"},
        {0, 'Z', nullptr, nullptr, "-Z", "Z"},
        {'Q', 'W', nullptr, nullptr, "QW", "QW"},
        {'W', 'Q', nullptr, nullptr, "WQ", "QW"},
    };
    auto storedKey = [&](const char* key) {
        const int value = atoi(s.stored("extra", key).c_str());
        return value ? static_cast<char>(value & 0xFF) : '-';
    };
    auto type = [&](int control, char key) {
        SendMessageA(s.item(control), HKM_SETHOTKEY, key ? static_cast<WPARAM>(ctrlAlt | key) : 0, 0);
    };
    for (const choice& c : choices) {
        INFO(std::string(c.stored));
        type(hotKeyClose, c.close);
        type(hotKeyHistory, c.history);
        s.options->apply();
        const std::pair<int, const char*> refusals[] = {{hotKeyCloseRefused, c.closeRefusal},
                                                        {hotKeyHistoryRefused, c.historyRefusal}};
        for (const auto& [id, refusal] : refusals) {
            CHECK(IsWindowVisible(s.item(id)) == (refusal != nullptr));
            if (refusal) CHECK(s.text(id) == refusal);
        }
        CHECK(std::string{storedKey("hotkeyclose"), storedKey("hotkeyhistory")} == c.stored);
        std::string held;
        for (const auto& k : kivhost::hotKeyRecorder::get().held()) held += static_cast<char>(k.key);
        std::sort(held.begin(), held.end());
        CHECK(held == c.held);
    }
    // A letter typed alone would be taken from whatever the user types anywhere: it gets Ctrl+Alt.
    SendMessageA(s.item(hotKeyHistory), WM_KEYDOWN, 'A', 0x001E0001);
    SendMessageA(s.item(hotKeyHistory), WM_KEYUP, 'A', 0xC01E0001);
    CHECK(LOWORD(SendMessageA(s.item(hotKeyHistory), HKM_GETHOTKEY, 0, 0)) == (ctrlAlt | 'A'));
    // The key stored last works without a restart.
    REQUIRE(kivhost::hotKeyRecorder::get().press(MOD_CONTROL | MOD_ALT, 'Q'));
    kivhost::pumpMessages(150);
    CHECK(FindWindowA(nullptr, "kiv / historia") != nullptr);
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
}

TEST_CASE("page events: apply keeps the page, close drops unsaved edits, OK applies and closes") {
    pageSession s("options-events", "[window]\r\nvisibletime=9\r\n");
    HWND page = s.page();
    s.type(visibleTime, "42");
    s.options->apply();
    CHECK(s.stored("window", "visibletime") == "42");
    CHECK(s.page() == page);
    CHECK(IsWindowVisible(page));

    s.type(visibleTime, "77");  // edits survive hiding
    s.options->choose(0);
    s.options->choose(1);
    CHECK(s.page() == page);
    CHECK(s.text(visibleTime) == "77");

    s.session.host.log.clear();
    s.options->cancel();
    CHECK_FALSE(IsWindow(page));
    CHECK(s.serviceCalls("Tlen/RemoveDialogHandle") == 1);
    CHECK(s.session.host.dialogHandles().empty());
    CHECK(s.stored("window", "visibletime") == "42");

    s.open();  // a new page starts from the settings
    REQUIRE(s.page());
    CHECK(s.text(visibleTime) == "42");
    s.type(visibleTime, "55");
    page = s.page();
    s.options->ok();
    CHECK(s.stored("window", "visibletime") == "55");
    CHECK_FALSE(IsWindow(page));
    CHECK(s.session.host.dialogHandles().empty());

    s.open();
    CHECK(s.text(visibleTime) == "55");
    s.close();
    s.session.unload();  // no page left to close; the settings are written once more
    CHECK(s.stored("window", "visibletime") == "55");
}

TEST_CASE("unloading with the page open closes it and tells the host") {
    pageSession s("options-unload");
    HWND page = s.page();
    s.session.host.log.clear();
    s.session.unload();
    CHECK_FALSE(IsWindow(page));
    CHECK(s.serviceCalls("Tlen/RemoveDialogHandle") == 1);
}

TEST_CASE("the transparency label follows the trackbar while it moves") {
    pageSession s("options-trackbar", "[window]\r\nalpha=35\r\n");
    HWND trackbar = s.item(alpha);
    SendMessageA(trackbar, WM_KEYDOWN, VK_RIGHT, 0);
    CHECK(SendMessageA(trackbar, TBM_GETPOS, 0, 0) == 36);
    CHECK(s.text(alphaLabel) == "36%");
    SendMessageA(trackbar, WM_KEYDOWN, VK_END, 0);
    CHECK(s.text(alphaLabel) == "100%");
    SendMessageA(trackbar, WM_KEYDOWN, VK_HOME, 0);
    CHECK(s.text(alphaLabel) == "0%");
}

namespace {

FARPROC WINAPI withoutLayeredWindows(HMODULE module, LPCSTR name) {
    if (HIWORD(name) && lstrcmpA(name, "SetLayeredWindowAttributes") == 0) return nullptr;
    return GetProcAddress(module, name);
}

}  // namespace

TEST_CASE("on a system without layered windows only the transparency trackbar is disabled") {
    kivSession session("options-no-layered", false);
    writeFile(session.settingsFile, "[window]\r\nalpha=40\r\n");
    REQUIRE(kivhost::patchImport(session.plugin->module(), "KERNEL32.dll", "GetProcAddress",
                                 reinterpret_cast<void*>(&withoutLayeredWindows)));
    session.start();
    kivhost::optionsWindow options(session.host);
    HWND page = options.pageWindow();
    REQUIRE(page);
    HWND trackbar = GetDlgItem(page, alpha);
    CHECK_FALSE(IsWindowEnabled(trackbar));
    CHECK(SendMessageA(trackbar, TBM_GETPOS, 0, 0) == 0);
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (c != trackbar) CHECK(IsWindowEnabled(c));
    char label[16] = "";
    GetDlgItemTextA(page, alphaLabel, label, sizeof label);
    CHECK(std::string(label) == "0%");
}

TEST_CASE("the sound rows play and clear their own path only") {
    pageSession s("options-sound-rows", customSettings);
    kivhost::soundRecorder::get().clear();
    s.click(playLoginGg);
    s.click(playLoginTlen);
    auto played = kivhost::soundRecorder::get().played;
    REQUIRE(played.size() == 2);
    CHECK(played[0].file == "D:\\gg.wav");
    CHECK(played[0].flags == 0x20003);
    CHECK(played[1].file == "C:\\dźwięki\\tlen.wav");

    s.click(clearLoginGg);
    CHECK(s.text(fileLoginGg).empty());
    CHECK(s.text(fileLoginTlen) == "C:\\dźwięki\\tlen.wav");
    CHECK(s.text(fileEmail) == "E:\\poczta.wav");
    s.click(clearEmail);
    s.click(clearLoginTlen);
    CHECK(s.text(fileEmail).empty());
    CHECK(s.text(fileLoginTlen).empty());
    CHECK(s.stored("sound", "fileemail") == "E:\\poczta.wav");  // only applying stores

    // A path longer than the setting holds is cut to 259 characters, played as stored.
    std::string longPath = "C:\\" + std::string(300, 'x') + ".wav";
    s.type(fileEmail, longPath);
    kivhost::soundRecorder::get().clear();
    s.click(playEmail);
    played = kivhost::soundRecorder::get().played;
    REQUIRE(played.size() == 1);
    CHECK(played[0].file == longPath.substr(0, 259));
    s.options->apply();
    CHECK(s.stored("sound", "fileemail") == longPath.substr(0, 259));
}

TEST_CASE("without a listed scheme to choose, applying keeps the scheme setting") {
    pageSession s("options-unlisted-scheme", "[window]\r\nscheme=nie-ma.kivs\r\n");
    CHECK(s.selection(schemeList) == CB_ERR);
    CHECK(s.items(schemeList).size() >= 3);
    s.options->apply();
    CHECK(s.stored("window", "scheme") == "nie-ma.kivs");
}

// ---- scrolling and painting ------------------------------------------------------------------

namespace {

struct scrollState {
    int position, page, maximum;
};

scrollState barOf(HWND page) {
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(page, SB_VERT, &bar);
    return {bar.nPos, static_cast<int>(bar.nPage), bar.nMax};
}

// Where a control sits in the page's client area, vertically.
int topOf(HWND page, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(page, id), &rect);
    POINT corner = {rect.left, rect.top};
    ScreenToClient(page, &corner);
    return corner.y;
}

kivhost::optionsWindow::layout viewOf(int height, COLORREF background = GetSysColor(COLOR_BTNFACE)) {
    kivhost::optionsWindow::layout look;
    look.areaHeight = height;
    look.background = background;
    return look;
}

}  // namespace

TEST_CASE("the page scrolls by bar, wheel and drag in steps of its view") {
    pageSession s("options-scroll", "", viewOf(300));
    HWND page = s.page();
    RECT template_ = {0, 0, 300, 866};
    MapDialogRect(page, &template_);
    scrollState bar = barOf(page);
    CHECK(bar.maximum == template_.bottom);  // the whole page, from its template
    CHECK(bar.page == 300);
    CHECK(bar.position == 0);
    int maxScroll = bar.maximum - 300;
    int top = topOf(page, showSilent);
    auto offset = [&] {
        int position = barOf(page).position;
        CHECK(top - topOf(page, showSilent) == position);
        return position;
    };

    SendMessageA(page, WM_VSCROLL, SB_LINEDOWN, 0);
    CHECK(offset() == 6);
    SendMessageA(page, WM_MOUSEWHEEL, MAKEWPARAM(0, -3 * WHEEL_DELTA), 0);
    CHECK(offset() == 26);
    SendMessageA(page, WM_VSCROLL, SB_PAGEDOWN, 0);
    CHECK(offset() == 326);
    SendMessageA(page, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 450), 0);
    CHECK(offset() == 450);
    SendMessageA(page, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, maxScroll - 5), 0);
    SendMessageA(page, WM_VSCROLL, SB_LINEDOWN, 0);
    CHECK(offset() == maxScroll);
    SendMessageA(page, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    CHECK(offset() == maxScroll);
    SendMessageA(page, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    CHECK(offset() == maxScroll - 20);

    // The hand: grab the background left of the group boxes and pull the page down.
    HCURSOR open = LoadCursorA(s.session.plugin->module(), "hand_open");
    HCURSOR closed = LoadCursorA(s.session.plugin->module(), "hand_close");
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 100));
    CHECK(GetCapture() == page);
    CHECK(GetCursor() == closed);
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 160));
    CHECK(offset() == maxScroll - 80);
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 2000));
    CHECK(offset() == 0);
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 1990));
    CHECK(offset() == 10);
    // Released below the page: the capture brought the message here all the same.
    SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(3, 0xFFF0));
    CHECK(GetCapture() == nullptr);
    CHECK(GetCursor() == open);
    SendMessageA(page, WM_MOUSEMOVE, 0, MAKELPARAM(3, 100));
    CHECK(offset() == 10);

    SendMessageA(page, WM_VSCROLL, SB_TOP, 0);  // not a step this page knows
    CHECK(offset() == 10);
    SendMessageA(page, WM_VSCROLL, SB_PAGEUP, 0);
    CHECK(offset() == 0);
    SendMessageA(page, WM_VSCROLL, SB_LINEUP, 0);
    SendMessageA(page, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    CHECK(offset() == 0);

    // The bar's own range ends a pixel past the last offset; a sent position can be anything.
    SendMessageA(page, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, maxScroll + 1), 0);
    CHECK(offset() == maxScroll);
    SendMessageA(page, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0xFFFF), 0);
    CHECK(offset() == maxScroll);

    // A drag ends when another window takes the capture, without a button-up.
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 100));
    SetCapture(s.options->window());
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 300));
    CHECK(offset() == maxScroll);
    ReleaseCapture();

    // A taller view keeps the content's end at the view's end; the steps follow the new view.
    RECT area = s.options->area();
    SetWindowPos(page, nullptr, 0, 0, area.right - area.left, 500, SWP_NOMOVE | SWP_NOZORDER);
    CHECK(barOf(page).page == 500);
    CHECK(offset() == bar.maximum - 500);
    SendMessageA(page, WM_VSCROLL, SB_LINEUP, 0);
    CHECK(offset() == bar.maximum - 510);

    // A view taller than the page: nothing moves, whatever the gesture.
    SetWindowPos(page, nullptr, 0, 0, area.right - area.left, bar.maximum + 50, SWP_NOMOVE | SWP_NOZORDER);
    CHECK(offset() == 0);
    SendMessageA(page, WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageA(page, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    SendMessageA(page, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 100));
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 10));
    SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(3, 10));
    CHECK(offset() == 0);
}

TEST_CASE("the open hand shows over the page's background, not over its controls") {
    pageSession s("options-cursor");
    HWND page = s.page();
    HCURSOR open = LoadCursorA(s.session.plugin->module(), "hand_open");
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    CHECK(SendMessageA(page, WM_SETCURSOR, reinterpret_cast<WPARAM>(page), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    CHECK(GetCursor() == open);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(page, WM_SETCURSOR, reinterpret_cast<WPARAM>(page), MAKELPARAM(HTVSCROLL, WM_MOUSEMOVE));
    CHECK(GetCursor() != open);
    SendMessageA(s.item(fileEmail), WM_SETCURSOR, reinterpret_cast<WPARAM>(s.item(fileEmail)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    CHECK(GetCursor() != open);
}

TEST_CASE("the page and its labels take the host's background colour; the brush goes with the page") {
    const COLORREF hostColour = RGB(12, 140, 200);
    pageSession s("options-paint", "", viewOf(420, hostColour));
    HWND page = s.page();

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, canvas);

    CHECK(SendMessageA(page, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0) != 0);
    CHECK(GetPixel(memory, 5, 5) == hostColour);

    HBRUSH brush = nullptr;
    for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
        SetTextColor(memory, RGB(1, 2, 3));
        auto answer = reinterpret_cast<HBRUSH>(
            SendMessageA(page, message, reinterpret_cast<WPARAM>(memory), reinterpret_cast<LPARAM>(s.item(showDesc))));
        REQUIRE(answer);
        LOGBRUSH look = {};
        GetObjectA(answer, sizeof look, &look);
        CHECK(look.lbColor == hostColour);
        CHECK(GetTextColor(memory) == RGB(0, 0, 0));
        CHECK(GetBkColor(memory) == hostColour);
        brush = answer;
    }
    SelectObject(memory, previous);
    DeleteObject(canvas);
    DeleteDC(memory);

    SendMessageA(page, WM_VSCROLL, SB_PAGEDOWN, 0);
    s.options->cancel();
    CHECK(GetObjectType(brush) == 0);

    // A page made again starts at the top, in the colour of the event that made it.
    s.close();
    s.open();
    CHECK(barOf(s.page()).position == 0);
}

// ---- schemes and samples ---------------------------------------------------------------------

namespace {

// A scheme body: 250 x 50 windows, small ones of the width given, and its title.
std::string titledScheme(const std::string& title, int smallWidth) {
    return "ver=2\r\nwindow_size=250,50\r\nwindow_sizesmall=" + std::to_string(smallWidth) + ",24\r\n[info]\r\ntitle=" +
           title + "\r\n";
}

int widthOf(HWND window) {
    RECT rect = kivhost::windowRect(window);
    return rect.right - rect.left;
}

}  // namespace

TEST_CASE("the samples show while notifications are switched off, with the saved settings") {
    pageSession s("options-preview", "[window]\r\nvisibletime=30\r\n");
    s.session.service("kiv/setsilent", 1);
    s.click(preview);
    waitForCount(1, 5000);
    auto shown = notifications();
    REQUIRE(shown.size() == 1);
    RECT big = kivhost::windowRect(shown[0]);

    s.type(visibleTime, "1");  // not applied: the samples do not see it
    s.click(previewSmall);
    waitForCount(2, 5000);
    shown = notifications();
    REQUIRE(shown.size() == 2);
    kivhost::pumpMessages(1500);
    CHECK(notifications().size() == 2);
    std::vector<int> heights;
    for (HWND w : shown) {
        RECT r = kivhost::windowRect(w);
        heights.push_back(r.bottom - r.top);
    }
    std::sort(heights.begin(), heights.end());
    CHECK(heights[0] == 24);  // the small window, for the sample without text
    CHECK(heights[1] == big.bottom - big.top);
    CHECK(heights[1] > 24);
}

TEST_CASE("choosing another scheme closes every window before the new scheme applies") {
    testScheme wide("kiv-test-szeroki.kivs", titledScheme("Szeroki test", 310));
    pageSession s("options-scheme-change", "[window]\r\nvisibletime=30\r\n");
    CHECK(s.selectedText(schemeList) == "Standardowy");

    s.click(previewSmall);
    REQUIRE(waitForCount(1, 5000));
    s.options->apply();  // the same scheme: nothing closes
    CHECK(notifications().size() == 1);

    REQUIRE(s.choose(schemeList, "Szeroki test"));
    s.options->apply();
    CHECK(notifications().empty());
    CHECK(s.stored("window", "scheme") == "kiv-test-szeroki.kivs");
    s.click(previewSmall);
    waitForCount(1, 5000);
    auto shown = notifications();
    REQUIRE(shown.size() == 1);
    CHECK(widthOf(shown[0]) == 310);
}

TEST_CASE("schemes with one title are told apart by their file names, and the one chosen is stored") {
    testScheme first("kivtest-moj-a.kivs", titledScheme("Mój", 300));
    testScheme second("kivtest-moj-b.kivs", titledScheme("mój", 320));  // the list does not tell case apart
    pageSession s("options-scheme-titles", "[window]\r\nvisibletime=30\r\n");
    const std::vector<std::string> shown = s.items(schemeList);
    CHECK(std::count(shown.begin(), shown.end(), "Standardowy") == 1);  // a title of its own stays as it is
    for (const testScheme* scheme : {&first, &second}) {
        const std::string entry = (scheme == &first ? "Mój (" : "mój (") + scheme->name + ")";
        CAPTURE(entry);
        REQUIRE(s.choose(schemeList, entry));
        s.options->apply();
        CHECK(s.stored("window", "scheme") == scheme->name);
        s.close();
        s.open();
        CHECK(s.selectedText(schemeList) == entry);
    }
}

TEST_CASE("odśwież closes every window and reads the scheme of the setting again, not the list's choice") {
    testScheme edited("kiv-test-odswiez.kivs", titledScheme("Odświeżany", 280));
    pageSession s("options-reload", "[window]\r\nvisibletime=30\r\nscheme=kiv-test-odswiez.kivs\r\n");
    s.click(previewSmall);
    waitForCount(1, 5000);
    auto shown = notifications();
    REQUIRE(shown.size() == 1);
    CHECK(widthOf(shown[0]) == 280);

    edited.write(titledScheme("Odświeżany", 330));
    REQUIRE(s.choose(schemeList, "Ciemny"));
    s.click(reloadScheme);
    CHECK(notifications().empty());
    s.click(previewSmall);
    waitForCount(1, 5000);
    shown = notifications();
    REQUIRE(shown.size() == 1);
    CHECK(widthOf(shown[0]) == 330);
    CHECK(s.stored("window", "scheme") == "kiv-test-odswiez.kivs");
}

TEST_CASE("the dark theme's scheme: chosen under the scheme, saved, and taken by the next window while programs are dark") {
    testScheme jasny("kiv-test-jasny.kivs", titledScheme("Jasny test", 280));
    testScheme ciemny("kiv-test-ciemny.kivs", titledScheme("Ciemny test", 340));
    kivhost::programsTheme theme;
    theme.remove();  // a system older than the dark theme
    pageSession s("options-dark-scheme", "[window]\r\nvisibletime=60\r\nscheme=kiv-test-jasny.kivs\r\n");
    std::vector<std::string> offered = s.items(schemeList);
    offered.insert(offered.begin(), "(ten sam)");
    CHECK(s.items(darkScheme) == offered);
    CHECK(s.selection(darkScheme) == 0);

    // Each step: the theme of programs, the dark list's choice, then the sample's width and what is stored.
    enum class themeValue { none, light, dark };
    struct step {
        themeValue value;
        const char* chosen;
        int width;
        const char* stored;
    };
    const step steps[] = {
        {themeValue::dark, "(ten sam)", 280, ""},
        {themeValue::dark, "Ciemny test", 340, "kiv-test-ciemny.kivs"},
        {themeValue::light, "Ciemny test", 280, "kiv-test-ciemny.kivs"},
        {themeValue::none, "Ciemny test", 280, "kiv-test-ciemny.kivs"},
        {themeValue::dark, "Ciemny test", 340, "kiv-test-ciemny.kivs"},
        {themeValue::dark, "(ten sam)", 280, ""},
    };
    for (const step& at : steps) {
        CAPTURE(at.chosen);
        CAPTURE(static_cast<int>(at.value));
        if (at.value == themeValue::none)
            theme.remove();
        else
            theme.set(at.value == themeValue::dark);
        REQUIRE(s.choose(darkScheme, at.chosen));
        s.options->apply();
        CHECK(s.stored("extra", "darkscheme") == at.stored);
        const std::vector<HWND> before = notifications();
        s.click(previewSmall);
        HWND sample = windowAfter(before);
        REQUIRE(sample);
        CHECK(widthOf(sample) == at.width);
    }
}

// ---- the dialogs the page opens --------------------------------------------------------------

namespace {

const char* const soundFilters =
    "[global]\r\nwindow_inherit=0\r\nsound_inherit=0\r\nsound_fileonline=C:\\stare\\online.wav\r\n"
    "sound_filemessage=\r\n"
    "[contact:ola]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_fileoffline=D:/inne/wyszla.wav\r\n";

}  // namespace

TEST_CASE("Filtry globalne runs the filter dialog of the global filter until it closes") {
    pageSession s("options-global-filter");
    dialogGuard guard;
    kivhost::dialogWatcher watcher("Ustawienia powiadomień",
                                   [](HWND dialog) { kivhost::dialogWatcher::press(dialog, IDCANCEL); });
    s.click(globalFilter);
    CHECK_FALSE(guard.fired());
    auto seen = watcher.seen();
    REQUIRE(seen.size() == 1);  // closed again before the click returned
    CHECK(seen[0].caption == "Ustawienia powiadomień: globalne");
    CHECK(IsWindow(s.page()));
}

TEST_CASE("the browse button of a sound row puts the chosen file into that row") {
    pageSession s("options-browse", customSettings);
    std::string wav = scratchFolder("options-browse-sounds") + "poczta.wav";
    writeFile(wav, "RIFF");
    dialogGuard guard;
    auto opener = answerOpenFile(wav);
    s.click(browseEmail);
    CHECK_FALSE(guard.fired());
    CHECK(sameText(s.text(fileEmail), wav));
    CHECK(s.text(fileLoginTlen) == "C:\\dźwięki\\tlen.wav");
    CHECK(s.stored("sound", "fileemail") == "E:\\poczta.wav");  // only applying stores
}

TEST_CASE("Zmień wszystkie ścieżki moves every filter's sounds into the folder after a yes") {
    pageSession s("options-move-sounds", customSettings, kivhost::optionsWindow::layout(), soundFilters);
    std::string folder = scratchFolder("options-move-sounds-target");
    folder.pop_back();

    SUBCASE("yes: moved and saved at once") {
        dialogGuard guard;
        auto browser = answerFolder(folder);
        kivhost::dialogWatcher question("Pytanie", [](HWND box) { kivhost::dialogWatcher::press(box, IDYES); });
        s.click(moveSounds);
        CHECK_FALSE(guard.fired());
        auto asked = question.seen();
        REQUIRE(asked.size() == 1);
        CHECK(asked[0].message == "Czy zamienić wszystkie ścieżki w filtrach? Operacji nie będzie można cofnąć!");
        CHECK(sameText(iniValue(s.session.filtersFile, "global", "sound_fileonline"), folder + "\\online.wav"));
        CHECK(iniValue(s.session.filtersFile, "global", "sound_filemessage") == "");
        CHECK(sameText(iniValue(s.session.filtersFile, "contact:ola", "sound_fileoffline"), folder + "\\wyszla.wav"));
    }
    SUBCASE("no: nothing changes") {
        dialogGuard guard;
        auto browser = answerFolder(folder);
        kivhost::dialogWatcher question("Pytanie", [](HWND box) { kivhost::dialogWatcher::press(box, IDNO); });
        s.click(moveSounds);
        CHECK_FALSE(guard.fired());
        CHECK(question.seen().size() == 1);
        CHECK(iniValue(s.session.filtersFile, "global", "sound_fileonline") == "C:\\stare\\online.wav");
        CHECK(iniValue(s.session.filtersFile, "contact:ola", "sound_fileoffline") == "D:/inne/wyszla.wav");
    }
    // The page's own sounds are settings, not filters.
    CHECK(s.text(fileLoginTlen) == "C:\\dźwięki\\tlen.wav");
    CHECK(s.text(fileEmail) == "E:\\poczta.wav");
}

TEST_CASE("a page destroyed with the host's window is forgotten, and the next show makes a new one") {
    pageSession s("options-parent-gone");
    HWND page = s.page();
    s.session.host.log.clear();
    DestroyWindow(s.options->window());  // no close event first
    CHECK_FALSE(IsWindow(page));
    CHECK(s.serviceCalls("Tlen/RemoveDialogHandle") == 1);
    CHECK(s.session.host.dialogHandles().empty());
    s.open();
    REQUIRE(s.page());
    CHECK(IsWindowVisible(s.page()));
    CHECK(s.session.host.dialogHandles().size() == 1);
}

TEST_CASE("pages opened, scrolled, applied and closed leave the module's objects as they were") {
    kivhost::objectTracker& tracker = kivhost::objectTracker::get();
    const size_t beforeLoad = tracker.liveCount();
    {
        pageSession s("options-leaks", customSettings);
        s.close();
        const size_t loaded = tracker.liveCount();
        for (int round = 0; round < 5; ++round) {
            s.open();
            SendMessageA(s.page(), WM_VSCROLL, SB_PAGEDOWN, 0);
            SendMessageA(s.page(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 100));
            SendMessageA(s.page(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 40));
            SendMessageA(s.page(), WM_LBUTTONUP, 0, MAKELPARAM(3, 40));
            RedrawWindow(s.options->window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            s.options->choose(0);
            s.options->choose(1);
            s.options->apply();
            if (round % 2) s.options->ok();
            s.close();
            CHECK_MESSAGE(tracker.liveCount() == loaded, tracker.summary());
        }
        s.open();  // left open: unloading closes it
    }
    CHECK_MESSAGE(tracker.liveCount() == beforeLoad, tracker.summary());
}
