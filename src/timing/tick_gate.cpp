#include "timing/tick_gate.h"

bool mayPostTick(TickGate &gate)
{
    return !gate.pending.exchange(true, std::memory_order_acq_rel);
}

void reopenGate(TickGate &gate)
{
    gate.pending.store(false, std::memory_order_release);
}
