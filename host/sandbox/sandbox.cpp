#include "sandbox.h"

#include <fstream>

#include "sandboxWindow.h"
#include "textCodec.h"

namespace kivhost {

sandbox::sandbox(const std::string& pluginPath, const std::string& profileFolder)
    : host_(hostCore::get()), pluginPath_(pluginPath), profile_(profileFolder), book_(host_.contacts),
      events_(book_), chats_(book_) {
    CreateDirectoryA(profile_.c_str(), nullptr);
    host_.setProfile("kivhost", profile_);
    chats_.offerService(host_);
    if (GetFileAttributesA(contactsPath().c_str()) == INVALID_FILE_ATTRIBUTES)
        std::ofstream(contactsPath(), std::ios::binary) << contactsFile::sample();
    window_ = std::make_unique<sandboxWindow>(*this);
    std::string error;
    if (!loadContacts(contactsPath(), error)) note(error);
}

sandbox::~sandbox() {
    options_.reset();
    chats_.closeAll();
    unloadPlugin();
    window_.reset();
}

bool sandbox::loadContacts(const std::string& path, std::string& error) {
    std::vector<contactRecord> contacts;
    if (!contactsFile::read(path, contacts, error)) return false;
    book_.load(contacts);
    window_->showContacts();
    return true;
}

void sandbox::seedFilters() {
    std::string filters = profile_ + "kiv.filters.config";
    if (GetFileAttributesA(filters.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    for (const char* key : {"window_inherit", "window_onlineonly", "sound_inherit"})
        WritePrivateProfileStringA("global", key, "0", filters.c_str());
    for (const char* key : {"window_status_offline", "window_descchange", "window_eventmessage", "window_eventmessagechat"})
        WritePrivateProfileStringA("global", key, "1", filters.c_str());
}

// As the messenger starts any plug-in: the file, its version gate, LoadPlugin; a line in the log.
std::unique_ptr<pluginLoader> sandbox::start(const std::string& path, std::string& error) {
    auto plugin = std::make_unique<pluginLoader>(path);
    if (!plugin->loaded()) {
        error = plugin->error();
        return nullptr;
    }
    const abi::plugin_info* info = plugin->info(abi::minimumHostVersion);
    if (!info) {
        error = path + " refused this host's version";
        return nullptr;
    }
    SetForegroundWindow(window_->handle());
    plugin->load();
    unsigned v = info->version;
    // The path as the program folder sees it: a log (and its pictures) names no folder of this machine.
    const std::string folder = programFolder();
    const bool inside = path.compare(0, folder.size(), folder) == 0;
    const std::string shown = inside ? path.substr(folder.size()) : path;
    note("wczytano " + shown + ": " + info->name + " " + std::to_string(v >> 24) + "." +
         std::to_string((v >> 16) & 0xFF) + "." + std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF));
    return plugin;
}

bool sandbox::loadPlugin(std::string& error) {
    unloadPlugin();
    plugin_ = start(pluginPath_, error);
    return plugin_ != nullptr;
}

// The messenger starts each plug-in once: a second LoadPlugin (of kiv.tpl, say) is refused.
bool sandbox::loadOther(const std::string& fileName, std::string& error) {
    const std::string path = programFolder() + "plugins\\" + fileName;
    if (GetModuleHandleA(path.c_str())) {
        error = "expected a plug-in not loaded yet, not '" + fileName + "'";
        return false;
    }
    std::unique_ptr<pluginLoader> other = start(path, error);
    if (!other) return false;
    others_.push_back(std::move(other));
    return true;
}

// The messenger drops a plug-in's services, hooks, menu items and pages with it. The others go
// first, in the reverse of their order, so each can still close its notifications through kiv.
void sandbox::unloadPlugin() {
    while (!others_.empty()) others_.pop_back();
    if (!plugin_) return;
    options_.reset();
    plugin_.reset();
    host_.reset();
}

optionsWindow* sandbox::options() {
    if (options_ && !options_->isOpen()) options_.reset();
    return options_.get();
}

void sandbox::openOptions() {
    if (!options()) options_ = std::make_unique<optionsWindow>(host_);
    SetForegroundWindow(options_->window());
}

void sandbox::closeOptions(bool keep) {
    if (!options()) return;
    if (keep)
        options_->ok();
    else
        options_->cancel();
    options_.reset();
    SetForegroundWindow(window_->handle());
}

void sandbox::note(const std::string& line) {
    window_->addLog(line);
    printLine(line);
}

int sandbox::run() {
    MSG message;
    int result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (host_.routeDialogMessage(message)) continue;
        optionsWindow* open = options();
        if (open && IsDialogMessageA(open->window(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return result < 0 ? 1 : static_cast<int>(message.wParam);
}

}  // namespace kivhost
