// The menu a right click opens on a notification (actionmenu=1): its items for each kind of
// notification and what each choice does, through the built plug-in, the platform's popup menu
// answered with the keyboard, and the files read back.
#include <doctest.h>

#include <functional>

#include "dialogDriving.h"
#include "historySupport.h"
#include "menuWatcher.h"
#include "optionsWindow.h"
#include "notifySupport.h"
#include "popupMenus.h"

using namespace kivtest;

namespace {

using strings = std::vector<std::string>;

// Ala and Ola have the same sounds of their own; Olek and Ewa take everything from the global
// filter. Each pair lets a choice in the menu be compared with the filter dialog's work.
const char* const menuFilters =
    "[global]\r\nwindow_inherit=0\r\nwindow_status_online=1\r\nwindow_status_offline=1\r\nwindow_onlineonly=0\r\n"
    "window_descchange=1\r\nwindow_eventmessage=1\r\nwindow_eventmessagechat=1\r\nsound_inherit=0\r\n"
    "[contact:ala@tlen.pl]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_filemessage=C:\\ala.wav\r\n"
    "[contact:ola@tlen.pl]\r\nwindow_inherit=1\r\nsound_inherit=0\r\nsound_filemessage=C:\\ala.wav\r\n";

const char* const silenceItem = "Wycisz kiv na godzinę";
constexpr DWORD anHour = 60 * 60 * 1000;

struct menuScene {
    kivSession session;

    menuScene(const std::string& name, const std::string& extra, const std::string& windowKeys = "visibletime=30\r\n")
        : session(name, false) {
        kivhost::contactList& contacts = session.host.contacts;
        contacts.clear();
        int work = contacts.addGroup("Praca");
        contacts.addContact("ala@tlen.pl", "Ala", work, "TLEN");
        contacts.addContact("ola@tlen.pl", "Ola", work, "TLEN");
        contacts.addContact("12345", "Olek", work, "GG");
        contacts.addContact("54321", "Ewa", work, "GG");
        writeFile(session.settingsFile, withExtra("actionmenu=1\r\n" + extra, "clickclose=1\r\n" + windowKeys));
        writeFile(session.filtersFile, menuFilters);
        freezeClock();
        session.start();
        moveClock(60000);  // past the quiet period of start-up
    }
    ~menuScene() {
        session.unload();
        session.host.contacts.clear();
        kivhost::moduleClock::get().reset();
    }

    // The window the event brings up, or null when none comes.
    static HWND shownBy(const std::function<void()>& raise) {
        const std::vector<HWND> before = notifications();
        raise();
        return windowAfter(before);
    }

    // A right click on the window: the items of the menu it opened (none when it opened none),
    // answered by choosing the item of that text, or with Escape.
    static std::string rightClick(HWND window, const std::string& choice = "",
                                  kivhost::menuWatcher::look whileOpen = nullptr) {
        kivhost::menuWatcher watcher(choice, std::move(whileOpen));
        SendMessageA(window, WM_RBUTTONUP, 0, 0);
        std::string items;
        for (const strings& menu : watcher.seen())
            for (const std::string& item : menu) items += item + "|";
        return items;
    }

    // Every window closed with a left click (clickclose=1).
    static void clearScreen() {
        for (HWND w : notifications()) SendMessageA(w, WM_LBUTTONUP, 0, 0);
        waitForCount(0);
    }

    int silentFlags() const {
        const kivhost::menuItem* item = session.host.findMenuItem("kiv/menu/silent");
        return item ? item->flags : -1;
    }
};

void statusOf(const char* protocol, const char* id, int from, int to, const char* descFrom = nullptr,
              const char* descTo = nullptr) {
    kivhost::raiseStatusChange(change(protocol, id, from, to, descFrom, descTo));
}

// A contact's section as the platform reads it back from the filter file.
std::string section(const std::string& file, const std::string& name) {
    char text[4096] = "";
    DWORD length = GetPrivateProfileSectionA(name.c_str(), text, sizeof text, file.c_str());
    return std::string(text, length);
}

}  // namespace

