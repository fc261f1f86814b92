// Module-wide state: the instance, the host's table, the folders and files, and the subsystems
// while the module is loaded. The composition root (shell) builds and publishes them; every room
// below reaches what it needs from here.
#pragma once

#include <windows.h>

#include "kiv/host_abi.h"

namespace kiv {

class config;
class skin;
class filtersManager;
class windowsManager;
class notificationHistory;
class eventLog;

constexpr int pathSize = 1024;

typedef BOOL(WINAPI* SetLayeredWindowAttributesFn)(HWND, COLORREF, BYTE, DWORD);

struct moduleState {
    HINSTANCE instance = nullptr;
    void* const* hostServices = nullptr;
    int getSilentService = 0;
    int setSilentService = 0;
    int popupService = 0;
    int popupShowService = 0;
    int popupUpdateService = 0;
    int popupCloseService = 0;
    int popupProgressService = 0;

    // Owned by the composition root, set while they live.
    config* settings = nullptr;
    skin* scheme = nullptr;
    filtersManager* filters = nullptr;
    windowsManager* windows = nullptr;
    notificationHistory* history = nullptr;
    eventLog* log = nullptr;

    char hostFolder[pathSize] = "";
    char pluginsFolder[pathSize] = "";
    char schemeFolder[pathSize] = "";
    char userLogin[pathSize] = "";
    char profileFolder[pathSize] = "";
    char settingsPath[pathSize] = "";
    char filtersPath[pathSize] = "";

    SetLayeredWindowAttributesFn setLayeredWindowAttributes = nullptr;
    DWORD systemMajorVersion = 0;
};

extern moduleState plugin;

inline constexpr const char* notifyWindowClass = "kiv_notify_window";

// The record the host asks for before it loads the module.
abi::plugin_info& pluginInfo();

}  // namespace kiv
