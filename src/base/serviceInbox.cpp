#include "base/serviceInbox.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace kiv {

serviceInbox inbox;

void serviceInbox::adoptThisThread() {
    InterlockedExchange(&thread_, static_cast<LONG>(GetCurrentThreadId()));
}

bool serviceInbox::onOwnThread() const {
    const auto owner = static_cast<DWORD>(InterlockedCompareExchange(&thread_, 0, 0));
    return owner != 0 && owner == GetCurrentThreadId();
}

void serviceInbox::open() {
    heldLock lock(lock_);
    open_ = true;
}

void serviceInbox::close() {
    std::deque<entry> dropped;  // freed once the lock is let go
    {
        heldLock lock(lock_);
        open_ = false;
        dropped.swap(waiting_);
    }
}

bool serviceInbox::post(job work, int32_t about) {
    return push({std::move(work), nullptr, about}, false) != 0;
}

// Changes of different parts of one notification do not depend on each other's order, so one may
// be passed over to find the earlier change of the same part; a show or close may not.
bool serviceInbox::postChange(int32_t about, int what, job work) {
    job replaced;  // freed once the lock is let go
    heldLock lock(lock_);
    if (!open_) return false;
    for (auto at = waiting_.rbegin(); at != waiting_.rend(); ++at) {
        if (at->id != about) continue;
        if (!at->change) break;
        if (at->change != what) continue;
        replaced.swap(at->work);
        at->work.swap(work);
        return true;
    }
    if (!accepting()) return false;
    append({std::move(work), nullptr, about, what});
    return true;
}

int32_t serviceInbox::postWithId(jobWithId work) {
    return push({nullptr, std::move(work), 0}, true);
}

int32_t serviceInbox::push(entry posted, bool giveId) {
    heldLock lock(lock_);
    if (!accepting() || (giveId && lastId_ == INT32_MAX)) return 0;
    if (giveId) posted.id = ++lastId_;
    const int32_t given = giveId ? posted.id : 1;
    append(std::move(posted));
    return given;
}

// One message per empty inbox is enough: a batch that leaves calls behind posts the next.
void serviceInbox::append(entry posted) {
    const bool wasEmpty = waiting_.empty();
    waiting_.push_back(std::move(posted));
    if (wasEmpty && wakeWindow_) PostMessageA(wakeWindow_, wakeMessage, 0, 0);
}

void serviceInbox::wakeThrough(HWND window) {
    heldLock lock(lock_);
    wakeWindow_ = window;
}

int32_t serviceInbox::takeId() {
    heldLock lock(lock_);
    return lastId_ == INT32_MAX ? 0 : ++lastId_;
}

bool serviceInbox::givenOut(int32_t id) const {
    heldLock lock(lock_);
    return id > 0 && id <= lastId_;
}

bool serviceInbox::holds(int32_t id) const {
    heldLock lock(lock_);
    return id > 0 && std::any_of(waiting_.begin(), waiting_.end(), [id](const entry& e) { return e.id == id; });
}

// A batch, not everything: a caller that keeps posting would otherwise hold this thread for as long
// as it calls.
bool serviceInbox::runBatch() {
    for (size_t run = 0; run < batch; ++run) {
        entry next;
        {
            heldLock lock(lock_);
            if (waiting_.empty()) return false;
            next = std::move(waiting_.front());
            waiting_.pop_front();
        }
        next.run();
    }
    heldLock lock(lock_);
    return !waiting_.empty();
}

}  // namespace kiv