TEST_CASE("a right click opens the notification's own menu, and the notification stays") {
    menuScene scene("action-menu-items", "history=50\r\n");
    const std::string general = "Wycisz kiv na godzinę|Zamknij wszystkie|Historia...|";
    auto contactItems = [&](const std::string& hide) {
        return "Otwórz rozmowę|Nie pokazuj więcej: " + hide + "|Ignoruj do końca sesji|-|" + general;
    };
    struct row {
        const char* what;
        std::function<void()> raise;
        std::string items;
    } rows[] = {
        {"status", [] { statusOf("TLEN", "ala@tlen.pl", 1, 2); }, contactItems("„Dostępny” od Ala")},
        {"invisible", [] { statusOf("GG", "12345", 2, 7); }, contactItems("„Niedostępny” od Olek")},
        {"description", [] { statusOf("GG", "12345", 2, 2, "w pracy", "w domu"); }, contactItems("zmiany opisu od Olek")},
        {"message", [] { kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć"); }, contactItems("wiadomości od Ala")},
        {"chat", [] { kivhost::raiseMessage("GG", "12345", 4, "Hej"); }, contactItems("wiadomości z czatu od Olek")},
        {"another plug-in", [&] { popup(scene.session, popupRequest{}); }, general},
    };
    for (const row& r : rows) {
        INFO(std::string(r.what));
        HWND shown = menuScene::shownBy(r.raise);
        REQUIRE(shown);
        clickLog::clicks.clear();
        CHECK(menuScene::rightClick(shown) == r.items);
        CHECK(IsWindow(shown));  // clickclose is the left button's
        kivhost::pumpMessages(300);
        CHECK(notifications() == std::vector<HWND>{shown});
        menuScene::clearScreen();
    }
    // The caller's callback still hears the right click first.
    auto rightClicks = [](const clickSeen& c) { return c.button == 2; };
    CHECK(std::count_if(clickLog::clicks.begin(), clickLog::clicks.end(), rightClicks) == 1);
}

TEST_CASE("hiding a kind of notification from a contact stores what the filter dialog stores; ignoring hides all") {
    struct row {
        const char* what;
        std::function<void()> raise;  // the event, again after the choice
        std::string choice;
        std::function<void()> other;  // another event of the same contact
        bool otherShown;
        std::string contact;
        kivhost::menuEntry twin;  // a contact set up as this one, given the same through the filter dialog
        int dialogBox;            // the dialog's box for what the menu hid; 0: no twin
    } rows[] = {
        {"status", [] { statusOf("TLEN", "ala@tlen.pl", 1, 2); }, "Nie pokazuj więcej: „Dostępny” od Ala",
         [] { kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć"); }, true, "ala@tlen.pl", {"ola@tlen.pl", "TLEN"},
         1000},
        {"message", [] { kivhost::raiseMessage("GG", "12345", 2, "Cześć"); }, "Nie pokazuj więcej: wiadomości od Olek",
         [] { statusOf("GG", "12345", 2, 1); }, true, "12345", {"54321", "GG"}, 1019},
        {"ignore", [] { kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć"); }, "Ignoruj do końca sesji",
         [] { statusOf("TLEN", "ala@tlen.pl", 1, 2); }, false, "ala@tlen.pl", {}, 0},
    };
    for (const row& r : rows) {
        INFO(std::string(r.what));
        menuScene scene(std::string("action-menu-hide-") + r.what, "");
        const std::string before = readFile(scene.session.filtersFile);
        HWND shown = menuScene::shownBy(r.raise);
        REQUIRE(shown);
        CHECK(menuScene::rightClick(shown, r.choice).find(r.choice + "|") != std::string::npos);
        menuScene::clearScreen();

        CHECK_FALSE(menuScene::shownBy(r.raise));
        CHECK((menuScene::shownBy(r.other) != nullptr) == r.otherShown);
        menuScene::clearScreen();
        const std::string& file = scene.session.filtersFile;
        if (!r.dialogBox) {
            CHECK(readFile(file) == before);  // the ignore list is not stored
            continue;
        }
        dialogGuard guard;
        kivhost::dialogWatcher watcher("Ustawienia powiadomień", [&](HWND dialog) {
            setCheck(dialog, 1027, false);
            setCheck(dialog, r.dialogBox, false);
            kivhost::dialogWatcher::press(dialog, IDOK);
        });
        CHECK(kivhost::choose("Tlen/CL/Element", {r.twin}, "kiv/menu/contact/setup"));
        const std::string own = section(file, "contact:" + r.contact);
        CHECK(own.find("window_inherit=0") != std::string::npos);
        CHECK(own == section(file, "contact:" + r.twin.id));
    }
}

TEST_CASE("an hour of silence ends by itself unless the user switched silent meanwhile") {
    struct row {
        const char* what;
        std::function<void(menuScene&)> meanwhile;
        int silentAfter;
    } rows[] = {
        {"nothing", [](menuScene&) {}, 0},
        {"status menu twice", [](menuScene&) {
             kivhost::choose(statusMenu, {}, "kiv/menu/silent");
             kivhost::choose(statusMenu, {}, "kiv/menu/silent");
         }, 1},
        {"setsilent", [](menuScene& s) { s.session.service("kiv/setsilent", 1); }, 1},
    };
    for (const row& r : rows) {
        INFO(std::string(r.what));
        menuScene scene(std::string("action-menu-silence-") + r.what, "");
        HWND shown = menuScene::shownBy([&] { popup(scene.session, popupRequest{}); });
        REQUIRE(shown);
        CHECK(menuScene::rightClick(shown, silenceItem) == "Wycisz kiv na godzinę|Zamknij wszystkie|");
        CHECK(scene.session.service("kiv/getsilent") == 1);
        CHECK(scene.silentFlags() == 10);
        menuScene::clearScreen();
        CHECK_FALSE(menuScene::shownBy([] { kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć"); }));

        r.meanwhile(scene);
        moveClock(anHour - 60000);
        kivhost::pumpMessages(1300);
        CHECK(scene.session.service("kiv/getsilent") == 1);
        moveClock(60000);
        kivhost::pumpMessages(1300);
        CHECK(scene.session.service("kiv/getsilent") == r.silentAfter);
        CHECK(scene.silentFlags() == (r.silentAfter ? 10 : 8));
    }
    // Whatever saves the settings within the hour, the silence is not saved as a lasting one.
    const struct {
        const char* what;
        std::function<void(menuScene&)> save;
    } saves[] = {
        {"unload", [](menuScene& s) { s.session.unload(); }},
        {"options apply", [](menuScene& s) {
             kivhost::optionsWindow options(s.session.host);
             options.apply();
         }},
    };
    for (const auto& r : saves) {
        INFO(std::string(r.what));
        menuScene scene(std::string("action-menu-silence-") + r.what, "");
        HWND shown = menuScene::shownBy([&] { popup(scene.session, popupRequest{}); });
        REQUIRE(shown);
        menuScene::rightClick(shown, silenceItem);
        r.save(scene);
        CHECK(iniValue(scene.session.settingsFile, "general", "silent") == "0");
    }
}

TEST_CASE("the chat from the menu; the notification waits while its menu is open") {
    menuScene scene("action-menu-general", "history=50\r\n", "visibletime=2\r\nmaxonscreen=2\r\n");
    SUBCASE("the notification outlives its time while the menu is open, then has its whole time again") {
        HWND shown = menuScene::shownBy([&] { popup(scene.session, popupRequest{}); });
        REQUIRE(shown);
        bool openAfterItsTime = false;
        menuScene::rightClick(shown, "", [&](HWND) {
            moveClock(5000);
            Sleep(400);  // several ticks of the manager run in the menu's loop
            openAfterItsTime = IsWindow(shown) && IsWindowVisible(shown);
        });
        CHECK(openAfterItsTime);
        kivhost::pumpMessages(300);
        CHECK(IsWindow(shown));
        moveClock(2100);
        CHECK(waitForCount(0));
    }
    SUBCASE("its caller's close while the menu is open comes once the menu is gone") {
        const int id = showPopup(scene.session, popupRequest{});
        REQUIRE(waitForCount(1));
        HWND shown = notifications()[0];
        bool openAfterClose = false;
        menuScene::rightClick(shown, "", [&](HWND) {
            closePopup(scene.session, id);  // from another thread, carried out at a tick in the menu's loop
            Sleep(400);
            openAfterClose = IsWindow(shown) && IsWindowVisible(shown);
        });
        CHECK(openAfterClose);
        CHECK(waitForCount(0));
    }
    SUBCASE("the chat") {
        HWND shown = menuScene::shownBy([] { kivhost::raiseMessage("TLEN", "ala@tlen.pl", 2, "Cześć"); });
        REQUIRE(shown);
        scene.session.host.chatRequests().clear();
        CHECK(menuScene::rightClick(shown, "Otwórz rozmowę").find("Otwórz rozmowę") == 0);
        REQUIRE(scene.session.host.chatRequests().size() == 1);
        CHECK(scene.session.host.chatRequests()[0].contactId == "ala@tlen.pl");
    }
}

TEST_CASE("a notification's own buttons come first in its menu; choosing one is a click on the button") {
    menuScene scene("action-menu-buttons", "");
    const std::string items = "Otwórz|Pokaż && usuń|-|Wycisz kiv na godzinę|Zamknij wszystkie|";
    struct {
        const char* what;
        bool keepOpen;
        std::string choice;
        int button;
    } rows[] = {
        {"closes", false, "Pokaż && usuń", kiv::popupActionButton + 2},
        {"kept open", true, "Otwórz", kiv::popupActionButton + 1},
    };
    for (const auto& r : rows) {
        INFO(std::string(r.what));
        const kiv::popup_options3 options = options3(-1, {u8"Otwórz", u8"Pokaż & usuń"}, r.keepOpen, kiv::popupUtf8);
        HWND shown = menuScene::shownBy([&] { showPopup(scene.session, popupRequest{}, &options); });
        REQUIRE(shown);
        clickLog::clicks.clear();
        CHECK(menuScene::rightClick(shown, r.choice) == items);
        kivhost::pumpMessages(100);
        std::vector<int> heard;
        for (const clickSeen& c : clickLog::clicks) heard.push_back(c.button);
        CHECK(heard == std::vector<int>{2, r.button});  // the right click first, as on any notification
        CHECK(bool(IsWindow(shown)) == r.keepOpen);
        menuScene::clearScreen();
    }
}
