// kivhost --scheme-new NAME: a starting scheme, NAME.kivs and its bitmap NAME.bmp in the current
// folder, that previews without a finding; every key is there with a comment, ready to change.
#pragma once

#include <string>

namespace kivhost {

// False with a message when NAME is not a plain file name or either file exists already.
bool writeStarterScheme(const std::string& name, std::string& error);

}  // namespace kivhost
