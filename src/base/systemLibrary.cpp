#include "base/systemLibrary.h"

#include "base/moduleState.h"
#include "base/text.h"

namespace kiv {

HMODULE loadSystemLibrary(const char* name) {
    char path[pathSize];
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path) return nullptr;
    if (!appendText(path, "\\") || !appendText(path, name)) return nullptr;
    // Its own imports are then looked up beside it, in the system folder, too.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace kiv
