#include "base/sound.h"

#include <windows.h>
#include <mmsystem.h>

namespace kiv {

bool playSound(const char* path) {
    if (!path || !*path) return false;
    return PlaySoundA(path, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC) != FALSE;
}

}  // namespace kiv
