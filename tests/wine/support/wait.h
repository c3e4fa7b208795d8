// Bounded polling: a program that does not react fails the test, never hangs it.
#pragma once
#include <functional>

// Generous for a loaded machine; a wait returns as soon as its condition holds.
constexpr unsigned kDefaultTimeoutMs = 15000;

bool waitUntil(const std::function<bool()> &condition, unsigned timeoutMs = kDefaultTimeoutMs);
