#include "ui/menus.h"

#include "settings/config.h"
#include "shell/host.h"
#include "shell/plugin.h"

namespace kiv {

namespace {

int silentItemHandle = 0;

}  // namespace

void updateSilentMenuItem() {
    if (!silentItemHandle || !plugin.settings) return;
    abi::menu_item_info change = {};
    change.size = sizeof change;
    change.flags = abi::menuFlagChange | (plugin.settings->silent ? abi::menuFlagChecked : 0);
    host::callService(abi::svcChangeMenuItem, silentItemHandle, reinterpret_cast<LPARAM>(&change));
}

}  // namespace kiv
