#include "ZipWriter.h"

#include <zlib.h>

#include <stdexcept>

std::string Le16Bytes(uint16_t value) { return std::string{char(value), char(value >> 8)}; }
std::string Le32Bytes(uint32_t value) { return Le16Bytes(uint16_t(value)) + Le16Bytes(uint16_t(value >> 16)); }
std::string Le64Bytes(uint64_t value) { return Le32Bytes(uint32_t(value)) + Le32Bytes(uint32_t(value >> 32)); }

std::string ExtraBlock(const char tag[2], const std::string& data)
{
    return std::string(tag, 2) + Le16Bytes(uint16_t(data.size())) + data;
}

namespace {

std::string RawDeflate(const std::string& data)
{
    z_stream z = {};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, uLong(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// The traditional PKWARE cipher, written out here on its own so that the
// tests do not share the reader's code.
class TraditionalCipher
{
public:
    explicit TraditionalCipher(const std::string& password)
    {
        for (char c : password)
            Update(uint8_t(c));
    }
    std::string Encrypt(const std::string& plain)
    {
        std::string out;
        for (char c : plain) {
            uint16_t t = uint16_t(keys_[2] | 2);
            uint8_t stream = uint8_t((t * (t ^ 1)) >> 8);
            out += char(uint8_t(c) ^ stream);
            Update(uint8_t(c));
        }
        return out;
    }

private:
    static uint32_t Crc(uint32_t crc, uint8_t b) { return get_crc_table()[(crc ^ b) & 0xff] ^ (crc >> 8); }
    void Update(uint8_t c)
    {
        keys_[0] = Crc(keys_[0], c);
        keys_[1] = (keys_[1] + (keys_[0] & 0xff)) * 134775813 + 1;
        keys_[2] = Crc(keys_[2], uint8_t(keys_[1] >> 24));
    }
    uint32_t keys_[3] = {305419896, 591751049, 878082192};
};

}  // namespace

std::string BuildZip(const std::vector<ZipWriterEntry>& entries)
{
    std::string body, directory;
    for (const ZipWriterEntry& e : entries) {
        uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), uInt(e.data.size())));
        std::string payload = e.deflate ? RawDeflate(e.data) : e.data;
        uint16_t flags = 0;
        if (!e.password.empty()) {
            flags |= 1;
            std::string header = "0123456789a" + std::string(1, char(crc >> 24));
            payload = TraditionalCipher(e.password).Encrypt(header + payload);
        }
        uint16_t method = e.deflate ? 8 : 0;
        const uint64_t uncompressed = e.claimedSize >= 0 ? uint64_t(e.claimedSize) : e.data.size();
        // ZIP64: the fields read all ones, the sizes follow in the block. The
        // local block holds both sizes, the central one only those whose
        // field reads all ones, uncompressed first.
        const bool zip64 = e.zip64 || uncompressed >= 0xFFFFFFFF;
        std::string localZip64, centralZip64;
        if (zip64) {
            localZip64 = ExtraBlock("\x01\x00", Le64Bytes(uncompressed) + Le64Bytes(payload.size()));
            centralZip64 = ExtraBlock("\x01\x00", Le64Bytes(uncompressed) + (e.zip64 ? Le64Bytes(payload.size()) : ""));
        }
        auto common = [&](uint16_t writtenMethod, bool local) {
            const bool compressedInBlock = zip64 && (local || e.zip64);
            return Le16Bytes(zip64 ? 45 : 20) + Le16Bytes(flags) + Le16Bytes(writtenMethod) + Le16Bytes(e.dosTime) +
                   Le16Bytes(e.dosDate) + Le32Bytes(crc) +
                   Le32Bytes(compressedInBlock ? 0xFFFFFFFF : uint32_t(payload.size())) +
                   Le32Bytes(zip64 ? 0xFFFFFFFF : uint32_t(uncompressed)) + Le16Bytes(uint16_t(e.name.size()));
        };
        uint32_t offset = uint32_t(body.size());
        const std::string localExtra = localZip64 + e.localExtra, centralExtra = centralZip64 + e.centralExtra;
        uint16_t localExtraLength =
            e.localExtraLengthOverride >= 0 ? uint16_t(e.localExtraLengthOverride) : uint16_t(localExtra.size());
        body += Le32Bytes(0x04034b50) +
                common(e.localMethodOverride >= 0 ? uint16_t(e.localMethodOverride) : method, true) +
                Le16Bytes(localExtraLength) + e.name + localExtra + payload;
        directory += Le32Bytes(0x02014b50) + Le16Bytes(e.versionMadeBy) + common(method, false) +
                     Le16Bytes(uint16_t(centralExtra.size())) + Le16Bytes(0) + Le16Bytes(0) + Le16Bytes(0) +
                     Le32Bytes(e.externalAttributes) + Le32Bytes(offset) + e.name + centralExtra;
    }
    std::string end = Le32Bytes(0x06054b50) + Le16Bytes(0) + Le16Bytes(0) + Le16Bytes(uint16_t(entries.size())) +
                      Le16Bytes(uint16_t(entries.size())) + Le32Bytes(uint32_t(directory.size())) +
                      Le32Bytes(uint32_t(body.size())) + Le16Bytes(0);
    return body + directory + end;
}
