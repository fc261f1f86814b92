#include "schemePreview.h"

#include <algorithm>
#include <climits>

#include "paintRecorder.h"
#include "pluginLoader.h"
#include "schemeCheck.h"
#include "schemeShots.h"
#include "schemeValues.h"
#include "textCodec.h"
#include "windowProbe.h"

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

// The scheme's file name as the plug-in's setting names it, and the copy made for it, if any. The
// copy names each "#" bitmap by the full path the check found it at, so that the plug-in draws
// what the scheme will draw once installed.
class schemeInPlace {
public:
    schemeInPlace(const std::string& schemePath, const std::string& schemeFolder,
                  const std::vector<std::pair<std::string, std::string>>& bitmaps)
        : name_(fileName(schemePath)) {
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, folderOf(schemePath).c_str(), -1, schemeFolder.c_str(),
                           -1) == CSTR_EQUAL)
            return;
        name_ = "kivpreview-" + name_;
        copy_ = schemeFolder + name_;
        CopyFileA(schemePath.c_str(), copy_.c_str(), FALSE);
        for (const auto& bitmap : bitmaps)
            WritePrivateProfileStringA("skin", bitmap.first.c_str(), bitmap.second.c_str(), copy_.c_str());
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

void printFindings(const std::string& schemePath, const schemeCheck& check) {
    struct line {
        const schemeFinding* finding;
        const char* kind;
    };
    std::vector<line> lines;
    for (const schemeFinding& finding : check.errors()) lines.push_back({&finding, "error"});
    for (const schemeFinding& finding : check.warnings()) lines.push_back({&finding, "note"});
    // By line, what concerns the whole file last.
    auto order = [](const line& entry) { return entry.finding->line ? entry.finding->line : INT_MAX; };
    std::stable_sort(lines.begin(), lines.end(), [&](const line& a, const line& b) { return order(a) < order(b); });
    for (const line& entry : lines)
        printLine("kivhost: " + schemePath + (entry.finding->line ? ":" + std::to_string(entry.finding->line) : "") +
                  ": " + entry.kind + ": " + entry.finding->text);
}

// The fonts and colours the plug-in drew the normal notification's two lines in, as read off its paint.
std::vector<std::string> drawnStyles() {
    paintedWindow normal;
    for (HWND window : findWindows("kiv_notify_window")) {
        paintedWindow painted = paintRecorder::get().latest(window);
        if (painted.styles.size() > normal.styles.size()) normal = painted;
    }
    std::vector<std::string> lines;
    const char* names[] = {"contact line", "description"};
    for (size_t i = 0; i < normal.styles.size() && i < 2; ++i)
        lines.push_back(std::string(names[i]) + ": " + describeFont(normal.styles[i].font) + ", " +
                        describeColour(normal.styles[i].colour));
    return lines;
}

}  // namespace

int previewScheme(const std::string& pluginPath, const std::string& schemePath, const std::string& outPath,
                  screenGrab& grab) {
    schemeCheck check(schemePath, programFolder());
    printFindings(schemePath, check);
    if (!check.exists()) return 1;

    char temporary[MAX_PATH] = "";
    GetTempPathA(sizeof temporary, temporary);
    std::string profile = std::string(temporary) + "kivpreview\\";
    CreateDirectoryA(profile.c_str(), nullptr);
    schemeInPlace scheme(schemePath, schemeFolder(), check.resolvedBitmaps());
    std::string error;
    std::vector<std::string> styles;
    bool shown = showScheme(pluginPath, profile, scheme.name(), [&](const RECT& area) {
        styles = drawnStyles();
        return grab.picture(area, outPath, error);
    });
    if (!shown) {
        printLine("kivhost: no picture of " + schemePath + (error.empty() ? ": the plug-in did not load" : ": " + error));
        return 1;
    }
    printLine("kivhost: wrote " + outPath);
    for (const std::string& style : styles) printLine("kivhost: " + style);
    printLine("kivhost: " + check.surfaceColours());
    return check.usable() ? 0 : 1;
}

}  // namespace kivhost
