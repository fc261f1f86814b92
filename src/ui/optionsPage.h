// The module's page in the host's options window.
#pragma once

#include <windows.h>

#include "base/scopedGdi.h"

namespace kiv {

// The page registered with the host for as long as this lives (the settings' whole lifetime),
// with its window while the host shows it and the two icons the host shows for it.
class optionsPageEntry {
public:
    optionsPageEntry();
    ~optionsPageEntry();
    optionsPageEntry(const optionsPageEntry&) = delete;
    optionsPageEntry& operator=(const optionsPageEntry&) = delete;

    HWND window = nullptr;
    scopedBitmap iconBig;
    scopedBitmap iconSmall;
};

// Queues a sample notification: with a three-line text, or without text (the small window).
void previewNotification(bool withText);

}  // namespace kiv
