#include "chatWindows.h"

#include "contactStatus.h"

namespace kivhost {

chatWindows::~chatWindows() {
    if (host_) host_->offer(abi::svcChatWindowShow, std::move(hostAnswer_));
}

void chatWindows::offerService(hostCore& host) {
    host_ = &host;
    hostAnswer_ = host.offer(abi::svcChatWindowShow, [this, &host](WPARAM record, LPARAM) {
        auto* request = reinterpret_cast<const abi::chat_window_request*>(record);
        if (!request || !request->contactId) return 0;
        chatRequest shown;
        shown.contactId = request->contactId;
        shown.protocol = request->protocol ? request->protocol : "";
        shown.title = request->title ? request->title : "";
        shown.status = request->status;
        shown.network = request->network;
        host.chatRequests().push_back(shown);
        open(shown.contactId);
        return 0;
    });
}

std::string chatWindows::title(const contactRecord& contact) {
    std::string status = contact.description.empty() ? statusName(contact.status) : contact.description;
    std::string id = contact.protocol == "TLEN" ? contact.id : "GG# " + contact.id;
    return contact.name + " (" + id + ") - " + status;
}

bool chatWindows::open(const std::string& id) {
    const contactRecord* contact = book_.find(id);
    if (!contact) return false;
    auto& slot = windows_[id];
    const std::string text = title(*contact);
    if (!slot || !IsWindow(slot->handle()))
        slot = std::make_unique<chatWindow>(text);
    else
        slot->setTitle(text);
    slot->bringToFront();
    return true;
}

bool chatWindows::isOpen(const std::string& id) const {
    auto found = windows_.find(id);
    return found != windows_.end() && IsWindow(found->second->handle());
}

void chatWindows::close(const std::string& id) {
    windows_.erase(id);
}

}  // namespace kivhost
