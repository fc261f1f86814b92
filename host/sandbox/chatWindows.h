// The sandbox's chat windows, one "TChat" window per contact, opened by a double click on the list,
// by a script, or by a plug-in through Tlen/ChatWindow/Show (which is also recorded, as the host
// library records it).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "chatWindow.h"
#include "contactBook.h"
#include "hostCore.h"

namespace kivhost {

class chatWindows {
public:
    explicit chatWindows(const contactBook& book) : book_(book) {}
    // Gives Tlen/ChatWindow/Show back to the host library: the host outlives every sandbox.
    ~chatWindows();
    chatWindows(const chatWindows&) = delete;
    chatWindows& operator=(const chatWindows&) = delete;

    // Takes over Tlen/ChatWindow/Show from the host library's recording-only answer.
    void offerService(hostCore& host);

    // Opens the window (or brings it forward) with the messenger's title; false for a contact not
    // on the list.
    bool open(const std::string& id);
    bool isOpen(const std::string& id) const;
    void close(const std::string& id);
    void closeAll() { windows_.clear(); }

    // "Ala (ala@tlen.pl) - Dostępny", "Ola (GG# 5123456) - w pracy": the description when there is
    // one, else the status name.
    static std::string title(const contactRecord& contact);

private:
    const contactBook& book_;
    std::map<std::string, std::unique_ptr<chatWindow>> windows_;
    hostCore* host_ = nullptr;
    hostCore::builtinFn hostAnswer_;  // the host library's own, while this one answers
};

}  // namespace kivhost
