// Pictures of every shipped scheme: the plug-in is loaded once per scheme, shows a normal and a
// small notification, and the screen around them is saved as scheme-<name>.bmp. Under Wine the
// screen's device context reads back black, so there the picture is taken from outside: with
// outsideGrab the area is written to scheme-<name>.area and the windows wait on screen until
// scheme-<name>.png appears (tools/scheme-shots does this with ImageMagick's import).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kivhost {

// Loads the plug-in with the scheme (a file name in the scheme folder), shows a normal and a small
// notification of it in front of a grey backdrop and hands the area around them to `take`; false
// when the plug-in cannot be loaded or `take` fails.
bool showScheme(const std::string& pluginPath, const std::string& profileFolder, const std::string& scheme,
                const std::function<bool(const RECT&)>& take);

// pluginPath: kiv.tpl; profileFolder: a folder the plug-in may write its settings into;
// outFolder: where the pictures go. Returns the number of schemes photographed, or -1 when the
// plug-in cannot be loaded.
int takeSchemeShots(const std::string& pluginPath, const std::string& profileFolder, const std::string& outFolder,
                    bool outsideGrab);

}  // namespace kivhost
