#include "notify/themeScheme.h"

#include "base/moduleState.h"
#include "base/systemModes.h"
#include "scheme/skin.h"
#include "settings/config.h"

namespace kiv {

// Without a dark scheme the registry is not read at all.
const char* themeSchemeFile(const config& settings) {
    if (settings.darkscheme[0] && programsUseDarkTheme()) return settings.darkscheme;
    return settings.scheme;
}

void followTheme(skin& shared, const config& settings) {
    const char* wanted = themeSchemeFile(settings);
    if (shared.file() != wanted) shared.load(plugin.schemeFolder, wanted);
}

}  // namespace kiv
