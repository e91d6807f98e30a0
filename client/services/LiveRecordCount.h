#pragma once
// Test builds count the live objects of a record type, so that a test can show
// that a window frees every record it took over. A record holds one of these as
// its last member, only where CALVERIN_TEST_HOOKS is defined: the shipped
// build carries nothing.

#include <atomic>

template <class Record>
class CLiveRecordCount
{
public:
    CLiveRecordCount() { ++s_live; }
    CLiveRecordCount(const CLiveRecordCount&) { ++s_live; }
    // An assigned record stays the one object it was.
    CLiveRecordCount& operator=(const CLiveRecordCount&) { return *this; }
    ~CLiveRecordCount() { --s_live; }

    // Records of the type that exist now, on any thread.
    static long Live() { return s_live.load(); }

private:
    static inline std::atomic<long> s_live{0};
};
