#pragma once
// Every wait of the driver: a condition polled under a time limit while the
// calling thread's own messages keep flowing (its hidden skin windows must
// answer what the system sends them).

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

// A wait that ran out; its text names what was awaited and for how long.
class DriverTimeout : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Polls `done` until it holds; throws DriverTimeout ("timed out after N ms
// waiting for <what>") when `limitMs` passed first.
void WaitUntil(const std::string& what, const std::function<bool()>& done, DWORD limitMs);

// As WaitUntil, but `done` must hold for `steadyMs` without a break: for
// what a short-lived window (an overlay that opens on its own a moment
// later) could still upset.
void WaitUntilSteady(const std::string& what, const std::function<bool()>& done, DWORD steadyMs, DWORD limitMs);

// Lets `ms` pass with the thread's messages flowing.
void PumpFor(DWORD ms);
