#include <doctest.h>

#include "history/notificationHistory.h"
#include "notify/window_info.h"

using kiv::missedCounts;
using kiv::missedText;

namespace {

missedCounts counts(int messages, int chatMessages, int statusChanges, int others) {
    missedCounts c;
    c.messages = messages;
    c.chatMessages = chatMessages;
    c.statusChanges = statusChanges;
    c.others = others;
    return c;
}

}  // namespace

TEST_CASE("the summary counts in Polish plural forms and leaves out what did not happen") {
    CHECK(missedText(counts(3, 1, 2, 0)) == "Gdy kiv milczał: 3 wiadomości, 1 wiadomość czatu, 2 zmiany statusu");
    CHECK(missedText(counts(1, 0, 0, 0)) == "Gdy kiv milczał: 1 wiadomość");
    CHECK(missedText(counts(5, 5, 5, 5)) ==
          "Gdy kiv milczał: 5 wiadomości, 5 wiadomości czatu, 5 zmian statusu, 5 powiadomień");
    CHECK(missedText(counts(0, 0, 1, 2)) == "Gdy kiv milczał: 1 zmiana statusu, 2 powiadomienia");
    // The teens take the many form; 22 and 104 the few form again.
    CHECK(missedText(counts(0, 0, 12, 0)) == "Gdy kiv milczał: 12 zmian statusu");
    CHECK(missedText(counts(0, 0, 22, 0)) == "Gdy kiv milczał: 22 zmiany statusu");
    CHECK(missedText(counts(0, 0, 104, 0)) == "Gdy kiv milczał: 104 zmiany statusu");
    CHECK(missedText(counts(0, 0, 111, 0)) == "Gdy kiv milczał: 111 zmian statusu");
    CHECK(missedText(counts(0, 0, 0, 21)) == "Gdy kiv milczał: 21 powiadomień");
}

TEST_CASE("the history keeps the newest entries up to its limit; only held-back ones are missed") {
    kiv::notificationHistory history;
    kiv::window_info request;
    for (int i = 0; i < 7; ++i) {
        std::string text = std::to_string(i);
        request.setTexts("GG", "1", "Ola", text.c_str(), "");
        history.add(request, kiv::eventKind::message, i % 2 ? kiv::heldReason::silent : kiv::heldReason::none, 4);
    }
    REQUIRE(history.entries().size() == 4);
    CHECK(history.entries().front().text == L"3");
    CHECK(history.entries().back().text == L"6");
    history.add(request, kiv::eventKind::popup, kiv::heldReason::silent, 0);  // a limit of 0 keeps nothing
    CHECK(history.entries().size() == 4);
    missedCounts missed = history.takeMissed();
    CHECK(missed.messages == 3);
    CHECK(missed.others == 0);
    CHECK_FALSE(history.anyMissed());
    history.clear();
    CHECK(history.entries().empty());
}
