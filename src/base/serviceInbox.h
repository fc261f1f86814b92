// Calls that other plug-ins make from their own threads, carried to the user-interface thread.
// A foreign thread only takes the lock, copies its request in and leaves: it never waits for the
// user-interface thread, which may itself be waiting for it. The user-interface thread runs what
// waits a batch at a time (when the message posted to the window it wakes through arrives, and
// before each service call of its own), in the order the calls arrived, and goes back to its
// messages in between. A plug-in
// that calls faster than that is refused once the inbox is full; its changes of one part of a
// notification that wait together count as one, the last.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>

#include "base/criticalSection.h"
#include "kiv/popup.h"

namespace kiv {

class serviceInbox {
public:
    using job = std::function<void()>;
    using jobWithId = std::function<void(int32_t)>;

    serviceInbox() = default;
    serviceInbox(const serviceInbox&) = delete;
    serviceInbox& operator=(const serviceInbox&) = delete;

    // The thread that loads the module is the user-interface thread from then on.
    void adoptThisThread();
    bool onOwnThread() const;
    // At most this many calls wait; past it a call is refused.
    static constexpr size_t capacity = popupWaitingCalls;
    // What the user-interface thread runs in one turn before it returns to its messages.
    static constexpr size_t batch = 128;

    // Accepts calls from other threads. Ids go on from where an earlier load left them: a caller
    // may still hold one of those.
    void open();
    // Refuses further calls and drops what still waits, before the module's objects go.
    void close();
    // The window that gets wakeMessage when a call comes to an empty inbox; null: none.
    void wakeThrough(HWND window);
    static constexpr UINT wakeMessage = WM_APP + 1;

    // Queues the job for the user-interface thread, about the id given (0: none); false once closed
    // or full.
    bool post(job work, int32_t about = 0);
    // The latest change of one part of the id (what: which part, from 1): while an earlier change
    // of that part still waits, with nothing but changes of its other parts behind it, this one
    // takes its place. False once closed or full.
    bool postChange(int32_t about, int what, job work);
    // Gives out the next id and queues the job that shows it, under one lock, so a later call
    // with that id from any thread finds its request ahead of it. 0 when closed, full or ids are
    // spent.
    int32_t postWithId(jobWithId work);
    // The next id for the user-interface thread's own call; 0 once every id is spent.
    int32_t takeId();
    // Whether the id was ever given out in this process.
    bool givenOut(int32_t id) const;
    // Whether a job about the id still waits.
    bool holds(int32_t id) const;

    // Runs at most one batch of the jobs that wait, oldest first, one at a time; a job may post
    // or run a batch again. True when jobs still wait after it.
    bool runBatch();

private:
    // A job and the id it is about, or a job and the id it was given. Made before the lock is
    // taken, so that only the id and a move happen under it.
    struct entry {
        job work;
        jobWithId workWithId;
        int32_t id = 0;  // the id the job is about, or was given
        int change = 0;  // the part of the id it changes, replaced by a later change of it; 0: none
        void run() const { work ? work() : workWithId(id); }
    };
    // The id given (1 for a job without one); 0 when closed, full or ids are spent.
    int32_t push(entry posted, bool giveId);
    bool accepting() const { return open_ && waiting_.size() < capacity; }
    // Appends under the lock; the first call of an empty inbox wakes the user-interface thread.
    void append(entry posted);

    mutable criticalSection lock_;
    std::deque<entry> waiting_;
    mutable volatile LONG thread_ = 0;  // read on every call, without the lock
    bool open_ = false;
    int32_t lastId_ = 0;
    HWND wakeWindow_ = nullptr;
};

// One for the module: it outlives every load, so a late caller still finds its lock.
extern serviceInbox inbox;

}  // namespace kiv
