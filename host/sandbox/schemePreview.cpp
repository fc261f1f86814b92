#include "schemePreview.h"

#include "pluginLoader.h"
#include "schemeCheck.h"
#include "schemeShots.h"
#include "textCodec.h"

namespace kivhost {

namespace {

std::string fileName(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);
}

std::string folderOf(const std::string& path) {
    char full[MAX_PATH] = "";
    GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string text = full;
    return text.substr(0, text.find_last_of('\\') + 1);
}

// The scheme's file name as the plug-in's setting names it, and the copy made for it, if any.
class schemeInPlace {
public:
    schemeInPlace(const std::string& schemePath, const std::string& schemeFolder) : name_(fileName(schemePath)) {
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, folderOf(schemePath).c_str(), -1, schemeFolder.c_str(),
                           -1) == CSTR_EQUAL)
            return;
        name_ = "kivpreview-" + name_;
        copy_ = schemeFolder + name_;
        CopyFileA(schemePath.c_str(), copy_.c_str(), FALSE);
    }
    ~schemeInPlace() {
        if (!copy_.empty()) DeleteFileA(copy_.c_str());
    }
    schemeInPlace(const schemeInPlace&) = delete;
    schemeInPlace& operator=(const schemeInPlace&) = delete;
    const std::string& name() const { return name_; }

private:
    std::string name_;
    std::string copy_;
};

}  // namespace

int previewScheme(const std::string& pluginPath, const std::string& schemePath, const std::string& outPath,
                  screenGrab& grab) {
    schemeCheck check(schemePath, programFolder());
    for (const std::string& warning : check.warnings()) printLine("kivhost: " + schemePath + ": note: " + warning);
    for (const std::string& error : check.errors()) printLine("kivhost: " + schemePath + ": error: " + error);
    if (!check.usable()) return 1;

    char temporary[MAX_PATH] = "";
    GetTempPathA(sizeof temporary, temporary);
    std::string profile = std::string(temporary) + "kivpreview\\";
    CreateDirectoryA(profile.c_str(), nullptr);
    schemeInPlace scheme(schemePath, schemeFolder());
    std::string error;
    bool shown = showScheme(pluginPath, profile, scheme.name(),
                            [&](const RECT& area) { return grab.picture(area, outPath, error); });
    if (!shown) {
        printLine("kivhost: no picture of " + schemePath + (error.empty() ? ": the plug-in did not load" : ": " + error));
        return 1;
    }
    printLine("kivhost: wrote " + outPath);
    return 0;
}

}  // namespace kivhost
