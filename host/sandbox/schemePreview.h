// kivhost --preview: a picture of a normal and a small notification of one scheme file, for its
// author, after saying what is wrong with the file, and the fonts and colours the plug-in drew
// them in. A scheme outside the scheme folder is shown from a temporary copy there, its "#" bitmap
// paths resolved as they will be once it is installed.
#pragma once

#include <string>

#include "screenGrab.h"

namespace kivhost {

// Returns the program's exit code: 0 with the picture written, 1 when the scheme has errors (the
// picture is still taken), is missing, or no picture could be taken.
int previewScheme(const std::string& pluginPath, const std::string& schemePath, const std::string& outPath,
                  screenGrab& grab);

}  // namespace kivhost
