#include "contactEvents.h"

#include "contactStatus.h"
#include "hostCore.h"
#include "protocolEvents.h"
#include "recorders.h"

namespace kivhost {

namespace {

constexpr int soundLogin = 1;
constexpr int soundMessage = 2;
constexpr int soundChatStart = 3;
constexpr int soundChat = 4;
constexpr int soundOnline = 7;
constexpr int soundFile = 9;
constexpr int soundVoice = 10;
constexpr int soundEmail = 11;

// What the plug-in played since the recorder held `before` sounds, for the report; "" for nothing.
std::string pluginSound(size_t before) {
    const auto& played = soundRecorder::get().played;
    if (played.size() <= before) return "";
    return "; dźwięk wtyczki: " + (played.back().file.empty() ? "(brak pliku)" : played.back().file);
}

std::string label(const contactRecord& contact) {
    return contact.name + " (" + contact.id + ")";
}

}  // namespace

const contactRecord* contactEvents::contact(const std::string& id, std::string& report) const {
    const contactRecord* found = book_.find(id);
    if (!found) report = "nie ma kontaktu " + id + " na liście";
    return found;
}

// Raises the sound event and says who plays it: the plug-in's file, the host's own sound, or
// nothing at all.
std::string contactEvents::sound(int kind, const std::string& subject) {
    size_t before = soundRecorder::get().played.size();
    int answer = hostCore::get().raiseSoundEvent(kind, subject.c_str());
    if (std::string played = pluginSound(before); !played.empty()) return played;
    return answer == 0 ? "; dźwięk komunikatora" : "; bez dźwięku";
}

bool contactEvents::changeStatus(const std::string& id, int status, const std::string& description,
                                 std::string& report) {
    const contactRecord* found = contact(id, report);
    if (!found) return false;
    if (!statusName(status)[0]) {
        report = "nieznany status " + std::to_string(status);
        return false;
    }
    contactRecord previous = *found;
    book_.setStatus(id, status, description);
    statusChange change;
    change.protocol = previous.protocol;
    change.contactId = id;
    change.newStatus = status;
    change.previousStatus = previous.status;
    change.newDescription = description.c_str();
    change.previousDescription = previous.description.c_str();
    size_t before = soundRecorder::get().played.size();
    raiseStatusChange(change);
    report = label(previous) + ": " + statusName(previous.status) + " -> " + statusName(status);
    if (!description.empty()) report += " \"" + description + "\"";
    report += pluginSound(before);
    if (!isOnlineStatus(previous.status) && isOnlineStatus(status)) report += sound(soundOnline, id);
    return true;
}

bool contactEvents::message(const std::string& id, const std::string& text, std::string& report) {
    const contactRecord* found = contact(id, report);
    if (!found) return false;
    raiseMessage(found->protocol, id, abi::messageFlagNormal, text.c_str());
    report = "wiadomość od " + label(*found) + sound(soundMessage, id);
    return true;
}

bool contactEvents::chatMessage(const std::string& id, const std::string& text, std::string& report) {
    const contactRecord* found = contact(id, report);
    if (!found) return false;
    bool starts = chatting_.insert(id).second;
    raiseMessage(found->protocol, id, abi::messageFlagChat, text.c_str());
    report = std::string(starts ? "nowa rozmowa z " : "rozmowa z ") + label(*found) +
             sound(starts ? soundChatStart : soundChat, id);
    return true;
}

bool contactEvents::fileOffer(const std::string& id, std::string& report) {
    const contactRecord* found = contact(id, report);
    if (!found) return false;
    report = "plik od " + label(*found) + sound(soundFile, id);
    return true;
}

bool contactEvents::voiceCall(const std::string& id, std::string& report) {
    const contactRecord* found = contact(id, report);
    if (!found) return false;
    report = "rozmowa głosowa od " + label(*found) + sound(soundVoice, id);
    return true;
}

bool contactEvents::emailNotice(const std::string& from, std::string& report) {
    report = "nowa poczta od " + from + sound(soundEmail, from);
    return true;
}

bool contactEvents::login(const std::string& protocol, std::string& report) {
    if (protocol != "TLEN" && protocol != "GG") {
        report = "nieznany protokół " + protocol + " (TLEN albo GG)";
        return false;
    }
    size_t before = soundRecorder::get().played.size();
    raiseLogin(protocol);
    report = "zalogowano do " + protocol;
    report += pluginSound(before);
    if (protocol == "TLEN") report += sound(soundLogin, protocol);
    return true;
}

}  // namespace kivhost
