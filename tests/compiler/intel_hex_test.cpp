#include "compiler/hex/intel_hex.h"

#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace qv::hex {
namespace {

struct Good {
    const char* name;
    std::string text;
    int length;
};

// One data record "count address 00 data checksum" with a correct checksum.
std::string dataRecord(std::uint16_t address, const std::vector<std::uint8_t>& data, bool lower = false)
{
    std::vector<std::uint8_t> bytes{std::uint8_t(data.size()), std::uint8_t(address >> 8), std::uint8_t(address), 0};
    bytes.insert(bytes.end(), data.begin(), data.end());
    std::uint8_t sum = 0;
    for (auto b : bytes)
        sum = std::uint8_t(sum + b);
    bytes.push_back(std::uint8_t(-sum));
    std::string s = ":";
    for (auto b : bytes) {
        char two[3];
        std::snprintf(two, sizeof two, lower ? "%02x" : "%02X", b);
        s += two;
    }
    return s + "\r\n";
}

const std::string kEnd = ":00000001FF\r\n";

TEST(ReadIntelHex, AcceptedFilesGiveTheCodeLengthRule)
{
    const std::vector<std::uint8_t> sixteen(16, 0x5A);
    const Good cases[] = {
        {"only the end record", kEnd, 0},
        {"16 bytes at 0: 16 + 1 rounded up to 4", dataRecord(0, sixteen) + kEnd, 20},
        {"lower-case digits", dataRecord(0, sixteen, true) + kEnd, 20},
        {"a gap: highest end wins over the byte count", dataRecord(0x100, {1, 2, 3}) + kEnd, 0x104},
        {"bytes after the end record are ignored", kEnd + "garbage", 0},
        {"LF line ends", ":0100000012ED\n:00000001FF\n", 4},
    };
    for (const Good& c : cases) {
        SCOPED_TRACE(c.name);
        CodeImage image;
        image.fill(0);
        std::string message;
        EXPECT_EQ(ReadIntelHex(c.text, image, &message), c.length) << message;
        EXPECT_EQ(image[0x80], 0xFF);
        EXPECT_EQ(image[0xFFFF], 0xFF) << "the whole 64 KiB is filled, the last byte too";
    }
}

TEST(ReadIntelHex, DataLandsAtItsAddressUpToTheLastByte)
{
    CodeImage image;
    const int n = ReadIntelHex(dataRecord(0x0010, {0x12, 0x34}) + dataRecord(0xFFFE, {0xAB, 0xCD}) + kEnd, image);
    EXPECT_EQ(n, 0x10004) << "0xFFFE + 2 + 1 rounded up to 4";
    EXPECT_EQ(image[0x10], 0x12);
    EXPECT_EQ(image[0x11], 0x34);
    EXPECT_EQ(image[0xFFFE], 0xAB);
    EXPECT_EQ(image[0xFFFF], 0xCD);
}

struct Bad {
    const char* name;
    std::string text;
    std::string message;
};

TEST(ReadIntelHex, BadFilesAreRefusedWithTheirMessage)
{
    const Bad cases[] = {
        {"no end record", dataRecord(0, {1, 2}), "*.Hex文件(未找到\":00000001\"记录)!"},
        {"bad checksum, line 2", dataRecord(0, {1}) + ":0100010012ED\r\n" + kEnd,
         "*.Hex文件失败(校验和错误,第2行)!"},
        {"record past 0xFFFF, line 1", dataRecord(0xFFFF, {1, 2}) + kEnd, "*.Hex文件失败(记录超出64k,第1行)!"},
        {"extended linear address, even of 0", ":020000040000FA\r\n" + kEnd, "*.Hex文件失败(不支持大于64k)!"},
        {"extended segment address", ":020000020000FC\r\n" + kEnd, "*.Hex文件失败(不支持大于64k)!"},
        {"unknown type 3", ":0400000300000000F9\r\n" + kEnd, "*.Hex文件失败(错误的记录)!"},
        {"truncated line", ":10000000AABB\r\n" + kEnd, "*.Hex文件失败(错误的记录)!"},
        {"shorter than a record head", ":0100\r\n" + kEnd, "*.Hex文件失败(错误的记录)!"},
        {"a character that is no digit", ":01000000G1EE\r\n" + kEnd, "*.Hex文件失败(错误的字符)!"},
        {"an odd digit before the end record", ":0100000012ED1" + kEnd, "*.Hex文件失败(错误的字符)!"},
        {"digits before the first colon", "00" + kEnd, "*.Hex文件失败(错误的字符)!"},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.name);
        CodeImage image;
        std::string message;
        EXPECT_EQ(ReadIntelHex(c.text, image, &message), -1);
        EXPECT_EQ(message, c.message);
    }
}

TEST(HexPairToByte, EitherCaseHighNibbleFirst)
{
    std::uint8_t b = 0;
    EXPECT_TRUE(HexPairToByte('a', 'F', b));
    EXPECT_EQ(b, 0xAF);
    EXPECT_TRUE(HexPairToByte('0', '9', b));
    EXPECT_EQ(b, 0x09);
    EXPECT_FALSE(HexPairToByte('g', '0', b));
    EXPECT_FALSE(HexPairToByte('0', ':', b));
}

// The reference: what binutils makes of the same HEX file.
std::string objcopyImage(const std::filesystem::path& hex, const std::filesystem::path& bin)
{
    const std::string cmd = "objcopy -I ihex -O binary --gap-fill 0xFF --pad-to 0x10000 '" + hex.string() + "' '" +
                            bin.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::string bytes;
    EXPECT_TRUE(readWholeFile(bin, bytes));
    return bytes;
}

int run(const std::string& cmd)
{
    return std::system(cmd.c_str());
}

TEST(ReadIntelHex, MatchesBinutilsOnSdccOutputRawAndPacked)
{
    test::TempDir dir;
    const auto src = dir / "prog.c";
    std::ofstream(src) << R"(
__xdata unsigned char buf[16];
__code __at(0xFFF0) const unsigned char top[16] = {1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16};
const char msg[] = "user code";
void main(void)
{
    unsigned char i;
    for (i = 0; i < 16; i++)
        buf[i] = top[i] ^ msg[i & 7];
    while (1) {}
}
)";
    ASSERT_EQ(run("cd '" + dir.path().string() + "' && sdcc -mmcs51 prog.c > sdcc.log 2>&1"), 0)
        << "sdcc must be installed (scripts/setup-deps.sh)";
    ASSERT_EQ(run("packihx '" + (dir / "prog.ihx").string() + "' > '" + (dir / "prog.hex").string() + "' 2>/dev/null"), 0);

    for (const char* file : {"prog.ihx", "prog.hex"}) {
        SCOPED_TRACE(file);
        std::string text;
        ASSERT_TRUE(readWholeFile(dir / file, text));
        CodeImage image;
        std::string message;
        const int length = ReadIntelHex(text, image, &message);
        ASSERT_GE(length, 0) << message;
        EXPECT_EQ(length % 4, 0);
        EXPECT_EQ(length, 0x10004) << "the table at 0xFFF0 ends at 0xFFFF: 0x10000 + 1 rounded up to 4";

        const std::string reference = objcopyImage(dir / file, dir / (std::string(file) + ".bin"));
        ASSERT_EQ(reference.size(), image.size());
        EXPECT_TRUE(std::equal(image.begin(), image.end(), reference.begin(),
                               [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
        EXPECT_EQ(image[0xFFFF], 16);
    }
}

} // namespace
} // namespace qv::hex
