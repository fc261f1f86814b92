// Every sound of the module is played here: from a file, asynchronously, never the system's default.
#pragma once

namespace kiv {

// False when nothing could be played (also for an empty path).
bool playSound(const char* path);

}  // namespace kiv
