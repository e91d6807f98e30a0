// Base64, XXTEA deciphering and MD5. The XXTEA blocks come from the reference
// web service's own encipherer (written independently in Python), generated
// into the build tree.
#include "services/Base64.h"
#include "services/Md5A.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/Xxtea.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t colon; (colon = line.find(':', start)) != std::string::npos; start = colon + 1)
        fields.push_back(line.substr(start, colon - start));
    fields.push_back(line.substr(start));
    return fields;
}

struct ReferenceVectors
{
    struct Block
    {
        std::string key, plaintext, ciphertext;
    };
    struct DataText
    {
        std::string key, result, text;
    };
    std::vector<Block> blocks;
    std::vector<Block> badLengthBlocks;  // plaintext unused
    std::vector<DataText> dataTexts;
};

const ReferenceVectors& Vectors()
{
    static const ReferenceVectors vectors = [] {
        ReferenceVectors loaded;
        std::ifstream in(std::filesystem::path(BuildTreePath(L"testdata\\xxtea_vectors.txt")));
        for (std::string line; std::getline(in, line);) {
            std::vector<std::string> f = SplitFields(line);
            if (f[0] == "block")
                loaded.blocks.push_back({FromHex(f[1]), FromHex(f[2]), FromHex(f[3])});
            else if (f[0] == "badlength")
                loaded.badLengthBlocks.push_back({FromHex(f[1]), "", FromHex(f[2])});
            else if (f[0] == "data")
                loaded.dataTexts.push_back({FromHex(f[1]), FromHex(f[2]), f[3]});
        }
        return loaded;
    }();
    return vectors;
}

std::string Decrypt(const std::string& block, const std::string& key, size_t& plainLength)
{
    auto plain = XxteaDecrypt(block.data(), block.size(), key.data(), key.size(), plainLength);
    if (!plain)
        return "<null>";
    EXPECT_EQ(0, plain[plainLength]) << "the plaintext is followed by a zero byte";
    return std::string(reinterpret_cast<const char*>(plain.get()), plainLength);
}

TEST(Base64, EncodesGroupsAndPadsTheLastOne)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {Bytes({0xFF, 0xFE}), "//4="},
        {Bytes({0xFB, 0xEF, 0xBE, 0x80}), "++++gA=="},
    };
    for (const auto& [data, text] : cases)
        EXPECT_EQ(text, Base64Encode(data.data(), static_cast<int>(data.size()))) << text;
}

TEST(Base64, DecodesUpToTheFirstCharacterOutsideTheAlphabet)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"Zg==", "f"},
        {"Zm8=", "fo"},
        {"Zm9vYmFy", "foobar"},
        {"//4=", Bytes({0xFF, 0xFE})},
        {"Zm9vYg", "foob"},  // unpadded groups of 2 and 3 characters
        {"Zm9vYmE", "fooba"},
        {"Zm9vY", "foo"},         // a lone left-over character gives nothing
        {"Zm9v\r\nYmFy", "foo"},  // a line break ends the text
        {"Zm9v YmFy", "foo"},
        {"=Zm9v", ""},
        {"Zg==Zm9v", "f"},  // nothing after the first "="
        {"Zm9v-_", "foo"},  // the URL-safe alphabet is not accepted
        {std::string("Zm9v\0YmFy", 9), "foo"},
    };
    for (const auto& [text, data] : cases)
        EXPECT_EQ(data, Base64Decode(text)) << text;
}

TEST(Base64, EveryByteValueSurvivesARoundTrip)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(255 - i);
    for (size_t length : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{255}, size_t{256}}) {
        std::string data = all.substr(0, length);
        EXPECT_EQ(data, Base64Decode(Base64Encode(data.data(), static_cast<int>(length)))) << length;
    }
}

TEST(Xxtea, DeciphersReferenceBlocksForEveryLengthAndKeySize)
{
    const auto& blocks = Vectors().blocks;
    ASSERT_FALSE(blocks.empty()) << "the vectors file was not generated";
    for (const auto& block : blocks) {
        SCOPED_TRACE("key length " + std::to_string(block.key.size()) + ", plaintext length " +
                     std::to_string(block.plaintext.size()));
        size_t plainLength = 99;
        std::string plain = Decrypt(block.ciphertext, block.key, plainLength);
        if (block.plaintext.empty()) {
            // A lone length word is no valid block: at least two words are needed.
            EXPECT_EQ("<null>", plain);
            EXPECT_EQ(0u, plainLength);
        } else {
            EXPECT_EQ(block.plaintext, plain);
            EXPECT_EQ(block.plaintext.size(), plainLength);
        }
    }
}

