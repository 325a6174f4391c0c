#include "compiler/hex/intel_hex.h"

#include <algorithm>
#include <vector>

#include <fmt/format.h>

namespace qv::hex {
namespace {

constexpr std::string_view kEndRecord = ":00000001";

enum RecordType : std::uint8_t { Data = 0, End = 1, ExtendedSegment = 2, ExtendedLinear = 4 };

struct Record {
    std::size_t line = 0;              // 1-based line of the ':' that starts it
    std::vector<std::uint8_t> bytes;   // count, address high, address low, type, data..., checksum
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int refuse(std::string* message, std::string text)
{
    if (message)
        *message = std::move(text);
    return -1;
}

// "*.Hex文件失败(<what>,第<line>行)!": the reader's own style, naming the line.
std::string withLine(const char* what, std::size_t line)
{
    return std::string("*.Hex文件失败(") + what + "," + "第" + fmt::format("{}", line) + "行)!";
}

} // namespace

bool HexPairToByte(char high, char low, std::uint8_t& out)
{
    const int h = hexDigit(high);
    const int l = hexDigit(low);
    if (h < 0 || l < 0)
        return false;
    out = static_cast<std::uint8_t>(h << 4 | l);
    return true;
}

int ReadIntelHex(std::string_view text, CodeImage& image, std::string* message)
{
    const std::size_t end = text.find(kEndRecord);
    if (end == std::string_view::npos)
        return refuse(message, "*.Hex文件(未找到\":00000001\"记录)!");

    // Split what comes before the end record into records of bytes.
    std::vector<Record> records;
    std::size_t line = 1;
    for (std::size_t i = 0; i < end;) {
        const char c = text[i];
        if (c == ':') {
            records.push_back(Record{line, {}});
            ++i;
        } else if (c == '\r' || c == '\n') {
            line += c == '\n';
            ++i;
        } else {
            std::uint8_t b = 0;
            if (i + 1 >= end || !HexPairToByte(c, text[i + 1], b) || records.empty())
                return refuse(message, "*.Hex文件失败(错误的字符)!");
            records.back().bytes.push_back(b);
            i += 2;
        }
    }

    image.fill(0xFF);
    std::uint32_t dataBytes = 0;
    std::uint32_t highestEnd = 0;
    for (const Record& r : records) {
        const auto& b = r.bytes;
        if (b.size() < 5)
            return refuse(message, "*.Hex文件失败(错误的记录)!");
        const std::uint32_t count = b[0];
        const std::uint32_t address = std::uint32_t(b[1]) << 8 | b[2];
        const std::uint8_t type = b[3];
        if (b.size() != count + 5)
            return refuse(message, "*.Hex文件失败(错误的记录)!");
        std::uint8_t sum = 0;
        for (std::uint8_t x : b)
            sum = static_cast<std::uint8_t>(sum + x);
        if (sum != 0)
            return refuse(message, withLine("校验和错误", r.line));
        if (type == ExtendedSegment || type == ExtendedLinear)
            return refuse(message, "*.Hex文件失败(不支持大于64k)!");
        if (type != Data)
            return refuse(message, "*.Hex文件失败(错误的记录)!");
        if (address + count > kCodeImageSize)
            return refuse(message, withLine("记录超出64k", r.line));
        std::copy_n(b.begin() + 4, count, image.begin() + address);
        dataBytes += count;
        highestEnd = std::max(highestEnd, address + count + 1);
    }
    const std::uint32_t length = std::max(dataBytes, highestEnd);
    return static_cast<int>((length + 3) & ~3u);
}

} // namespace qv::hex
