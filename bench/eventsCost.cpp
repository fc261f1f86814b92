// The protocol hook of the built kiv.tpl in kivhost: what one status event costs against contact
// lists of growing size (the hook finds the contact by enumerating the whole list once, for both
// its filter and the window), and what a log-in burst costs.
//
// usage: kiv_bench_events
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "benchSupport.h"
#include "protocolEvents.h"

namespace {

constexpr int groups = 10;
constexpr int burst = 500;

// Every status but offline raises a window, as after a fresh install; no full-screen switch-off
// is configured away, so each event also asks for the foreground window as it would in use.
const char* const filters = "[global]\r\nwindow_inherit=0\r\nsound_inherit=0\r\n";

void fillList(kivhost::contactList& contacts, int size) {
    contacts.clear();
    std::vector<int> groupHandles;
    for (int g = 0; g < groups; ++g) groupHandles.push_back(contacts.addGroup("Grupa " + std::to_string(g + 1)));
    for (int i = 0; i < size; ++i) contacts.addContact(kivbench::contactId(i), "Kontakt " + std::to_string(i), groupHandles[i % groups]);
}

// Events spread over the list, so the contact sits anywhere in the enumeration.
std::vector<kivhost::statusChange> changes(int listSize, int count, bool descriptionOnly) {
    std::vector<kivhost::statusChange> events;
    for (int i = 0; i < count; ++i) {
        kivhost::statusChange change;
        change.contactId = kivbench::contactId(static_cast<int>((static_cast<long long>(i) * 7919) % listSize));
        change.previousStatus = descriptionOnly ? 2 : 1;
        change.newStatus = 2;
        change.newDescription = descriptionOnly ? "w pracy" : "";
        events.push_back(change);
    }
    return events;
}

size_t enumerations(kivhost::hostCore& host) {
    return static_cast<size_t>(std::count_if(host.log.begin(), host.log.end(), [](const kivhost::callRecord& r) {
        return r.what == kiv::abi::svcEnumerateItems;
    }));
}

struct figure {
    double perEvent = 0;  // milliseconds
    bool checked = false;  // the module did the lookups the path implies
};

// Runs the events once to warm up, then timed; the host's log says how many times the module
// enumerated the list, which proves every event went the whole way.
figure run(kivbench::pluginSession& session, const std::vector<kivhost::statusChange>& events, size_t lookupsEach) {
    for (size_t i = 0; i < std::min<size_t>(events.size(), 20); ++i) kivhost::raiseStatusChange(events[i]);
    session.host.log.clear();
    double start = kivbench::milliseconds();
    for (const kivhost::statusChange& change : events) kivhost::raiseStatusChange(change);
    figure f;
    f.perEvent = (kivbench::milliseconds() - start) / static_cast<double>(events.size());
    f.checked = enumerations(session.host) == events.size() * lookupsEach;
    session.host.log.clear();
    return f;
}

std::string settings(int quietSeconds) {
    // maxonscreen 1: the queued requests are what is measured, not hundreds of windows at the next tick
    return "[window]\r\nmaxonscreen=1\r\n[hidden]\r\nloginignoretime=" + std::to_string(quietSeconds) + "\r\n";
}

bool listSizes() {
    printf("## Protocol hook: one status event against the size of the contact list\n\n");
    printf("Status events raised through kivhost into the built kiv.tpl, in %d groups. \"Window due\": a "
           "contact comes online and the global filter shows it (the hook enumerates the list once, "
           "for the filter and the window, and queues a request). \"Filtered out\": only the description "
           "changed, which the filter does not show (also one enumeration).\n\n", groups);
    printf("| contacts | events | window due, per event | events/s | filtered out, per event | events/s |\n");
    printf("|---:|---:|---:|---:|---:|---:|\n");
    bool allChecked = true;
    for (int size : {100, 1000, 10000}) {
        const int count = size >= 10000 ? 1000 : 5000;
        kivbench::pluginSession session("events", settings(10), filters);
        if (!session.running()) return false;
        fillList(session.host.contacts, size);
        kivhost::moduleClock::get().advance(60000);  // past the quiet period that runs from the system's start
        figure due = run(session, changes(size, count, false), 1);
        figure filtered = run(session, changes(size, count, true), 1);
        allChecked = allChecked && due.checked && filtered.checked;
        printf("| %d | %d | %.3f ms | %.0f | %.3f ms | %.0f |\n", size, count, due.perEvent, 1000.0 / due.perEvent,
               filtered.perEvent, 1000.0 / filtered.perEvent);
    }
    printf("\n");
    return allChecked;
}

// A log-in, then at once a burst of status events for contacts coming online.
bool loginBurst() {
    const int size = 1000;
    printf("## Protocol hook: a log-in burst of %d events\n\n", burst);
    printf("A \"TLEN\" log-in followed at once by %d contacts coming online, %d contacts on the list.\n\n", burst,
           size);
    printf("| quiet period after log-in | whole burst | per event | lookups made |\n|---|---:|---:|---:|\n");
    bool expected = true;
    for (int quiet : {10, 0}) {
        kivbench::pluginSession session("burst", settings(quiet), filters);
        if (!session.running()) return false;
        fillList(session.host.contacts, size);
        kivhost::moduleClock& clock = kivhost::moduleClock::get();
        clock.advance(60000);
        clock.freeze(clock.now());  // the whole burst inside the quiet period
        std::vector<kivhost::statusChange> events = changes(size, burst, false);
        session.host.log.clear();
        double start = kivbench::milliseconds();
        kivhost::raiseLogin("TLEN");
        for (const kivhost::statusChange& change : events) kivhost::raiseStatusChange(change);
        const double spent = kivbench::milliseconds() - start;
        const size_t lookups = enumerations(session.host);
        expected = expected && lookups == (quiet > 0 ? 0u : static_cast<size_t>(burst));
        printf("| %s | %.1f ms | %.3f ms | %zu |\n", quiet > 0 ? "10 s (the default): dropped" : "0: every event handled",
               spent, spent / burst, lookups);
    }
    printf("\n");
    return expected;
}

size_t linesOf(const std::string& file) {
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    std::string bytes(GetFileSize(handle, nullptr), '\0');
    DWORD read = 0;
    ReadFile(handle, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(handle);
    return static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + read, '\n'));
}

