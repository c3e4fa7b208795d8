// The gate of one periodic timer's ticks.  The timer's thread posts a tick
// only through the gate, and the user-interface thread opens it again when
// it has handled the tick: at most one tick waits in the queue, so a late
// tick is handled once instead of being replayed, and input and painting
// are never starved by a backlog of ticks.  No two ticks are handled within
// the same millisecond of the clock, so every sample carries a time of its own.
#pragma once
#include <atomic>
#include <cstdint>

struct TickGate {
    std::atomic<bool> pending{false};      // a tick is posted and not yet handled
    std::atomic<uint32_t> handledMs{0};    // the clock when the last tick was handled
};

// On the timer's thread, with the clock now: true when a tick is to be
// posted; the gate is then pending until tickHandled or tickNotPosted.
bool mayPostTick(TickGate &gate, uint32_t nowMs);
// On the user-interface thread, at the end of the tick's handling.
void tickHandled(TickGate &gate, uint32_t nowMs);
// The post failed, or the timer is being started afresh (a tick still
// queued for a window that is gone would otherwise keep the gate shut).
void tickNotPosted(TickGate &gate);
