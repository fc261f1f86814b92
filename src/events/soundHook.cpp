#include "events/soundHook.h"

#include "filters/filtersManager.h"
#include "settings/config.h"
#include "shell/host.h"
#include "shell/plugin.h"
#include "shell/sound.h"

namespace kiv {

namespace {

constexpr int handBack = 0;
constexpr int keepQuiet = -1;

int hookHandle = 0;
bool hooked = false;  // the host may hand out any handle, 0 too

// Sounds of the module itself, from the settings.
struct ownSound {
    int kind;
    bool config::*off;
    char (config::*path)[260];
};

constexpr ownSound ownSounds[] = {
    {1, &config::offlogin, &config::filelogintlen},
    {11, &config::offemail, &config::fileemail},
};

// Sounds about a contact, from its effective filter. Kind 3 falls back to the chat-message file.
struct contactSound {
    int kind;
    bool config::*off;
    char (filter::*path)[filterPathSize];
};

constexpr contactSound contactSounds[] = {
    {2, &config::offmessage, &filter::sound_filemessage},
    {3, &config::offmessagechatstart, &filter::sound_filemessagechatstart},
    {4, &config::offmessagechat, &filter::sound_filemessagechat},
    {5, &config::offmessagechat, &filter::sound_filemessagechat},
    {7, &config::offonline, &filter::sound_fileonline},
    {9, &config::offfile, &filter::sound_filefile},
    {10, &config::offvoice, &filter::sound_filevoice},
};
constexpr int chatStartKind = 3;

// An ignored contact, or one without an effective filter (not on the list), gets no sound at
// all: those tests come before the hand-back setting.
int playContactSound(const contactSound& sound, const char* contactId) {
    filtersManager* filters = plugin.filters;
    if (!filters || filters->isIgnored(contactId)) return keepQuiet;
    filter effective;
    if (!filters->getFilter(levelContact, contactId, effective, false)) return keepQuiet;
    if (plugin.settings->*sound.off) return handBack;
    if (!playSound(effective.*sound.path) && sound.kind == chatStartKind) playSound(effective.sound_filemessagechat);
    return keepQuiet;
}

}  // namespace

int __cdecl onSoundEvent(WPARAM soundEvent, LPARAM) {
    auto* event = reinterpret_cast<const abi::sound_event*>(soundEvent);
    if (!event || !event->subject) return handBack;
    if (notificationsSuppressed()) return keepQuiet;
    for (const ownSound& sound : ownSounds) {
        if (sound.kind != event->kind) continue;
        if (plugin.settings->*sound.off) return handBack;
        playSound(plugin.settings->*sound.path);
        return keepQuiet;
    }
    for (const contactSound& sound : contactSounds)
        if (sound.kind == event->kind) return playContactSound(sound, event->subject->contactId);
    return handBack;
}

void hookSoundEvent() {
    hookHandle = host::hookEvent(abi::evtSoundBefore, onSoundEvent);
    hooked = true;
}

void unhookSoundEvent() {
    if (!hooked) return;
    host::unhookEvent(hookHandle);
    hookHandle = 0;
    hooked = false;
}

}  // namespace kiv
