// A chat flood through the built kiv.tpl in kivhost: 200 chat messages in 2 seconds from 5
// contacts, each with the host's sound event, once without and once with groupmessages. Counts the
// notification windows on the screen at the end (the stack stops at the work area's edge and the
// rest wait), the most GDI and USER objects the module held at once (kivhost's objectTracker,
// through the import table), and the time the UI thread was busy with the events, the manager's
// ticks and the painting (everything but waiting for the next message).
//
// usage: kiv_bench_flood [MESSAGES] [MILLISECONDS]   (default 200 and 2000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "benchSupport.h"
#include "objectTracker.h"
#include "protocolEvents.h"

namespace {

constexpr int contacts = 5;
constexpr int chatFlags = 4;
constexpr int chatMessageSound = 4;

const char* const filters =
    "[global]\r\nwindow_inherit=0\r\nwindow_onlineonly=0\r\nwindow_eventmessage=1\r\nwindow_eventmessagechat=1\r\n";

std::string settings(bool grouping) {
    return std::string("[general]\r\nfullscreenautooff=0\r\n[window]\r\nscheme=standard.kivs\r\nvisibletime=5\r\n") +
           "[extra]\r\ngroupmessages=" + (grouping ? "1" : "0") + "\r\n";
}

struct figures {
    size_t windows = 0;
    size_t peakGdi = 0;
    size_t peakUser = 0;
    double busy = 0;     // milliseconds
    double elapsed = 0;  // milliseconds
};

struct meter {
    double busy = 0;
    template <class Work>
    void time(Work work) {
        double start = kivbench::milliseconds();
        work();
        busy += kivbench::milliseconds() - start;
    }
};

void notePeak(figures& f) {
    size_t gdi = 0, user = 0;
    for (const auto& entry : kivhost::objectTracker::get().live())
        (entry.first.first == kivhost::objectTracker::windowHandle ? user : gdi)++;
    f.peakGdi = std::max(f.peakGdi, gdi);
    f.peakUser = std::max(f.peakUser, user);
}

// Handles what is waiting, each message timed, then waits (untimed) until the deadline or the
// next message.
void serveUntil(double deadline, meter& m, figures& f) {
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            m.time([&] {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            });
            notePeak(f);
        }
        double left = deadline - kivbench::milliseconds();
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
    }
}

bool flood(bool grouping, int messages, double span, figures& f) {
    kivbench::pluginSession session(grouping ? "flood-grouped" : "flood", settings(grouping), filters);
    if (!session.running()) {
        fprintf(stderr, "kiv.tpl did not load: %s\n", session.error().c_str());
        return false;
    }
    int group = session.host.contacts.addGroup("Znajomi");
    std::string ids[contacts];
    for (int i = 0; i < contacts; ++i) {
        ids[i] = "osoba" + std::to_string(i) + "@tlen.pl";
        session.host.contacts.addContact(ids[i].c_str(), ("Osoba " + std::to_string(i)).c_str(), group);
    }
    kivhost::moduleClock& clock = kivhost::moduleClock::get();
    clock.freeze(clock.now() + 60000);  // past the log-in quiet period; nothing closes during the flood
    kivhost::pumpMessages(200);

    meter m;
    const double start = kivbench::milliseconds();
    for (int sent = 0; sent < messages; ++sent) {
        serveUntil(start + span * sent / messages, m, f);
        const std::string& id = ids[sent % contacts];
        const std::string text = "wiadomość numer " + std::to_string(sent) + " w rozmowie, która się nie kończy";
        m.time([&] {
            kivhost::raiseMessage("TLEN", id, chatFlags, text.c_str());
            session.host.raiseSoundEvent(chatMessageSound, id.c_str());
        });
        notePeak(f);
    }
    serveUntil(start + span + 300, m, f);  // the last tick's windows, shown and painted
    f.elapsed = kivbench::milliseconds() - start;
    f.busy = m.busy;
    f.windows = kivbench::shownNotifications();  // nothing has closed: every window shown is still there
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int messages = argc > 1 ? std::max(contacts, atoi(argv[1])) : 200;
    const double span = argc > 2 ? std::max(100, atoi(argv[2])) : 2000;
    figures apart, grouped;
    if (!flood(false, messages, span, apart) || !flood(true, messages, span, grouped)) return 1;

    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    printf("## A chat flood: one window per message, or one per conversation\n\n");
    printf("%d chat messages in %.0f ms from %d contacts in turn, each followed by the host's sound event, "
           "through kiv.tpl in kivhost with the shipped scheme standard.kivs; nothing closes meanwhile. The "
           "stack ends at the work area's edge (%ld x %ld pixels here): a message that finds no room waits, "
           "and of those waiting the newest 100 are kept and the older let go. Windows shown are those on "
           "the screen at the end; peak windows are the module's own at their most, its hidden message "
           "window included. The UI thread's busy time is every event call, tick and paint, timed one by "
           "one, without the waits between them; the objects are counted by kivhost's objectTracker.\n\n",
           messages, span, contacts, area.right - area.left, area.bottom - area.top);
    printf("| groupmessages | windows shown | peak GDI objects | peak windows | UI thread busy | of the time |\n");
    printf("|---|---:|---:|---:|---:|---:|\n");
    for (const auto& [name, f] : {std::pair<const char*, const figures&>{"0 (default)", apart}, {"1", grouped}})
        printf("| %s | %zu | %zu | %zu | %.0f ms | %.0f %% |\n", name, f.windows, f.peakGdi, f.peakUser, f.busy,
               100.0 * f.busy / f.elapsed);
    const double ratio = grouped.busy / std::max(apart.busy, 1.0);
    printf("\nWithout groupmessages the work area holds %zu windows and the other %zu messages wait for room "
           "or are let go; with groupmessages each message joins its conversation's window (%zu for %d "
           "contacts), and the UI thread is busy %.1f times %s.\n\n",
           apart.windows, static_cast<size_t>(messages) - std::min(apart.windows, static_cast<size_t>(messages)),
           grouped.windows, contacts, ratio >= 1 ? ratio : 1 / std::max(ratio, 0.001),
           ratio >= 1 ? "as long" : "less");
    return 0;
}
