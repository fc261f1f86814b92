#include "filters/filter.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/text.h"
#include "settings/freshProfile.h"
#include "settings/profileFile.h"

namespace kiv {

namespace {

enum class keyPart { always, window, sound, whenSet };

// Every key of a section once, in the order a section is written, with its default for a file
// that lacks it. The inherit keys are always written; the others only with a part of its own, and
// priority only when set, so a file without priority contacts reads as an older kiv wrote it.
template <class Filter, class Visitor>
void visitKeys(Filter& f, Visitor& v) {
    v.flag(keyPart::always, "window_inherit", f.window_inherit, 1);
    v.flag(keyPart::window, "window_status_online", f.window_status[2], 1);
    v.flag(keyPart::window, "window_status_chat", f.window_status[3], 1);
    v.flag(keyPart::window, "window_status_dnd", f.window_status[4], 1);
    v.flag(keyPart::window, "window_status_away", f.window_status[5], 1);
    v.flag(keyPart::window, "window_status_xa", f.window_status[6], 1);
    v.flag(keyPart::window, "window_status_offline", f.window_status[1], 0);
    v.flag(keyPart::window, "window_onlineonly", f.window_onlineonly, 1);
    v.flag(keyPart::window, "window_ignoreaway", f.window_ignoreaway, 0);
    v.flag(keyPart::window, "window_descchange", f.window_descchange, 0);
    v.flag(keyPart::window, "window_eventmessage", f.window_eventmessage, 0);
    v.flag(keyPart::window, "window_eventmessagechat", f.window_eventmessagechat, 0);
    v.flag(keyPart::always, "sound_inherit", f.sound_inherit, 1);
    v.path("sound_fileonline", f.sound_fileonline);
    v.path("sound_fileoffline", f.sound_fileoffline);
    v.path("sound_filemessage", f.sound_filemessage);
    v.path("sound_filemessagechatstart", f.sound_filemessagechatstart);
    v.path("sound_filemessagechat", f.sound_filemessagechat);
    v.path("sound_filefile", f.sound_filefile);
    v.path("sound_filevoice", f.sound_filevoice);
    v.flag(keyPart::whenSet, "priority", f.priority, 0);
}

struct sectionReader {
    const profileFile& file;
    size_t section;

    void flag(keyPart, const char* key, bool& field, int fallback) { field = file.number(section, key, fallback) != 0; }
    void path(const char* key, char (&field)[filterPathSize]) { file.text(section, key, "", field, filterPathSize); }
};

struct sectionWriter {
    freshProfile& file;
    bool windowOwn;
    bool soundOwn;

    void flag(keyPart part, const char* key, const bool& field, int) {
        if (part == keyPart::always || (part == keyPart::window && windowOwn) || (part == keyPart::whenSet && field))
            file.key(key, field ? "1" : "0");
    }
    void path(const char* key, const char (&field)[filterPathSize]) {
        if (soundOwn) file.key(key, field);
    }
};

struct soundMover {
    const char* folder;

    void flag(keyPart, const char*, bool&, int) {}

    // A result that would not fit the field keeps the old path: a cut path would name a file
    // that does not exist, and the user could not tell why the sound went quiet.
    void path(const char*, char (&field)[filterPathSize]) { filter::moveIntoFolder(field, filterPathSize, folder); }
};

}  // namespace

void filter::setDefaults() {
    *this = filter();
}

void filter::readSection(const profileFile& file, size_t section) {
    sectionReader reader{file, section};
    visitKeys(*this, reader);
}

void filter::writeSection(freshProfile& file, const char* section) const {
    if (inheritsAll()) return;
    file.section(section);
    sectionWriter writer{file, !window_inherit, !sound_inherit};
    visitKeys(*this, writer);
}

void filter::copyWindowPart(const filter& from) {
    window_inherit = from.window_inherit;
    std::copy(std::begin(from.window_status), std::end(from.window_status), window_status);
    window_onlineonly = from.window_onlineonly;
    window_ignoreaway = from.window_ignoreaway;
    window_descchange = from.window_descchange;
    window_eventmessage = from.window_eventmessage;
    window_eventmessagechat = from.window_eventmessagechat;
}

void filter::copySoundPart(const filter& from) {
    sound_inherit = from.sound_inherit;
    copyText(sound_fileonline, from.sound_fileonline);
    copyText(sound_fileoffline, from.sound_fileoffline);
    copyText(sound_filemessage, from.sound_filemessage);
    copyText(sound_filemessagechatstart, from.sound_filemessagechatstart);
    copyText(sound_filemessagechat, from.sound_filemessagechat);
    copyText(sound_filefile, from.sound_filefile);
    copyText(sound_filevoice, from.sound_filevoice);
}

bool filter::moveIntoFolder(char* path, size_t size, const char* folder) {
    if (!path[0]) return true;
    const char* slash = strrchr(path, '\\');
    const char* forward = strrchr(path, '/');
    const char* name = std::max(slash ? slash + 1 : path, forward ? forward + 1 : path);
    std::string moved = folder ? folder : "";
    if (moved.empty() || (moved.back() != '\\' && moved.back() != '/')) moved += '\\';
    moved += name;
    if (moved.size() >= size) return false;
    copyText(path, size, moved.c_str());
    return true;
}

// An empty or missing folder changes nothing: a bare backslash would point the sounds at the
// root of whatever drive is current.
void filter::moveSoundsTo(const char* folder) {
    if (!folder || !*folder) return;
    soundMover mover{folder};
    visitKeys(*this, mover);
}

}  // namespace kiv
