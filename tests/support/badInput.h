// For the bad-input tests: reproducible garbage (fixed seeds), hostile numbers, and the checks
// every such test ends with. The heap-checked test entry runs them, and the soak, again with guard
// tails on every heap block (tests/heapChecked.sh), which heapsIntact then inspects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "notifySupport.h"
#include "objectTracker.h"

namespace kivtest {

// Numbers a file or a caller may hold where a small one belongs.
inline const std::vector<std::string> hostileNumbers = {
    "0", "-1", "2147483647", "-2147483648", "2147483648", "4294967295", "4294967296", "99999999999999999999",
    "-99999999999999999999", "65535", "32768", "-32769", "4294968", "1e9", "0x7fffffff", "abc", "", " 12",
};

class garbage {
public:
    explicit garbage(unsigned seed) : random_(seed) {}

    int below(int limit) { return static_cast<int>(random_() % static_cast<unsigned>(limit)); }
    int32_t anyInt() { return static_cast<int32_t>(random_()); }
    const std::string& number() { return hostileNumbers[below(static_cast<int>(hostileNumbers.size()))]; }

    // Any bytes, with line breaks, brackets and equals signs often enough to make sections and keys.
    std::string bytes(size_t size) {
        static const char structure[] = "[]=\r\n,#;";
        std::string text;
        for (size_t i = 0; i < size; ++i)
            text += below(4) == 0 ? structure[below(sizeof structure - 1)] : static_cast<char>(below(256));
        return text;
    }

    // A value as a hand-edited or damaged file might hold for any key.
    std::string value() {
        switch (below(6)) {
        case 0: return number();
        case 1: return number() + "," + number();
        case 2: return number() + "," + number() + "," + number() + "," + number();
        case 3: return std::string(static_cast<size_t>(1000 + below(6000)), static_cast<char>('A' + below(26)));
        case 4: return printable(static_cast<size_t>(below(300)));
        default: return "#" + printable(static_cast<size_t>(below(40)));
        }
    }

    std::string printable(size_t size) {
        std::string text;
        for (size_t i = 0; i < size; ++i) text += static_cast<char>(32 + below(95));
        return text;
    }

private:
    std::mt19937 random_;
};

// Live GDI objects and device contexts, and windows, that the loaded module owns.
struct objectCounts {
    size_t gdi = 0;
    size_t user = 0;
    bool operator==(const objectCounts& other) const { return gdi == other.gdi && user == other.user; }
};

inline objectCounts liveObjects() {
    objectCounts counts;
    for (const auto& entry : kivhost::objectTracker::get().live())
        (entry.first.first == kivhost::objectTracker::windowHandle ? counts.user : counts.gdi)++;
    return counts;
}

// The plug-in still answers: the silent switch works and a request becomes a visible, painted
// window of a size the screen can hold.
inline bool stillShowsNotifications(kivSession& session, const char* text = "Ala ma kota") {
    session.service("kiv/setsilent", 0);
    popupRequest request;
    request.text = text;
    HWND shown = showOne(session, request);
    if (!shown) return false;
    repaint(shown);
    RECT rect = kivhost::windowRect(shown);
    return rect.right - rect.left >= 0 && rect.right - rect.left <= 32767 && rect.bottom - rect.top >= 0 &&
           rect.bottom - rect.top <= 32767;
}

// Every heap of the process walks cleanly: no block header damaged and, where the heap keeps guard
// tails and fills freed blocks, no write past a live block or into a freed one.
inline bool heapsIntact() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    bool intact = count <= heaps.size();
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) intact = HeapValidate(heaps[i], 0, nullptr) && intact;
    return intact;
}

}  // namespace kivtest
