// The missed summary's text: Polish plural forms, and only what happened.
#include <doctest.h>

#include "history/notificationHistory.h"
#include "base/window_info.h"

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
