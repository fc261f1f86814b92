// Replaces entries of a loaded module's import table, so the host can see and steer what the
// module asks of the system (sounds played, the clock, objects created) without a test build.
#pragma once

#include <windows.h>

namespace kivhost {

// Points the module's import of dll!function at replacement; returns the previous target, or
// null when the module does not import that function.
void* patchImport(HMODULE module, const char* dll, const char* function, void* replacement);

}  // namespace kivhost
