#pragma once
// Writes small ZIP archives in memory for tests that need entries no zip
// tool would produce: chosen host systems and attributes, hand-made extra
// fields, odd names and local headers that disagree with the directory.

#include <cstdint>
#include <string>
#include <vector>

struct ZipWriterEntry
{
    std::string name;
    std::string data;
    bool deflate = false;
    std::string password;         // traditional encryption when not empty
    uint16_t versionMadeBy = 20;  // host 0 (DOS) in the high byte
    uint32_t externalAttributes = 0x20;
    uint16_t dosDate = (41 << 9) | (3 << 5) | 4;  // 2021-03-04
    uint16_t dosTime = (5 << 11) | (6 << 5) | 4;  // 05:06:08
    std::string localExtra;
    std::string centralExtra;
    int localMethodOverride = -1;       // write another method into the local header
    int localExtraLengthOverride = -1;  // claim another local extra length
    int64_t claimedSize = -1;           // claim another uncompressed size in both headers
    // Sizes in a ZIP64 block of the extra fields even where 32 bits hold them;
    // a claimed size beyond 32 bits always goes there.
    bool zip64 = false;
};

std::string BuildZip(const std::vector<ZipWriterEntry>& entries);

// An extra-field block: 2-byte tag, 16-bit length, data.
std::string ExtraBlock(const char tag[2], const std::string& data);
std::string Le16Bytes(uint16_t value);
std::string Le32Bytes(uint32_t value);
std::string Le64Bytes(uint64_t value);
