// What a scheme author needs to hear about a scheme file before the plug-in quietly falls back to
// defaults, each finding with the line it is about: keys the plug-in does not know (with the
// nearest one it does), values that do not read as their key's form, bitmaps that do not load,
// cuts and rectangles that do not fit, fonts without the Polish character set. Values are read
// with the same private-profile functions the plug-in uses; the file's text gives only the lines.
// Errors make a scheme draw otherwise than its author meant; notes are what the plug-in copes with.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace kivhost {

struct schemeFinding {
    int line = 0;  // 0: about the whole file
    std::string text;
};

class schemeCheck {
public:
    // A "#" bitmap path is resolved as it will be once the scheme is installed: the scheme's own
    // folder stands for plugins\kiv.scheme\ under the messenger's folder; a "#" path elsewhere
    // than there is looked up under hostFolder (ending in a backslash), the messenger here.
    schemeCheck(const std::string& schemePath, const std::string& hostFolder);
    schemeCheck(const schemeCheck&) = delete;
    schemeCheck& operator=(const schemeCheck&) = delete;

    bool exists() const { return exists_; }
    bool usable() const { return errors_.empty(); }
    const std::vector<schemeFinding>& errors() const { return errors_; }
    const std::vector<schemeFinding>& warnings() const { return warnings_; }
    // Each "#" bitmap key that loads, with the full path it was found at.
    const std::vector<std::pair<std::string, std::string>>& resolvedBitmaps() const { return resolved_; }
    // The colours that are not drawn as text ("background #FFFFFF"), in readable form.
    std::string surfaceColours() const;

private:
    struct keyLine {
        std::string section, key;  // key "" for the section's own line
        int line;
        bool hasValue;  // the line has an '='

    };
    void readLines();
    void checkKeys();
    int lineOf(const char* section, const char* key) const;
    void error(const char* key, const std::string& text);
    void warning(const char* key, const std::string& text);
    std::string value(const char* section, const char* key) const;
    bool present(const char* key) const;
    void checkForm(const char* key);
    void checkColour(const char* key);
    // Loads the key's bitmap and reports its size; false when there is no bitmap to check.
    bool bitmapSize(const char* key, SIZE& size);
    std::string resolveHash(const std::string& rest) const;
    void checkCut(const char* key, const SIZE& bitmap);
    void checkFont(const char* key);
    void checkSize(const char* key, SIZE& size);
    void checkRect(const char* key, const SIZE& window);

    std::string path_;
    std::string folder_;
    std::string hostFolder_;
    bool exists_ = false;
    std::vector<keyLine> lines_;
    std::vector<schemeFinding> errors_;
    std::vector<schemeFinding> warnings_;
    std::vector<std::pair<std::string, std::string>> resolved_;
};

}  // namespace kivhost
