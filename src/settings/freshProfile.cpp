#include "settings/freshProfile.h"

#include <cstring>

#include "settings/profileFile.h"

namespace kiv {

void freshProfile::section(const std::string& name) {
    bytes_ += '[';
    bytes_ += name;
    bytes_ += "]\r\n";
}

// The platform strips a value's leading blanks as it writes it, and its trailing ones when it
// reads the file again before the next write: only the value written last keeps them.
void freshProfile::key(const char* name, const char* value) {
    if (lastValueEnd_ != std::string::npos) {
        size_t end = lastValueEnd_;
        while (isProfileBlank(bytes_[end - 1])) --end;  // stops at the '=' before the value
        bytes_.erase(end, lastValueEnd_ - end);
    }
    while (isProfileBlank(*value)) ++value;
    bytes_ += name;
    bytes_ += '=';
    bytes_.append(value, strlen(value));
    lastValueEnd_ = bytes_.size();
    bytes_ += "\r\n";
}

}  // namespace kiv
