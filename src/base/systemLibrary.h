// Libraries the module loads at run time, always from the system folder: a bare name would be
// looked up in the messenger's own folder first, where anyone could have put a file of that name.
#pragma once

#include <windows.h>

namespace kiv {

// The library of that name in the system folder, loaded; null when it is not there.
HMODULE loadSystemLibrary(const char* name);

}  // namespace kiv
