// kiv/popup as other plug-ins call it: the suppression gate, a real caller plug-in, and what
// hundreds of windows leave behind.
#include <doctest.h>

#include "notifySupport.h"
#include "objectTracker.h"
#include "workerThreads.h"

using namespace kivtest;

TEST_CASE("kiv/popup obeys the silent switch and full-screen suppression") {
    testScheme scheme("kivtest-plain.kivs", plainScheme);
    SUBCASE("silent") {
        notifySession session("popup-silent", settingsWith(scheme.name, ""));
        session.service("kiv/setsilent", 1);
        CHECK(popup(session, {}) == -1);
        session.service("kiv/setsilent", 0);
        CHECK(popup(session, {}) == 0);
        CHECK(waitForCount(1));
    }
    SUBCASE("a full-screen application in front, fullscreenautooff on") {
        notifySession session("popup-fullscreen", "[window]\r\nscheme=" + scheme.name + "\r\n");
        fullScreenApp game;
        REQUIRE(GetForegroundWindow() == game.get());
        CHECK(popup(session, {}) == -1);
        kivhost::pumpMessages(250);
        CHECK(notifications().empty());
    }
    SUBCASE("the same with fullscreenautooff off") {
        notifySession session("popup-fullscreen-off", settingsWith(scheme.name, ""));
        fullScreenApp game;
        CHECK(popup(session, {}) == 0);
        CHECK(waitForCount(1));
    }
}

TEST_CASE("another plug-in shows its notification through kiv/popup and hears about the clicks") {
    testScheme scheme("kivtest-plain.kivs", plainScheme + actionColours::keys());
    notifySession session("popup-example", settingsWith(scheme.name, ""));
    kivhost::pluginLoader example(pluginsFolder() + "popupExample.tpl");
    REQUIRE_MESSAGE(example.loaded(), example.error());
    REQUIRE(example.info(kiv::abi::minimumHostVersion));
    example.load();

    CHECK(session.service("popupExample/show", reinterpret_cast<WPARAM>("Nowa wiadomość")) == 0);
    REQUIRE(waitForCount(1));
    HWND shown = notifications()[0];
    CHECK(kivhost::windowRect(shown).bottom - kivhost::windowRect(shown).top == 50);
    SendMessageA(shown, WM_RBUTTONUP, 0, 0);
    CHECK(session.service("popupExample/clicks") == 1);
    CHECK(session.service("popupExample/lastButton") == 2);

    CHECK(session.service("popupExample/show", 0) == 0);  // no text: the small window
    REQUIRE(waitForCount(2));

    session.service("kiv/setsilent", 1);
    CHECK(session.service("popupExample/show", reinterpret_cast<WPARAM>("cisza")) == -1);
    session.service("kiv/setsilent", 0);

    // A download in one UTF-8 notification with a bar and two buttons, the bar moved from the
    // download's own thread. The example keeps it open while it runs and closes it once the user
    // chose a button, or once the download is done.
    const std::string title = u8"Pobieranie «Фото.zip»";
    for (int button : {1, 2, 0}) {  // 0: no button, the download is done
        CAPTURE(button);
        const std::vector<HWND> before = notifications();
        REQUIRE(session.service("popupExample/download/start") > 0);
        HWND download = windowAfter(before);
        REQUIRE(download);
        CHECK(paintOf(download).texts == std::vector<std::string>{title + " (przyklad)", "4,2 MB z przyklad.pl",
                                                                  u8"Otwórz", u8"Pokaż w folderze"});
        int moved = -2;
        {
            workerThreads worker;
            worker.start([&moved] { moved = callFromPlugin("popupExample/download/progress", 40); });
            REQUIRE(worker.finish(1500));
        }
        CHECK(moved == 0);
        const std::vector<RECT> buttons = buttonsOf(download);
        REQUIRE(buttons.size() == 2);
        if (button) {
            mouseAt(download, WM_LBUTTONUP, centre(buttons[static_cast<size_t>(button - 1)]));
            CHECK(session.service("popupExample/lastButton") == kiv::popupActionButton + button);
        } else {
            CHECK(session.service("popupExample/download/done") == 0);
        }
        CHECK(waitForCount(before.size()));
        CHECK(session.service("popupExample/download/progress", 60) == -1);
    }

    // The mail check reports from its own thread; the example closes its notification as it unloads.
    const size_t beforeMail = notifications().size();
    CHECK(session.service("popupExample/mailcheck") == 0);
    REQUIRE(waitForCount(beforeMail + 1));
    const auto mailCounted = [] {
        for (HWND w : notifications())
            if (paintOf(w).texts == std::vector<std::string>{"Poczta (poczta)", "Nowe wiadomości: 3"}) return true;
        return false;
    };
    CHECK(kivhost::pumpUntil(mailCounted, 1500));
    example.unload();
    CHECK(waitForCount(beforeMail));
}

TEST_CASE("200 notifications shown and closed leave the module's objects as they were") {
    kivhost::objectTracker& tracker = kivhost::objectTracker::get();
    const size_t beforeLoad = tracker.liveCount();
    {
        // The shipped scheme: skin bitmaps, composed pictures and shaped windows.
        notifySession session("leaks", settingsWith("standard.kivs", lines({"visibletime=5"})));
        kivhost::contactList& contacts = session.host.contacts;
        int ala = contacts.addContact("ala", "Ala", 0, "TLEN");
        contacts.setIconIndex(ala, 1);
        const size_t loaded = tracker.liveCount();
        freezeClock();
        int sent = 0;
        for (int round = 0; round < 4; ++round) {
            for (int i = 0; i < 50; ++i, ++sent) {
                popupRequest request;
                request.iconName = sent % 2 ? "message" : "";
                request.itemHandle = ala;
                request.text = sent % 3 ? "Ala ma kota, a kot ma Alę; opis na dwie linie albo i trzy." : "";
                REQUIRE(popup(session, request) == 0);
            }
            // A screenful at a time; the rest wait for room and come as the windows before them go.
            size_t seen = 0;
            for (std::vector<HWND> screen = steady(); !screen.empty(); screen = steady()) {
                seen += screen.size();
                for (HWND shown : screen) repaint(shown);
                CHECK(tracker.liveCount() > loaded);
                moveClock(5000);
                kivhost::pumpUntil([&] { return notifications() != screen; }, 1500);
            }
            CHECK(seen == 50);
            kivhost::pumpMessages(50);
            CHECK_MESSAGE(tracker.liveCount() == loaded, tracker.summary());
        }
        CHECK(sent == 200);
        contacts.clear();
    }
    CHECK_MESSAGE(tracker.liveCount() == beforeLoad, tracker.summary());
}
