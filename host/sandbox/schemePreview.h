// kivhost --preview: a picture of a normal and a small notification of one scheme file, for its
// author, after saying what is wrong with the file. A scheme outside the scheme folder is shown
// from a temporary copy there (its "#" bitmap paths still mean the host's folder).
#pragma once

#include <string>

#include "screenGrab.h"

namespace kivhost {

// Returns the program's exit code: 0 with the picture written, 1 when the scheme is unusable or no
// picture could be taken.
int previewScheme(const std::string& pluginPath, const std::string& schemePath, const std::string& outPath,
                  screenGrab& grab);

}  // namespace kivhost
