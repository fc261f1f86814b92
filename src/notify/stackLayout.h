// Where the windows of a stack stand within the work area: the corner they grow from, bind and
// space as the settings give them, and never a pixel outside the area, whatever those values are.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kiv {

class stackLayout {
public:
    // origin: where bind counts from on the left and at the top.
    stackLayout(const RECT& area, const RECT& origin, int32_t bindpos, int32_t bindX, int32_t bindY, int32_t space);

    // The x of a window this wide.
    int x(int width) const;
    // The edge nearest the corner of the first window.
    int firstEdge() const { return first_; }
    // The y of a window of this height whose edge nearest the corner is at edge.
    int y(int edge, int height) const;
    // The edge of the window after one placed at y with this height.
    int nextEdge(int y, int height) const;
    // Whether a window of this height stays within the area with its nearest edge at edge.
    bool fits(int edge, int height) const;
    // The height windows stacked from the first edge may take together, spaces included.
    int room() const;
    int space() const { return space_; }

private:
    RECT area_;
    bool top_, left_;
    int first_;
    int anchorX_;  // the left edge on the left, the right edge on the right
    int space_;
};

}  // namespace kiv