TEST(Xxtea, RejectsBlocksWhoseStoredLengthIsOutOfRange)
{
    const auto& blocks = Vectors().badLengthBlocks;
    ASSERT_FALSE(blocks.empty());
    for (const auto& block : blocks) {
        size_t plainLength = 99;
        EXPECT_EQ("<null>", Decrypt(block.ciphertext, block.key, plainLength));
        EXPECT_EQ(0u, plainLength);
        EXPECT_EQ("", DecryptText(Base64Encode(block.ciphertext.data(), static_cast<int>(block.ciphertext.size())),
                                  block.key));
    }
}

TEST(DecryptText, ReadsTheReferenceServicesDataTexts)
{
    const auto& texts = Vectors().dataTexts;
    ASSERT_FALSE(texts.empty());
    for (const auto& data : texts) {
        std::string plain = DecryptText(data.text, data.key);
        ASSERT_EQ(10 + data.result.size(), plain.size()) << data.text;
        EXPECT_EQ(data.result, plain.substr(10));
    }
}

TEST(DecryptText, StopsAtTheFirstZeroByteOfThePlaintext)
{
    int checked = 0;
    for (const auto& block : Vectors().blocks) {
        size_t zero = block.plaintext.find('\0');
        if (zero == std::string::npos)
            continue;
        std::string text = Base64Encode(block.ciphertext.data(), static_cast<int>(block.ciphertext.size()));
        EXPECT_EQ(block.plaintext.substr(0, zero), DecryptText(text, block.key));
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no reference plaintext holds a zero byte";
}

TEST(DecryptText, GivesTheEmptyStringOnEveryFailure)
{
    const std::string key = "0123456789abcdef";
    const std::pair<const char*, std::string> cases[] = {
        {"empty text", ""},
        {"not base64", "!!!!****"},
        {"one word", Base64Encode("abcd", 4)},
        {"seven bytes", Base64Encode("abcdefg", 7)},
    };
    for (const auto& [what, text] : cases)
        EXPECT_EQ("", DecryptText(text, key)) << what;
}

TEST(Md5, StringDigestsMatchTheReferenceSuite)
{
    const std::pair<std::string, std::string> cases[] = {
        // RFC 1321 test suite
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // the padding's edges: the length still fits the block, just does not, and a full block
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        // bytes above 0x7F are taken as unsigned
        {"\xE4\xB8\xAD\xE6\x96\x87\xFF\x80", "49f3b19e2ad33ff3f2aabbf1f4ca3450"},
    };
    CMd5A md5;
    for (const auto& [text, digest] : cases)
        EXPECT_EQ(digest, md5.GetStringMd5(text)) << text.size() << " bytes";
}

class FileMd5Test : public testing::Test
{
protected:
    struct Call
    {
        uint64_t done, total;
        bool operator==(const Call&) const = default;
    };
    struct Recorder
    {
        std::vector<Call> calls;
        size_t stopAfter = SIZE_MAX;
    };

    static bool Record(void* user, const uint64_t* done, uint64_t total)
    {
        auto* recorder = static_cast<Recorder*>(user);
        recorder->calls.push_back({*done, total});
        return recorder->calls.size() < recorder->stopAfter;
    }

    static std::string Content(size_t size)
    {
        std::string content;
        for (size_t i = 0; i < size; ++i)
            content += static_cast<char>(i * 7 + 3);
        return content;
    }

    ScratchFolder m_folder;
    CMd5A m_md5;
    Recorder m_recorder;
};

TEST_F(FileMd5Test, EmptyFileGivesTheEmptyDigestWithoutProgress)
{
    std::wstring path = m_folder.WriteFile(L"empty.bin", "");
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", m_md5.GetFileMd5(path, Record, &m_recorder));
    EXPECT_TRUE(m_recorder.calls.empty());
}

TEST_F(FileMd5Test, ReportsEveryBlockOfFiveHundredTwelveBytes)
{
    const std::string content = Content(1025);
    std::wstring path = m_folder.WriteFile(L"data.bin", content);
    EXPECT_EQ(m_md5.GetStringMd5(content), m_md5.GetFileMd5(path, Record, &m_recorder));
    EXPECT_EQ((std::vector<Call>{{512, 1025}, {1024, 1025}, {1025, 1025}}), m_recorder.calls);
    EXPECT_EQ(m_md5.GetStringMd5(content), m_md5.GetFileMd5(path)) << "without a callback";
}

TEST_F(FileMd5Test, StopGivesTheDigestOfThePartRead)
{
    const std::string content = Content(1025);
    std::wstring path = m_folder.WriteFile(L"data.bin", content);
    m_recorder.stopAfter = 1;
    EXPECT_EQ(m_md5.GetStringMd5(content.substr(0, 512)), m_md5.GetFileMd5(path, Record, &m_recorder));
    EXPECT_EQ(1u, m_recorder.calls.size());
}

TEST_F(FileMd5Test, MissingFileGivesTheEmptyString)
{
    EXPECT_EQ("", m_md5.GetFileMd5(m_folder.File(L"missing.bin"), Record, &m_recorder));
    EXPECT_TRUE(m_recorder.calls.empty());
}

}  // namespace
