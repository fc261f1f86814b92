#include "settings/freshProfile.h"

#include <cstring>

#include "settings/profileFile.h"

namespace kiv {

freshProfile::freshProfile(const profileFile& previous) : previous_(&previous), codec_(previous.codec()) {}

void freshProfile::section(const std::string& name) {
    section_ = name;
    held_ += '[';
    held_ += codec_.toHeld(name);
    held_ += "]\r\n";
}

// The platform strips a value's leading blanks as it writes it, and its trailing ones when it
// reads the file again before the next write: only the value written last keeps them.
void freshProfile::key(const char* name, const char* value) {
    if (lastValueEnd_ != std::string::npos) {
        size_t end = lastValueEnd_;
        while (isProfileBlank(held_[end - 1])) --end;  // stops at the '=' before the value
        held_.erase(end, lastValueEnd_ - end);
    }
    while (isProfileBlank(*value)) ++value;
    if (codec_.kind() == profileCodec::windows1250) {
        held_ += name;
        held_ += '=';
        held_ += value;
    } else {
        held_ += codec_.toHeld(name) + "=" + previous_->keptText(section_, name, value);
    }
    lastValueEnd_ = held_.size();
    held_ += "\r\n";
}

// Their values come from the file as read, which holds no blanks after a value.
void freshProfile::appendHeld(const std::string& held) {
    held_ += held;
    lastValueEnd_ = std::string::npos;
}

}  // namespace kiv
