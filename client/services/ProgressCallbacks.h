#pragma once

#include <cstdint>

// Progress of one HTTP transfer: the caller's user value, the bytes this
// transfer expects (0 while unknown), the bytes received in this transfer and
// its average speed in bytes per second. Returning false aborts the transfer.
typedef bool (*DownloadProgressCallback)(void* user, int64_t expected, int64_t received, double bytesPerSecond);

// Progress of a job that walks a file's bytes (unpacking an archive, hashing a
// file): the caller's user value, the bytes done so far and the total.
// Returning false stops the job.
typedef bool (*UnzipProgressCallback)(void* user, const uint64_t* done, uint64_t total);
