// The gate of one periodic timer's ticks.  The timer's thread posts a tick
// only through the gate, and the user-interface thread opens it again as it
// takes the tick to handle it: at most one tick waits in the queue, so a late
// tick is handled once instead of being replayed, and input and painting are
// never starved by a backlog of ticks.  A slower machine gets fewer ticks,
// never stale ones; a message box shown inside a handler does not stop them.
#pragma once
#include <atomic>

struct TickGate {
    std::atomic<bool> pending{false};  // a tick is posted and not yet taken
};

// On the timer's thread: true when a tick is to be posted; the gate is then
// shut until reopenGate.
bool mayPostTick(TickGate &gate);
// On the user-interface thread as a tick's handling begins; also when its
// post failed, or when the timer is started afresh (a tick still queued for
// a window that is gone would otherwise keep the gate shut).
void reopenGate(TickGate &gate);
