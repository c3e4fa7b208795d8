// Bounded polling: every wait of the scenario tests ends after a timeout, so
// a program that does not react fails the test instead of hanging it.
#pragma once
#include <functional>

// Generous, because the machine may be loaded; a wait that succeeds returns
// as soon as its condition holds.
constexpr unsigned kDefaultTimeoutMs = 15000;

// Polls `condition` every few milliseconds; true once it holds, false when
// `timeoutMs` passed without it holding.
bool waitUntil(const std::function<bool()> &condition, unsigned timeoutMs = kDefaultTimeoutMs);
