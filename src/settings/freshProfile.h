// A private-profile file made from nothing, straight into its bytes: the filter file, whose every
// section is written anew at each save. The bytes are those the platform's writer gives for the
// same calls in the same order (into a file holding only the encoding's mark, for a file in UTF-8
// or UTF-16), as long as no two sections share a name without regard to case and no key comes
// twice in a section (the caller sees to both).
#pragma once

#include <string>

#include "settings/profileCodec.h"

namespace kiv {

class profileFile;

class freshProfile {
public:
    freshProfile() = default;  // a new file: Windows-1250
    // A file that replaces previous: in its encoding, and with its own text for each value that
    // reads the same, so that characters beyond Windows-1250 survive.
    explicit freshProfile(const profileFile& previous);

    void section(const std::string& name);
    void key(const char* name, const char* value);
    // Sections already in the form held inside, written as they are.
    void appendHeld(const std::string& held);

    std::string text() const { return codec_.bytesOf(held_); }

private:
    const profileFile* previous_ = nullptr;
    profileCodec codec_;
    std::string section_;
    std::string held_;
    size_t lastValueEnd_ = std::string::npos;  // where the value written last ends
};

}  // namespace kiv
