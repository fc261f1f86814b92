// What remembering costs: one protocol event through the built kiv.tpl with history at 500 and
// kiv.log on against both off, in one run; and the memory a full history of 500 long messages
// holds, in the module's code linked into the program.
//
// usage: kiv_bench_history
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "benchSupport.h"
#include "history/notificationHistory.h"
#include "base/window_info.h"
#include "protocolEvents.h"

namespace {

constexpr int contacts = 1000;
constexpr int events = 2000;
constexpr int rounds = 5;
constexpr size_t historySize = 500;

const char* const filters = "[global]\r\nwindow_inherit=0\r\nwindow_eventmessage=1\r\nsound_inherit=0\r\n";

std::string longMessage(int index) {
    std::string text = "Wiadomość " + std::to_string(index) + ": ";
    while (text.size() < 512) text += "Ala ma kota, a kot ma Alę. ";
    return text.substr(0, 512);
}

struct variant {
    const char* name;
    const char* extra;  // the [extra] section
    bool logs;
};

const variant variants[] = {
    {"history 0, eventlog 0 (the defaults)", "", false},
    {"history 500", "[extra]\r\nhistory=500\r\n", false},
    {"eventlog 1", "[extra]\r\neventlog=1\r\n", true},
    {"history 500, eventlog 1", "[extra]\r\nhistory=500\r\neventlog=1\r\n", true},
};

struct measured {
    double perEvent = 1e9;  // milliseconds, best of the rounds
    bool handled = true;    // every event looked its contact up on the list
    bool logged = true;     // kiv.log holds a line for every event when it is on
};

size_t lookups(const kivhost::hostCore& host) {
    return static_cast<size_t>(std::count_if(host.log.begin(), host.log.end(), [](const kivhost::callRecord& r) {
        return r.what == kiv::abi::svcEnumerateItems;
    }));
}

// One round of one variant in a fresh session. maxonscreen 1: the requests queue, so the cost is
// the hook's, not hundreds of windows'.
void messages(const variant& v, measured& m) {
    std::string settings = "[general]\r\nfullscreenautooff=0\r\n[window]\r\nmaxonscreen=1\r\n";
    kivbench::pluginSession session("history", settings + v.extra, filters);
    if (!session.running()) {
        m.handled = false;
        return;
    }
    const std::string log = session.profile + "kiv.log";
    DeleteFileA(log.c_str());
    session.host.contacts.clear();
    int group = session.host.contacts.addGroup("Znajomi");
    for (int i = 0; i < contacts; ++i) session.host.contacts.addContact(kivbench::contactId(i), "Kontakt " + std::to_string(i), group);
    kivhost::moduleClock::get().advance(60000);
    const std::string text = longMessage(0);
    for (int i = 0; i < 20; ++i) kivhost::raiseMessage("TLEN", kivbench::contactId(i), 2, text.c_str());
    DeleteFileA(log.c_str());
    session.host.log.clear();
    double start = kivbench::milliseconds();
    for (int i = 0; i < events; ++i) kivhost::raiseMessage("TLEN", kivbench::contactId((i * 7919) % contacts), 2, text.c_str());
    m.perEvent = std::min(m.perEvent, (kivbench::milliseconds() - start) / events);
    m.handled = m.handled && lookups(session.host) == static_cast<size_t>(events);
    WIN32_FILE_ATTRIBUTE_DATA written = {};
    bool hasLog = GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &written) &&
                  written.nFileSizeLow > static_cast<DWORD>(events) * 40;
    m.logged = m.logged && hasLog == v.logs;
    session.host.contacts.clear();
}

// Busy bytes in every heap of the process.
size_t heapBytes() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    size_t busy = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return busy;
}

size_t fullHistoryBytes() {
    std::vector<std::string> texts;
    for (size_t i = 0; i < historySize; ++i) texts.push_back(longMessage(static_cast<int>(i)));
    const size_t before = heapBytes();
    size_t held = 0;
    {
        kiv::notificationHistory history;
        kiv::window_info request;
        for (size_t i = 0; i < historySize * 2; ++i) {
            std::string id = kivbench::contactId(static_cast<int>(i));
            request.setTexts("TLEN", id.c_str(), "Kontakt z długą nazwą", texts[i % historySize].c_str(), "message");
            history.add(request, kiv::eventKind::message, kiv::heldReason::none, historySize);
        }
        held = heapBytes() - before;
        if (history.entries().size() != historySize) return 0;
    }
    return held;
}

}  // namespace

int main() {
    constexpr size_t count = sizeof variants / sizeof variants[0];
    measured figures[count];
    for (int round = 0; round < rounds; ++round)  // the variants take turns, so a busy moment hits all
        for (size_t v = 0; v < count; ++v) messages(variants[v], figures[v]);
    const size_t memory = fullHistoryBytes();

    printf("## History and kiv.log: the cost of remembering\n\n");
    printf("%d message events of 512 characters from %d contacts raised through kivhost into the built kiv.tpl "
           "(the global filter shows them; maxonscreen 1, so the requests queue), best of %d rounds taken in "
           "turns, all in the same run. kiv.log is opened, appended to and closed for each line.\n\n",
           events, contacts, rounds);
    printf("| [extra] | per event | events/s | against the defaults |\n|---|---:|---:|---:|\n");
    bool ok = memory > 0;
    for (size_t v = 0; v < count; ++v) {
        const measured& m = figures[v];
        ok = ok && m.handled && m.logged;
        printf("| %s | %.3f ms | %.0f | %.2f |\n", variants[v].name, m.perEvent, 1000.0 / m.perEvent,
               m.perEvent / figures[0].perEvent);
    }
    printf("\nA full history of %zu messages of 512 characters (filled twice over, so the oldest have gone) holds "
           "%zu bytes of heap, %.0f bytes an entry (the module's code in this program, busy heap bytes "
           "before and after).\n",
           historySize, memory, static_cast<double>(memory) / historySize);
    if (!ok) fprintf(stderr, "events were dropped, kiv.log was not as expected or the history was not full\n");
    return ok ? 0 : 1;
}
