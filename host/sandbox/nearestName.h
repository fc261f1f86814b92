// The known name a misspelt one most likely meant, for "did you mean ...?" in kivhost's messages.
#pragma once

#include <string>
#include <vector>

namespace kivhost {

// The name of the list fewest letter edits away (letters compared without case), or "" when
// none is near enough to be meant: at most two edits, or a third of the name's length.
std::string nearestName(const std::string& name, const std::vector<std::string>& names);

}  // namespace kivhost
