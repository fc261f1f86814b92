// The history list: the newest entries within its limit, and the held-back ones counted as missed.
#include <doctest.h>

#include <string>

#include "history/notificationHistory.h"
#include "base/window_info.h"

using kiv::missedCounts;

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
