#include "screenGrab.h"

#include <fstream>

#include "hostCore.h"
#include "pluginLoader.h"
#include "textCodec.h"
#include "windowProbe.h"

namespace kivhost {

namespace {

// The whole file under a temporary name, then renamed, so the other side never reads half of it.
void writeWhole(const std::string& path, const std::string& text) {
    std::string temporary = path + ".tmp";
    std::ofstream(temporary, std::ios::binary) << text;
    MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

screenGrab::screenGrab(const std::string& folder) : folder_(asFolder(folder)) {}

std::string screenGrab::request(const char* kind, const RECT& area, const char* extension) {
    std::string base = folder_ + kind + "-" + std::to_string(next_++);
    writeWhole(base + extension, std::to_string(area.left) + " " + std::to_string(area.top) + " " +
                                     std::to_string(area.right - area.left) + " " +
                                     std::to_string(area.bottom - area.top) + "\n");
    return base;
}

// Waits for the answer; with serveWindows false nothing of this thread runs meanwhile, so what
// is photographed stands still.
bool screenGrab::arrived(const std::string& answer, DWORD milliseconds, bool serveWindows, std::string& error) {
    bool found = false;
    if (serveWindows) {
        found = pumpUntil([&] { return fileExists(answer); }, milliseconds);
    } else {
        const DWORD start = GetTickCount();
        while (!(found = fileExists(answer)) && GetTickCount() - start < milliseconds) Sleep(10);
    }
    if (!found)
        error = "no answer in " + answer + " within " + std::to_string(milliseconds / 1000) +
                " s: is tools/screen-grabber watching " + folder_ + "?";
    return found;
}

bool screenGrab::await(const std::string& answer, const std::string& target, DWORD milliseconds,
                       std::string& error) {
    if (!arrived(answer, milliseconds, true, error)) return false;
    if (!MoveFileExA(answer.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        error = "cannot write " + target + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

bool screenGrab::picture(const RECT& area, const std::string& target, std::string& error) {
    if (recording()) {
        error = "expected no screenshot while a recording runs ('record stop' first)";
        return false;
    }
    if (!outside()) {
        if (!endsWithNoCase(target, ".bmp")) {
            error = "expected a .bmp file: a .png picture needs someone outside to take it (kivhost --grab FOLDER, "
                    "as ./kiv demo runs it)";
            return false;
        }
        if (!saveBmp(captureScreen(area), target)) {
            error = "cannot write " + target;
            return false;
        }
        return true;
    }
    if (!endsWithNoCase(target, ".png")) {
        error = "expected a .png file name for the picture, not " + target;
        return false;
    }
    std::string base = request("shot", area, ".area");
    bool taken = await(base + ".png", target, 60000, error);
    DeleteFileA((base + ".area").c_str());
    return taken;
}

bool screenGrab::startRecording(const RECT& area, const std::string& target, std::string& error) {
    if (!outside()) {
        error = "expected someone outside to record (kivhost --grab FOLDER, as ./kiv demo runs it)";
        return false;
    }
    if (recording()) {
        error = "expected 'record stop' before another recording";
        return false;
    }
    if (!endsWithNoCase(target, ".gif")) {
        error = "expected a .gif file name for the recording, not " + target;
        return false;
    }
    recording_ = true;
    recordingArea_ = area;
    recordingTarget_ = target;
    frames_.clear();
    return true;
}

bool screenGrab::frame(int hundredths, bool changed, std::string& error) {
    if (!changed && !frames_.empty()) {
        frames_.back().hundredths += hundredths;
        return true;
    }
    std::string base = request("shot", recordingArea_, ".area");
    bool taken = arrived(base + ".png", 60000, false, error);
    DeleteFileA((base + ".area").c_str());
    if (taken) frames_.push_back({base.substr(folder_.size()) + ".png", hundredths});
    return taken;
}

bool screenGrab::stopRecording(std::string& error) {
    if (!recording()) {
        error = "expected a recording started with 'record FILE.gif' before 'record stop'";
        return false;
    }
    recording_ = false;
    if (frames_.empty()) {
        error = "expected at least one frame between 'record' and 'record stop' (a wait)";
        return false;
    }
    std::string list;
    for (const recordedFrame& f : frames_) list += std::to_string(f.hundredths) + " " + f.name + "\n";
    std::string base = folder_ + "rec-" + std::to_string(next_++);
    writeWhole(base + ".frames", list);
    bool made = await(base + ".gif", recordingTarget_, 120000, error);
    DeleteFileA((base + ".frames").c_str());
    dropFrames();
    return made;
}

void screenGrab::dropFrames() {
    for (const recordedFrame& f : frames_) DeleteFileA((folder_ + f.name).c_str());
    frames_.clear();
}

}  // namespace kivhost
