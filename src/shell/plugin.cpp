#include "shell/plugin.h"

#include <cstring>
#include <memory>

#include "base/entryGuard.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "base/serviceInbox.h"
#include "base/systemLibrary.h"
#include "base/text.h"
#include "base/unloadWatch.h"
#include "events/protocolHook.h"
#include "events/soundHook.h"
#include "notify/hold.h"
#include "notify/popupService.h"
#include "notify/window.h"
#include "resources/resource.h"
#include "shell/subsystems.h"
#include "ui/actionMenu.h"
#include "ui/historyWindow.h"
#include "ui/menus.h"
#include "ui/silentSwitch.h"
#include "ui/uiText.h"

namespace kiv {

namespace {

std::unique_ptr<subsystems> parts;

// hostFolder, pluginsFolder and schemeFolder from the executable's path; a path that would not
// fit leaves the folders empty rather than pointing somewhere half-built.
void buildFolders() {
    char executable[pathSize] = "";
    DWORD length = GetModuleFileNameA(nullptr, executable, sizeof executable);
    if (length == 0 || length >= sizeof executable) return;
    char* slash = strrchr(executable, '\\');
    if (!slash) return;
    slash[1] = '\0';
    char plugins[pathSize];
    char schemes[pathSize];
    copyText(plugins, executable);
    copyText(schemes, executable);
    if (!appendText(plugins, "plugins\\") || !appendText(schemes, "plugins\\kiv.scheme\\")) return;
    copyText(plugin.hostFolder, executable);
    copyText(plugin.pluginsFolder, plugins);
    copyText(plugin.schemeFolder, schemes);
}

DWORD systemMajorVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return 0;
#pragma GCC diagnostic pop
    return version.dwMajorVersion;
}

SetLayeredWindowAttributesFn findLayeredFunction() {
    HMODULE user32 = loadSystemLibrary("user32.dll");
    if (!user32) return nullptr;
    auto function = reinterpret_cast<SetLayeredWindowAttributesFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    FreeLibrary(user32);  // user32 stays mapped: the host itself links it
    return function;
}

// Login, profile folder and the two file paths. Without a usable answer from the host the paths
// stay empty, and nothing is read from or written to a made-up place.
void readProfile() {
    auto profileFunction = reinterpret_cast<abi::ProfileFn>(
        host::callService(abi::svcGetProcAddress, abi::hostFunctionProfile, 0));
    if (!profileFunction) return;
    auto* profile = static_cast<const abi::profile_info*>(profileFunction(0, 0));
    if (!profile || !profile->profileFolder || !profile->profileFolder[0]) return;
    char settings[pathSize];
    char filters[pathSize];
    copyText(settings, profile->profileFolder);
    copyText(filters, profile->profileFolder);
    if (!appendText(settings, "kiv.config") || !appendText(filters, "kiv.filters.config")) return;
    copyText(plugin.userLogin, profile->login);
    copyText(plugin.profileFolder, profile->profileFolder);
    copyText(plugin.settingsPath, settings);
    copyText(plugin.filtersPath, filters);
}

void registerWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = guardedCallback<notifyWindowProc>;
    windowClass.hInstance = plugin.instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_HAND);
    windowClass.lpszClassName = notifyWindowClass;
    RegisterClassA(&windowClass);
}

}  // namespace

void* getPluginInfo(unsigned int hostVersion) {
    if (hostVersion >= abi::minimumHostVersion) return &pluginInfo();
    MessageBoxA(nullptr, uiText(IDS_HOST_TOO_OLD), uiText(IDS_ERROR), MB_OK | MB_ICONERROR);
    return nullptr;
}

// A host that loads twice without unloading gets a refusal; what the first load built stays.
int loadPlugin(void* hostServices) {
    if (parts) return -1;
    inbox.adoptThisThread();
    unloads.start();
    plugin.hostServices = static_cast<void* const*>(hostServices);
    silentSwitch::offerServices();
    plugin.popupService = host::createService(abi::svcKivPopup, guarded<popupService, -1>);
    plugin.popupShowService = host::createService(kiv::popupShowService, guarded<popupShow, -1>);
    plugin.popupUpdateService = host::createService(kiv::popupUpdateService, guarded<popupUpdate, -1>);
    plugin.popupCloseService = host::createService(kiv::popupCloseService, guarded<popupClose, -1>);
    plugin.popupProgressService = host::createService(kiv::popupProgressService, guarded<popupProgress, -1>);
    buildFolders();
    plugin.systemMajorVersion = systemMajorVersion();
    plugin.setLayeredWindowAttributes = findLayeredFunction();
    readProfile();
    registerWindowClass();
    parts = std::make_unique<subsystems>();
    plugin.history->watch(historyWindow::refresh);
    openHistoryOnSummaryClick(historyWindow::show);
    window::offerMenu(actionMenu::open);
    hookProtocols();
    hookSoundEvent();
    setupMenus();
    inbox.open();
    silentSwitch::open();
    return 0;
}

int unloadPlugin() {
    inbox.close();
    silentSwitch::close();
    removeMenus();
    unhookSoundEvent();
    unhookProtocols();
    historyWindow::close();
    parts.reset();
    UnregisterClassA(notifyWindowClass, plugin.instance);
    silentSwitch::withdrawServices();
    host::destroyService(plugin.popupService);
    host::destroyService(plugin.popupShowService);
    host::destroyService(plugin.popupUpdateService);
    host::destroyService(plugin.popupCloseService);
    host::destroyService(plugin.popupProgressService);
    unloads.stop();
    plugin.hostServices = nullptr;
    return 0;
}

}  // namespace kiv
