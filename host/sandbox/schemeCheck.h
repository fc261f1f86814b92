// What a scheme author needs to hear about a scheme file before the plug-in quietly falls back to
// defaults: read with the same private-profile functions the plug-in uses, and with the bitmap
// paths resolved as the plug-in resolves them ("#" is the host's folder). Errors make a scheme
// unusable as its author meant it; warnings are what the plug-in copes with in its own way.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivhost {

class schemeCheck {
public:
    // hostFolder ends in a backslash.
    schemeCheck(const std::string& schemePath, const std::string& hostFolder);
    schemeCheck(const schemeCheck&) = delete;
    schemeCheck& operator=(const schemeCheck&) = delete;

    bool usable() const { return errors_.empty(); }
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    std::string value(const char* section, const char* key) const;
    bool present(const char* key) const;
    // Loads the key's bitmap and reports its size; false when there is no bitmap to check.
    bool bitmapSize(const char* key, SIZE& size);
    void checkCut(const char* key, const SIZE& bitmap);
    void checkFont(const char* key);
    void checkSize(const char* key, SIZE& size);
    void checkRect(const char* key, const SIZE& window);

    std::string path_;
    std::string hostFolder_;
    std::vector<std::string> errors_;
    std::vector<std::string> warnings_;
};

}  // namespace kivhost
