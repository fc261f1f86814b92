#include "ui/optionsPage.h"

#include <windows.h>

#include "settings/config.h"
#include "shell/host.h"
#include "shell/plugin.h"
#include "shell/text.h"

namespace kiv {

namespace {

inline constexpr const char* pageName = "kiv/options/settings";

HBITMAP loadModuleBitmap(const char* name, int size) {
    return static_cast<HBITMAP>(LoadImageA(plugin.instance, name, IMAGE_BITMAP, size, size, 0));
}

void destroyPage(config& settings) {
    if (!settings.optionsWindow) return;
    host::callService(abi::svcRemoveDialogHandle, reinterpret_cast<WPARAM>(settings.optionsWindow), 0);
    DestroyWindow(settings.optionsWindow);
    settings.optionsWindow = nullptr;
}

int __cdecl onOptionsPage(void* eventPointer) {
    auto* event = static_cast<abi::options_page_event*>(eventPointer);
    config* settings = plugin.settings;
    if (!event || !settings) return 0;
    copyText(event->title, "kiv");
    copyText(event->description, "konfiguracja");
    switch (event->event) {
    case abi::optionsShow:
        event->iconBig = settings->iconBig;
        event->flags |= abi::optionsFlagBigIcon;
        break;
    case abi::optionsApplyClose:
    case abi::optionsClose:
        destroyPage(*settings);
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

void addOptionsPage(config& settings) {
    settings.iconBig = loadModuleBitmap("ico_big", 32);
    settings.iconSmall = loadModuleBitmap("ico_small", 16);
    abi::options_page_info page = {};
    page.size = sizeof page;
    page.pageName = pageName;
    page.group = "kiv";
    page.kind = 3;
    page.iconSmall = settings.iconSmall;
    page.callback = onOptionsPage;
    host::callService(abi::svcAddOptionsPage, reinterpret_cast<WPARAM>(plugin.instance),
                      reinterpret_cast<LPARAM>(&page));
}

void removeOptionsPage(config& settings) {
    destroyPage(settings);
    DeleteObject(settings.iconBig);
    DeleteObject(settings.iconSmall);
    settings.iconBig = nullptr;
    settings.iconSmall = nullptr;
}

}  // namespace kiv
