// One level's notification rules: which status and message events raise a window (the window
// part) and which WAV file each kind of event plays (the sound part). Each part can be taken
// whole from the level above instead.
#pragma once

#include <cstddef>

namespace kiv {

class freshProfile;
class profileFile;

constexpr int filterPathSize = 128;

struct filter {
    // Window part. A new record is in the default state: it inherits both parts.
    bool window_inherit = true;
    bool window_status[7] = {};  // by status number; slot 0 is never used
    bool window_onlineonly = false;
    bool window_ignoreaway = false;
    bool window_descchange = false;
    bool window_eventmessage = false;
    bool window_eventmessagechat = false;

    // Sound part.
    bool sound_inherit = true;
    char sound_fileonline[filterPathSize] = "";
    char sound_fileoffline[filterPathSize] = "";
    char sound_filemessage[filterPathSize] = "";
    char sound_filemessagechatstart[filterPathSize] = "";
    char sound_filemessagechat[filterPathSize] = "";
    char sound_filefile[filterPathSize] = "";
    char sound_filevoice[filterPathSize] = "";

    // Contact level only, never inherited: shown and sounded through every hold of the module.
    bool priority = false;

    void setDefaults();
    // Nothing of its own: the level above supplies everything, and the level keeps no entry.
    bool inheritsAll() const { return window_inherit && sound_inherit && !priority; }
    // The keys of one of the file's sections, as profileFile::readableSections numbers them.
    void readSection(const profileFile& file, size_t section);
    void writeSection(freshProfile& file, const char* section) const;

    void copyWindowPart(const filter& from);
    void copySoundPart(const filter& from);

    // Every non-empty sound path becomes folder\<its file name>; see the definition.
    void moveSoundsTo(const char* folder);
    // One path moved the same way, within a buffer of the given size; false, leaving the path as
    // it was, when the new path would not fit.
    static bool moveIntoFolder(char* path, size_t size, const char* folder);
};

}  // namespace kiv
