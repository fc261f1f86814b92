// groupmessages: a further message of a conversation whose window is still shown goes into that
// window, which counts the messages, shows the latest text and is sized again.
#include <doctest.h>

#include "notifySupport.h"

using namespace kivtest;

namespace {

const char* everyMessage =
    "[global]\r\nwindow_inherit=0\r\nwindow_onlineonly=0\r\nwindow_eventmessage=1\r\nwindow_eventmessagechat=1\r\n";

// Three contacts, messages let through, the clock past the quiet period of the log-in.
struct messageScene {
    testScheme scheme{"kivtest-growing.kivs", "window_autoheight=1\r\n"};
    kivSession session;

    messageScene(const std::string& name, const std::string& windowKeys, bool grouping) : session(name, false) {
        kivhost::contactList& contacts = session.host.contacts;
        contacts.clear();
        const int friends = contacts.addGroup("Znajomi");
        contacts.addContact("ala@tlen.pl", "Ala", friends, "TLEN");
        contacts.addContact("ewa@tlen.pl", "Ewa", friends, "TLEN");
        contacts.addContact("12345", "Olek", friends, "GG");
        writeFile(session.settingsFile, settingsWith(scheme.name, windowKeys,
                                                     std::string("[extra]\r\ngroupmessages=") + (grouping ? "1" : "0") +
                                                         "\r\n"));
        writeFile(session.filtersFile, everyMessage);
        session.start();
        kivhost::moduleClock::get().advance(60000);
    }
    ~messageScene() { session.host.contacts.clear(); }
};

void message(const char* id, const std::string& text, bool chat = false) {
    kivhost::raiseMessage(id[0] == '1' ? "GG" : "TLEN", id, chat ? 4 : 2, text.c_str());
}

int heightOf(HWND window) {
    RECT r = kivhost::windowRect(window);
    return r.bottom - r.top;
}

}  // namespace

TEST_CASE("a burst of 20 messages from one person: one window with (20), the last text, grown to it") {
    messageScene scene("group-burst", "", true);
    message("ala@tlen.pl", "krótko");
    std::vector<HWND> shown = settle(1);
    REQUIRE(shown.size() == 1);
    const int shortHeight = heightOf(shown[0]);
    for (int i = 2; i <= 19; ++i) message("ala@tlen.pl", "wiadomość " + std::to_string(i));
    const std::string last = "Ostatnia wiadomość jest długa: dwie albo trzy linie, żeby okno urosło do niej.";
    message("ala@tlen.pl", last);
    shown = settle(1);
    REQUIRE(shown.size() == 1);
    CHECK(paintOf(shown[0]).texts == std::vector<std::string>{"Ala (ala@tlen.pl) (20)", last});
    CHECK(heightOf(shown[0]) > shortHeight);
    CHECK(kivhost::windowRect(shown[0]).bottom == workArea().bottom - 2);  // it grew upwards, from the corner
}

TEST_CASE("the same burst before the first window is up folds into the waiting request") {
    messageScene scene("group-queued", "", true);
    for (int i = 1; i <= 20; ++i) message("ala@tlen.pl", "wiadomość " + std::to_string(i));
    std::vector<HWND> shown = settle(1);
    REQUIRE(shown.size() == 1);
    CHECK(paintOf(shown[0]).texts == std::vector<std::string>{"Ala (ala@tlen.pl) (20)", "wiadomość 20"});
}

TEST_CASE("two people, or a chat message and a message of one person, make windows of their own") {
    messageScene scene("group-apart", "", true);
    message("ala@tlen.pl", "od Ali");
    message("ewa@tlen.pl", "od Ewy");
    message("ala@tlen.pl", "znów od Ali");
    message("12345", "od Olka");
    message("12345", "czat Olka", true);
    std::vector<HWND> shown = settle(4);
    REQUIRE(shown.size() == 4);
    std::multiset<std::string> lines;
    for (HWND w : shown) lines.insert(paintOf(w).texts.at(0) + " | " + paintOf(w).texts.at(1));
    CHECK(lines == std::multiset<std::string>{"Ala (ala@tlen.pl) (2) | znów od Ali", "Ewa (ewa@tlen.pl) | od Ewy",
                                              "Olek (12345) | od Olka", "Olek (12345) | czat Olka"});
}

TEST_CASE("a window that is closing takes no more messages; without groupmessages every message has its window") {
    SUBCASE("closing") {
        messageScene scene("group-closing", lines({"effect=2", "effectclose=1"}), true);
        freezeClock();
        message("ala@tlen.pl", "pierwsza");
        std::vector<HWND> shown = settle(1, 3000);
        REQUIRE(shown.size() == 1);
        HWND first = shown[0];
        BYTE alpha = 0;
        REQUIRE(kivhost::pumpUntil([&] { return !kivhost::layeredAlpha(first, alpha); }, 3000));  // faded in
        moveClock(5000);
        REQUIRE(kivhost::pumpUntil([&] { return kivhost::layeredAlpha(first, alpha) && alpha < 255; }, 1500));
        message("ala@tlen.pl", "druga");
        HWND second = nullptr;
        kivhost::pumpUntil(
            [&] {
                for (HWND w : notifications())
                    if (w != first) second = w;
                return second != nullptr;
            },
            1500);
        REQUIRE(second);
        CHECK(paintOf(second).texts == std::vector<std::string>{"Ala (ala@tlen.pl)", "druga"});
    }
    SUBCASE("off") {
        messageScene scene("group-off", "", false);
        for (int i = 0; i < 3; ++i) message("ala@tlen.pl", "wiadomość");
        CHECK(settle(3).size() == 3);
    }
}
