// When the live readout is shown.  Rewriting the value boxes after every
// read would cost more than the read itself at short read intervals, so the
// boxes are shown at most once per display period; but a read is never left
// unshown: a read that comes too soon after the last show arms a show for
// the end of that period, which then shows the latest read.
#pragma once
#include <cstdint>

// Twenty shows a second are more than an eye reads off a number, and each
// costs the user-interface thread time the ticks need at 1 ms; the read ticks
// at 50 ms and slower (the default 60 ms among them) are all shown at once.
constexpr uint32_t kDisplayPeriodMs = 50;

struct ReadoutPacing {
    bool shownOnce = false;
    bool showArmed = false;  // a show is due at lastShownMs + kDisplayPeriodMs
    uint32_t lastShownMs = 0;
};

struct ReadoutStep {
    bool showNow;
    uint32_t armInMs;  // non-zero: arm a show this many ms from now
};

// After a successful read, with the clock now (wrapping round is allowed).
ReadoutStep afterRead(ReadoutPacing &pacing, uint32_t nowMs);
// The values were shown (at once, or by the armed show).
void markShown(ReadoutPacing &pacing, uint32_t nowMs);
