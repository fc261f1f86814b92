// The module's page in the host's options window.
#pragma once

namespace kiv {

class config;

// Registration with the host, made and undone by config for its whole lifetime.
void addOptionsPage(config& settings);
void removeOptionsPage(config& settings);

// Queues a sample notification: with a three-line text, or without text (the small window).
void previewNotification(bool withText);

}  // namespace kiv
