// kivhost as a person uses it: the plug-in loaded into the host, a contact list read from the
// profile, the main window to act on contacts, chat windows and the options window. The script
// runner drives the same object.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chatWindows.h"
#include "contactBook.h"
#include "contactEvents.h"
#include "hostCore.h"
#include "optionsWindow.h"
#include "pluginLoader.h"

namespace kivhost {

class sandboxWindow;

class sandbox {
public:
    // profileFolder ends in a backslash. The contacts file is kivhost.contacts in it; a profile
    // without one gets the built-in sample.
    sandbox(const std::string& pluginPath, const std::string& profileFolder);
    ~sandbox();
    sandbox(const sandbox&) = delete;
    sandbox& operator=(const sandbox&) = delete;

    const std::string& profile() const { return profile_; }
    std::string contactsPath() const { return profile_ + "kivhost.contacts"; }

    bool loadContacts(const std::string& path, std::string& error);

    // A profile without a filter file gets a global filter that lets every event through, so that
    // each of the panel's buttons shows something (the plug-in's own start shows nothing at all).
    void seedFilters();

    // (Re)loads the plug-in: it reads its settings and filters from the profile now.
    bool loadPlugin(std::string& error);
    // Unloads the other plug-ins first, then kiv.
    void unloadPlugin();
    // Another plug-in from the plugins folder (one that calls kiv's services), loaded beside kiv
    // while kiv runs; it unloads with kiv.
    bool loadOther(const std::string& fileName, std::string& error);
    bool pluginRunning() const { return plugin_ && plugin_->running(); }

    contactBook& book() { return book_; }
    contactEvents& events() { return events_; }
    chatWindows& chats() { return chats_; }
    sandboxWindow& window() { return *window_; }

    optionsWindow* options();  // null while it is closed
    void openOptions();
    void closeOptions(bool keep);

    // One line in the window's log and on standard output.
    void note(const std::string& line);

    // The message loop, until the main window is closed or someone posts WM_QUIT; its code.
    int run();

private:
    std::unique_ptr<pluginLoader> start(const std::string& path, std::string& error);

    hostCore& host_;
    std::string pluginPath_;
    std::string profile_;
    std::unique_ptr<pluginLoader> plugin_;
    std::vector<std::unique_ptr<pluginLoader>> others_;
    contactBook book_;
    contactEvents events_;
    chatWindows chats_;
    std::unique_ptr<sandboxWindow> window_;
    std::unique_ptr<optionsWindow> options_;
};

}  // namespace kivhost
