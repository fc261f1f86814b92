// Contact statuses as a person names them and as the messenger numbers them: the event numbers of
// status changes (1 Niedostępny ... 7 Niewidoczny) and the per-protocol status-icon indexes the
// contact-list items carry.
#pragma once

#include <string>

namespace kivhost {

constexpr int firstStatus = 1;
constexpr int lastStatus = 7;

// "Dostępny" for 2; "" outside 1 to 7.
const char* statusName(int status);

// A status number from its number ("5"), its Polish name ("Zaraz wracam", any case) or a short
// name (dostepny, porozmawiajmy, zajety, zw, wroce, niewidoczny, niedostepny); 0 when unknown.
int parseStatus(const std::string& text);

// The 1-based status-icon index a contact of that protocol shows for the status.
int iconIndexFor(const std::string& protocol, int status);

// Present statuses (2 to 6) count as online.
bool isOnlineStatus(int status);

}  // namespace kivhost
