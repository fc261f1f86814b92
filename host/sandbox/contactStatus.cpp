#include "contactStatus.h"

#include <windows.h>

#include <cstdlib>

namespace kivhost {

namespace {

struct statusWords {
    const char* name;
    const char* shortName;
};

const statusWords words[] = {
    {"Niedostępny", "niedostepny"},   {"Dostępny", "dostepny"},  {"Porozmawiajmy", "porozmawiajmy"},
    {"Jestem zajęty", "zajety"},       {"Zaraz wracam", "zw"},    {"Wrócę później", "wroce"},
    {"Niewidoczny", "niewidoczny"},
};

// Lower case in the Windows-1250 sense, so "DOSTĘPNY" matches "Dostępny".
std::string lower(const std::string& text) {
    std::string result = text;
    if (!result.empty()) CharLowerBuffA(&result[0], static_cast<DWORD>(result.size()));
    return result;
}

}  // namespace

const char* statusName(int status) {
    return status >= firstStatus && status <= lastStatus ? words[status - 1].name : "";
}

int parseStatus(const std::string& text) {
    char* end = nullptr;
    long number = strtol(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0') return number >= firstStatus && number <= lastStatus ? number : 0;
    std::string wanted = lower(text);
    for (int status = firstStatus; status <= lastStatus; ++status)
        if (wanted == lower(words[status - 1].name) || wanted == words[status - 1].shortName) return status;
    return 0;
}

// The messenger's icon tables: TLEN 1 Dostępny, 2 Porozmawiajmy, 3 Zaraz wracam, 4 Wrócę później,
// 5 Jestem zajęty, 6 Niewidoczny, 7 Niedostępny; GG 1 Dostępny, 2 Zaraz wracam, 3 Niewidoczny,
// 4 Niedostępny. GG has no chat, busy or extended-away icon: the nearest one stands in.
int iconIndexFor(const std::string& protocol, int status) {
    static const int tlen[] = {7, 1, 2, 5, 3, 4, 6};
    static const int gg[] = {4, 1, 1, 2, 2, 2, 3};
    if (status < firstStatus || status > lastStatus) status = 1;
    return protocol == "TLEN" ? tlen[status - 1] : gg[status - 1];
}

bool isOnlineStatus(int status) {
    return status >= 2 && status <= 6;
}

}  // namespace kivhost
