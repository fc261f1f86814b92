// A private-profile file made from nothing, straight into its bytes: the filter file, whose every
// section is written anew at each save. The bytes are those the platform's writer gives for the
// same calls in the same order, as long as no two sections share a name without regard to case
// and no key comes twice in a section (the caller sees to both).
#pragma once

#include <string>

namespace kiv {

class freshProfile {
public:
    void section(const std::string& name);
    void key(const char* name, const char* value);

    const std::string& text() const { return bytes_; }

private:
    std::string bytes_;
    size_t lastValueEnd_ = std::string::npos;  // where the value written last ends
};

}  // namespace kiv
