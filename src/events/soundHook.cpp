#include "events/soundHook.h"

#include <string>

#include "base/entryGuard.h"
#include "base/host.h"
#include "base/moduleState.h"
#include "base/sound.h"
#include "filters/filtersManager.h"
#include "history/eventLog.h"
#include "history/notificationHistory.h"
#include "notify/hold.h"
#include "settings/config.h"

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

// What the hook answered and why, for the event log.
struct soundDecision {
    int answer;
    std::string why;
};

const char* offKey(bool config::*off) {
    static const struct {
        bool config::*field;
        const char* key;
    } keys[] = {{&config::offlogin, "offlogin"},
                {&config::offemail, "offemail"},
                {&config::offmessage, "offmessage"},
                {&config::offmessagechatstart, "offmessagechatstart"},
                {&config::offmessagechat, "offmessagechat"},
                {&config::offonline, "offonline"},
                {&config::offfile, "offfile"},
                {&config::offvoice, "offvoice"}};
    for (const auto& k : keys)
        if (k.field == off) return k.key;
    return "";
}

soundDecision handedBack(bool config::*off) {
    return {handBack, std::string("dźwięk komunikatora (") + offKey(off) + "=1)"};
}

soundDecision played(const char* path) {
    return {keepQuiet, std::string("odtworzono ") + path};
}

// An ignored contact, or one without an effective filter (not on the list), gets no sound at
// all: those tests come before the hand-back setting. The note says why a held-back sound was heard.
soundDecision playContactSound(const contactSound& sound, const char* contactId, const char* note) {
    filtersManager* filters = plugin.filters;
    if (!filters || filters->isIgnored(contactId)) return {keepQuiet, "cisza: lista ignorowanych"};
    filter effective;
    if (!filters->getFilter(levelContact, contactId, effective, false))
        return {keepQuiet, "cisza: kontakt spoza listy"};
    soundDecision decision = {keepQuiet, "cisza: brak pliku w filtrze"};
    if (plugin.settings->*sound.off)
        decision = handedBack(sound.off);
    else if (playSound(effective.*sound.path))
        decision = played(effective.*sound.path);
    else if (sound.kind == chatStartKind && playSound(effective.sound_filemessagechat))
        decision = played(effective.sound_filemessagechat);
    else
        return decision;
    decision.why += note;
    return decision;
}

const contactSound* contactSoundOf(int kind) {
    for (const contactSound& sound : contactSounds)
        if (sound.kind == kind) return &sound;
    return nullptr;
}

// A priority contact's sounds pass every hold; the module's own sounds never do.
soundDecision decide(const abi::sound_event& event) {
    if (!event.subject) return {handBack, "dźwięk komunikatora: brak kontaktu"};
    const contactSound* contact = contactSoundOf(event.kind);
    const heldReason held = currentHold();
    const bool passes = held != heldReason::none && contact && plugin.filters &&
                        plugin.filters->isPriority(event.subject->contactId);
    if (held != heldReason::none && !passes) return {keepQuiet, std::string("cisza: ") + heldText(held)};
    for (const ownSound& sound : ownSounds) {
        if (sound.kind != event.kind) continue;
        if (plugin.settings->*sound.off) return handedBack(sound.off);
        if (playSound(plugin.settings->*sound.path)) return played(plugin.settings->*sound.path);
        return {keepQuiet, "cisza: brak pliku w ustawieniach"};
    }
    if (contact)
        return playContactSound(*contact, event.subject->contactId, passes ? "; mimo ciszy: kontakt priorytetowy" : "");
    return {handBack, "dźwięk komunikatora: nieznany rodzaj"};
}

std::string soundName(int kind) {
    static const char* const names[] = {nullptr,           "logowanie", "wiadomość", "nowa rozmowa",
                                        "wiadomość czatu", "wiadomość czatu", nullptr, "online",
                                        nullptr,           "plik",      "rozmowa głosowa", "e-mail"};
    const char* name = kind >= 0 && kind < 12 ? names[kind] : nullptr;
    return std::string("dźwięk: ") + (name ? name : std::to_string(kind).c_str());
}

}  // namespace

int __cdecl onSoundEvent(WPARAM soundEvent, LPARAM) {
    auto* event = reinterpret_cast<const abi::sound_event*>(soundEvent);
    if (!event) return handBack;
    if (!event->subject && !eventLog::enabled()) return handBack;
    soundDecision decision = decide(*event);
    if (eventLog::enabled()) {
        const char* contactId = event->subject ? event->subject->contactId : "";
        eventLog::write("", contactId, soundName(event->kind).c_str(), decision.why.c_str());
    }
    return decision.answer;
}

void hookSoundEvent() {
    hookHandle = host::hookEvent(abi::evtSoundBefore, guarded<onSoundEvent>);
    hooked = true;
}

void unhookSoundEvent() {
    if (!hooked) return;
    host::unhookEvent(hookHandle);
    hookHandle = 0;
    hooked = false;
}

}  // namespace kiv