// The same status events with eventlog on and off, sessions taken in turn, best of three each;
// kiv.log must hold one line per event for the figure to count.
bool withEventLog() {
    const int size = 1000, count = 2000, rounds = 5;
    printf("## Protocol hook: one status event with kiv.log written, against the defaults\n\n");
    printf("%d status events with %d contacts on the list, with `eventlog` off and on: a contact comes online "
           "(the window is due) or only changes its description (filtered out); the best of %d sessions "
           "each, taken in turn.\n\n", count, size, rounds);
    printf("| event | eventlog 0 (the default) | eventlog 1 | with kiv.log / without |\n|---|---:|---:|---:|\n");
    bool logged = true;
    for (bool descriptionOnly : {false, true}) {
        double perEvent[2] = {1e300, 1e300};
        for (int round = 0; round < rounds; ++round) {
            for (int on = 0; on < 2; ++on) {
                kivbench::pluginSession session("eventlog", settings(10) + (on ? "[extra]\r\neventlog=1\r\n" : ""),
                                                filters);
                if (!session.running()) return false;
                DeleteFileA((session.profile + "kiv.log").c_str());
                fillList(session.host.contacts, size);
                kivhost::moduleClock::get().advance(60000);
                const std::vector<kivhost::statusChange> events = changes(size, count, descriptionOnly);
                const double start = kivbench::milliseconds();
                for (const kivhost::statusChange& change : events) kivhost::raiseStatusChange(change);
                perEvent[on] = std::min(perEvent[on], (kivbench::milliseconds() - start) / count);
                if (on) logged = logged && linesOf(session.profile + "kiv.log") == static_cast<size_t>(count);
            }
        }
        printf("| %s | %.3f ms | %.3f ms | %.2f |\n", descriptionOnly ? "filtered out" : "window due", perEvent[0],
               perEvent[1], perEvent[1] / perEvent[0]);
    }
    printf("\n");
    return logged;
}

}  // namespace

int main() {
    bool ok = listSizes();
    ok = loginBurst() && ok;
    ok = withEventLog() && ok;
    if (!ok) fprintf(stderr, "the module did not make the lookups expected: the figures above are not what they say\n");
    return ok ? 0 : 1;
}
