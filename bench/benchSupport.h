// Shared by the benchmarks: a millisecond clock, the program's folder, and the built kiv.tpl
// loaded into this process's kivhost with a profile of its own.
#pragma once

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "hostCore.h"
#include "kiv/popup.h"
#include "pluginLoader.h"
#include "recorders.h"

namespace kivbench {

inline double milliseconds() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The contact list's identifiers: kontakt00000@tlen.pl, kontakt00001@tlen.pl, ...
inline std::string contactId(int index) {
    char id[32];
    snprintf(id, sizeof id, "kontakt%05d@tlen.pl", index);
    return id;
}

// Visible notification windows, counted with one class lookup per window (cheaper than
// enumerating every top-level window after every message).
// A kiv/popup record from Ala, as another plug-in fills it.
inline kiv::popup_info popupFromAla(const char* text, const char* iconName) {
    kiv::popup_info info = {};
    info.size = sizeof info;
    info.protocol = "TLEN";
    info.contactId = "ala";
    info.nick = "Ala";
    info.text = text;
    info.iconName = iconName;
    return info;
}

inline size_t shownNotifications() {
    size_t count = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, "kiv_notify_window", nullptr); w;
         w = FindWindowExA(nullptr, w, "kiv_notify_window", nullptr))
        count += IsWindowVisible(w) ? 1 : 0;
    return count;
}

// The process's private bytes: its committed private pages summed with VirtualQuery
// (GetProcessMemoryInfo's PrivateUsage reads 0 under Wine).
inline SIZE_T privateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return total;
}

inline void writeFile(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

// kiv.tpl running in kivhost, as the messenger would run it, with the given files in a fresh
// profile folder (bench-<name> beside the program). Unloaded when the session ends.
class pluginSession {
public:
    pluginSession(const std::string& name, const std::string& settings, const std::string& filters)
        : host(kivhost::hostCore::get()) {
        host.reset();
        kivhost::moduleClock::get().reset();
        profile = kivhost::programFolder() + "bench-" + name + "\\";
        CreateDirectoryA(profile.c_str(), nullptr);
        writeFile(profile + "kiv.config", settings);
        writeFile(profile + "kiv.filters.config", filters);
        host.setProfile("bench", profile);
        host.mainWindow();
        plugin = std::make_unique<kivhost::pluginLoader>(kivhost::pluginLoader::defaultPath());
        if (plugin->loaded() && plugin->info(kiv::abi::minimumHostVersion)) plugin->load();
    }
    ~pluginSession() {
        plugin.reset();
        host.reset();
        host.contacts.clear();
    }
    pluginSession(const pluginSession&) = delete;
    pluginSession& operator=(const pluginSession&) = delete;

    bool running() const { return plugin && plugin->running(); }
    const std::string& error() const { return plugin->error(); }

    kivhost::hostCore& host;
    std::string profile;
    std::unique_ptr<kivhost::pluginLoader> plugin;
};

}  // namespace kivbench
