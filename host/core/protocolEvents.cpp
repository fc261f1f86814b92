#include "protocolEvents.h"

#include "hostCore.h"

namespace kivhost {

int raiseStatusChange(const statusChange& change) {
    abi::status_event record = {};
    record.contactId = change.contactId.c_str();
    record.protocol = change.protocol.c_str();
    record.newStatus = change.newStatus;
    record.previousStatus = change.previousStatus;
    record.newDescription = change.newDescription;
    record.previousDescription = change.previousDescription;
    return hostCore::get().raiseProtocolEvent(change.protocol.c_str(), abi::protocolEventStatus, &record);
}

int raiseMessage(const std::string& protocol, const std::string& contactId, unsigned char flags,
                 const char* text) {
    abi::message_event record = {};
    record.contactId = contactId.c_str();
    record.protocol = protocol.c_str();
    record.flags = flags;
    record.text = text;
    return hostCore::get().raiseProtocolEvent(protocol.c_str(), abi::protocolEventMessage, &record);
}

int raiseLogin(const std::string& protocol) {
    return hostCore::get().raiseProtocolEvent(protocol.c_str(), abi::protocolEventLogin, nullptr);
}

}  // namespace kivhost
