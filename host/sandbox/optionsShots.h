// Pictures of the plug-in's options page inside kivhost's options window, at the top, the middle
// and the bottom of its scroll range: options-top.bmp, options-middle.bmp, options-bottom.bmp.
#pragma once

#include <string>

namespace kivhost {

// pluginPath: kiv.tpl; profileFolder: a folder the plug-in may write its settings into;
// outFolder: where the pictures go. Returns the number of pictures written, or -1 when the
// plug-in cannot be loaded or shows no page.
int takeOptionsShots(const std::string& pluginPath, const std::string& profileFolder, const std::string& outFolder);

}  // namespace kivhost
