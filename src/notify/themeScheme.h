// The scheme notifications take from the system's theme: darkscheme while programs use the dark
// theme and one is chosen, scheme otherwise.
#pragma once

namespace kiv {

class config;
class skin;

const char* themeSchemeFile(const config& settings);

// Loads the scheme of the theme now into the shared skin when it holds another; windows already
// shown keep theirs.
void followTheme(skin& shared, const config& settings);

}  // namespace kiv
