#pragma once
#include <string>

// The current time in whole seconds since 1970-01-01 00:00 UTC, as decimal digits.
std::string GetTimestamp();
