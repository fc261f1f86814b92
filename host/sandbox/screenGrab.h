// Pictures of the screen for scripts and previews. Under Wine the screen's device context reads
// back black, so real pictures come from outside: with a grab folder, kivhost writes a request
// there and waits while a program on the X side (tools/screen-grabber, ImageMagick's import)
// answers it. Without one, only a BMP taken in-process is possible (right on Windows itself).
//
// The requests, each file written whole under a temporary name and then renamed:
//   shot-N.area  "X Y WIDTH HEIGHT"  answered by shot-N.png, a picture of that area;
//   rec-N.frames "DELAY NAME" lines  the frames of a recording, each a shot-K.png answered
//                                    before and shown for DELAY hundredths of a second; the
//                                    animation rec-N.gif is the answer.
// A recording takes its frames when told (frame), so the animation is photographed step by step
// with every window painted, however slowly the pictures come.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kivhost {

class screenGrab {
public:
    explicit screenGrab(const std::string& folder);  // "" when no one outside takes pictures
    screenGrab(const screenGrab&) = delete;
    screenGrab& operator=(const screenGrab&) = delete;

    bool outside() const { return !folder_.empty(); }
    bool recording() const { return recording_; }

    // Windows keep being served while kivhost waits. False with a message when no picture came.
    bool picture(const RECT& area, const std::string& target, std::string& error);
    bool startRecording(const RECT& area, const std::string& target, std::string& error);
    // The recorded area as it is now, shown for that many hundredths of a second; nothing else
    // runs meanwhile. Unchanged: the previous frame is shown longer instead.
    bool frame(int hundredths, bool changed, std::string& error);
    bool stopRecording(std::string& error);

private:
    std::string request(const char* kind, const RECT& area, const char* extension);
    bool await(const std::string& answer, const std::string& target, DWORD milliseconds, std::string& error);
    bool arrived(const std::string& answer, DWORD milliseconds, bool serveWindows, std::string& error);
    void dropFrames();

    std::string folder_;
    int next_ = 1;
    struct recordedFrame {
        std::string name;  // shot-K.png in the folder
        int hundredths;
    };
    bool recording_ = false;
    RECT recordingArea_ = {0, 0, 0, 0};
    std::string recordingTarget_;
    std::vector<recordedFrame> frames_;
};

}  // namespace kivhost
