// The encodings a private-profile file may be in, told apart as the platform's profile functions
// tell them: a byte-order mark of UTF-16 (either byte order) or of UTF-8, or none: Windows-1250.
// Inside, a file's text is bytes that its parser splits at ASCII marks: a Windows-1250 file as it
// is, any other in UTF-8, whose characters beyond ASCII are made of bytes above 0x7F only.
#pragma once

#include <string>
#include <string_view>

namespace kiv {

class profileCodec {
public:
    enum encoding { windows1250, utf8, utf16le, utf16be };

    profileCodec() = default;  // a new file: Windows-1250
    // The encoding of a file, from its first bytes.
    static profileCodec of(const std::string& bytes);
    // A file's contents without the mark, as held inside, and back to the file's bytes.
    std::string textOf(std::string bytes) const;
    std::string bytesOf(const std::string& text) const;

    encoding kind() const { return kind_; }
    // Text of ASCII bytes alone reads the same in every encoding.
    static bool isAscii(std::string_view text);
    // A name or value of the module (Windows-1250) as held inside, and one held inside as the
    // platform's single-byte functions give it: a character beyond Windows-1250 becomes its
    // nearest letter or '?'.
    std::string toHeld(std::string module) const;
    std::string toModule(std::string held) const;
    // Whether the text is the same after the way through Windows-1250 and back.
    bool fitsWindows1250(const std::string& text) const;
    // The text in lower case, for names matched without regard to case as the platform matches them.
    std::string folded(std::string text) const;
    // Whether two names as held inside are one for the platform, and a hash that agrees: most
    // names are compared and hashed in place, byte by byte.
    bool sameName(std::string_view a, std::string_view b) const;
    size_t nameHash(std::string_view name) const;

private:
    explicit profileCodec(encoding kind) : kind_(kind) {}

    encoding kind_ = windows1250;
};

}  // namespace kiv
