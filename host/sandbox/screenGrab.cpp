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

bool screenGrab::await(const std::string& answer, const std::string& target, DWORD milliseconds,
                       std::string& error) {
    if (!pumpUntil([&] { return fileExists(answer); }, milliseconds)) {
        error = "no answer in " + answer + " within " + std::to_string(milliseconds / 1000) +
                " s: is tools/screen-grabber watching " + folder_ + "?";
        return false;
    }
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
    recording_ = request("rec", area, ".record");
    recordingTarget_ = target;
    return true;
}

bool screenGrab::stopRecording(std::string& error) {
    if (!recording()) {
        error = "expected a recording started with 'record FILE.gif' before 'record stop'";
        return false;
    }
    std::string base = recording_;
    recording_.clear();
    writeWhole(base + ".stop", "\n");
    bool made = await(base + ".gif", recordingTarget_, 120000, error);
    DeleteFileA((base + ".record").c_str());
    DeleteFileA((base + ".stop").c_str());
    return made;
}

}  // namespace kivhost
