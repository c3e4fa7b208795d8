#include "timing/tick_gate.h"

bool mayPostTick(TickGate &gate, uint32_t nowMs)
{
    if (gate.pending.exchange(true, std::memory_order_acquire))
        return false;  // the previous tick is still waiting or running
    if (nowMs == gate.handledMs.load(std::memory_order_relaxed)) {
        gate.pending.store(false, std::memory_order_release);
        return false;  // one was handled in this millisecond already
    }
    return true;
}

void tickHandled(TickGate &gate, uint32_t nowMs)
{
    gate.handledMs.store(nowMs, std::memory_order_relaxed);
    gate.pending.store(false, std::memory_order_release);
}

void tickNotPosted(TickGate &gate)
{
    gate.pending.store(false, std::memory_order_release);
}
