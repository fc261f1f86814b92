// The module's page in the host's options window.
#pragma once

namespace kiv {

class config;

// The page registered with the host for as long as this lives (the settings' whole lifetime).
class optionsPageEntry {
public:
    explicit optionsPageEntry(config& settings);
    ~optionsPageEntry();
    optionsPageEntry(const optionsPageEntry&) = delete;
    optionsPageEntry& operator=(const optionsPageEntry&) = delete;

private:
    config& settings_;
};

// Queues a sample notification: with a three-line text, or without text (the small window).
void previewNotification(bool withText);

}  // namespace kiv
