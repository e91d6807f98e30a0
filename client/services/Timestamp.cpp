#include "services/Timestamp.h"

#include <windows.h>

std::string GetTimestamp()
{
    // FILETIME counts 100-nanosecond steps since 1601-01-01 UTC.
    constexpr unsigned long long kUnixEpochAsFileTime = 116444736000000000ULL;
    constexpr unsigned long long kStepsPerSecond = 10000000ULL;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long steps = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return std::to_string(static_cast<long long>((steps - kUnixEpochAsFileTime) / kStepsPerSecond));
}
