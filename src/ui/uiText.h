// The user-interface texts of the module's string table (resources/strings.rc).
#pragma once

#include <windows.h>

namespace kiv {

// The text in Windows-1250, as the module's own string literals are, whatever the system's code
// page. Loaded once and kept while the module is loaded: the host may keep the pointer.
const char* uiText(UINT id);

}  // namespace kiv
