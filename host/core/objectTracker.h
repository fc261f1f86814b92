// Counts what a plug-in creates and frees: device contexts, GDI objects and windows, seen through
// its import table. A region handed to SetWindowRgn belongs to the system from then on, and a
// window destroyed by its own WM_CLOSE handling leaves the set when it no longer exists. The
// module may be called from any thread, so the set is kept under a lock.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "criticalSection.h"

namespace kivhost {

class objectTracker {
public:
    enum category { gdiObject, deviceContext, windowHandle };
    using key = std::pair<category, void*>;

    static objectTracker& get();

    // Routes the module's calls through the tracker (installed by pluginLoader).
    void install(HMODULE module);

    // Live handles the module owns, each with its kind ("bitmap", "DC", "window", ...).
    const std::map<key, std::string>& live();
    size_t liveCount() { return live().size(); }
    // Handles of this kind the module has made, freed or not, counted from the first load on.
    size_t madeCount(category kind);
    // Kind -> count, for messages.
    std::string summary();

    void add(category kind, void* handle, const char* what);
    void remove(category kind, void* handle);

    // Handles the module made or freed on a thread other than the one that loaded it, each as
    // "made window" or "freed bitmap": the module's windows and pictures belong to its own thread.
    std::vector<std::string> strays();

private:
    objectTracker() = default;
    void noteThread(const char* verb, const std::string& what);

    criticalSection lock_;
    DWORD thread_ = 0;  // the thread that installed the tracker
    std::map<key, std::string> live_;
    size_t made_[windowHandle + 1] = {};
    std::vector<std::string> strays_;
};

}  // namespace kivhost
