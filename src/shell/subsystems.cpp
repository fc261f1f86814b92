#include "shell/subsystems.h"

#include "base/moduleState.h"
#include "notify/themeScheme.h"

namespace kiv {

namespace {

std::unique_ptr<skin> loadedSkin() {
    auto scheme = std::make_unique<skin>();
    scheme->load(plugin.schemeFolder, themeSchemeFile(*plugin.settings));
    return scheme;
}

}  // namespace

subsystems::subsystems()
    : settings(plugin.settings, std::make_unique<config>(plugin.settingsPath)),
      log(plugin.log, std::make_unique<eventLog>()),
      optionsPage(),
      scheme(plugin.scheme, loadedSkin()),
      filters(plugin.filters, std::make_unique<filtersManager>(plugin.filtersPath)),
      windows(plugin.windows, std::make_unique<windowsManager>()),
      history(plugin.history, std::make_unique<notificationHistory>()) {}

}  // namespace kiv
