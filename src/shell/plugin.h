// Module-wide state: what LoadPlugin builds and every other part of the module reaches directly.
#pragma once

#include <windows.h>

#include "kiv/host_abi.h"

namespace kiv {

class config;
class skin;
class filtersManager;
class windowsManager;
class notificationHistory;

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

    config* settings = nullptr;
    skin* scheme = nullptr;
    filtersManager* filters = nullptr;
    windowsManager* windows = nullptr;
    notificationHistory* history = nullptr;

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

const abi::plugin_info& pluginInfo();

void* getPluginInfo(unsigned int hostVersion);
int loadPlugin(void* hostServices);
int unloadPlugin();

bool isFullScreenAppActive();

}  // namespace kiv
