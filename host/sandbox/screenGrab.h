// Pictures of the screen for scripts and previews. Under Wine the screen's device context reads
// back black, so real pictures come from outside: with a grab folder, kivhost writes a request
// there and waits while a program on the X side (tools/screen-grabber, ImageMagick's import)
// answers it. Without one, only a BMP taken in-process is possible (right on Windows itself).
//
// The requests, each file written whole under a temporary name and then renamed:
//   shot-N.area  "X Y WIDTH HEIGHT"  answered by shot-N.png, a picture of that area;
//   rec-N.record "X Y WIDTH HEIGHT"  start taking frames of the area; rec-N.stop ends them, and
//                                    rec-N.gif, the animation, is the answer.
#pragma once

#include <windows.h>

#include <string>

namespace kivhost {

class screenGrab {
public:
    explicit screenGrab(const std::string& folder);  // "" when no one outside takes pictures
    screenGrab(const screenGrab&) = delete;
    screenGrab& operator=(const screenGrab&) = delete;

    bool outside() const { return !folder_.empty(); }
    bool recording() const { return !recording_.empty(); }

    // Windows keep being served while kivhost waits. False with a message when no picture came.
    bool picture(const RECT& area, const std::string& target, std::string& error);
    bool startRecording(const RECT& area, const std::string& target, std::string& error);
    bool stopRecording(std::string& error);

private:
    std::string request(const char* kind, const RECT& area, const char* extension);
    bool await(const std::string& answer, const std::string& target, DWORD milliseconds, std::string& error);

    std::string folder_;
    int next_ = 1;
    std::string recording_;  // the request's base name while frames are taken
    std::string recordingTarget_;
};

}  // namespace kivhost
