#include "sim/plc/protocols/frame_bytes.h"

#include "sim/plc/crc16.h"

namespace qv::sim::plc {

std::uint8_t HexDigit(int v) { return static_cast<std::uint8_t>("0123456789ABCDEF"[v & 15]); }

int HexValue(std::uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void PutHex(Frame& f, std::uint32_t value, int digits)
{
    for (int i = digits - 1; i >= 0; --i)
        f.push_back(HexDigit(static_cast<int>(value >> (4 * i))));
}

bool DecodeHex(std::span<const std::uint8_t> text, std::vector<std::uint8_t>& out)
{
    if (text.size() % 2)
        return false;
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return true;
}

std::uint8_t Sum8(std::span<const std::uint8_t> bytes)
{
    unsigned s = 0;
    for (auto c : bytes)
        s += c;
    return static_cast<std::uint8_t>(s);
}

void PutCrc(Frame& f)
{
    const auto crc = Crc16(f);
    f.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    f.push_back(static_cast<std::uint8_t>(crc >> 8));
}

void Put16(Frame& f, std::uint32_t v)
{
    f.push_back(static_cast<std::uint8_t>(v >> 8));
    f.push_back(static_cast<std::uint8_t>(v));
}

void PutText(Frame& f, std::string_view s) { f.insert(f.end(), s.begin(), s.end()); }

std::size_t BitBytes(int count) { return static_cast<std::size_t>((count + 7) / 8); }

bool BitOf(std::span<const std::uint8_t> data, int bit) { return !data.empty() && ((data[0] >> (bit & 7)) & 1); }

std::vector<std::uint8_t> SwapValues(std::span<const std::uint8_t> in, std::size_t width)
{
    std::vector<std::uint8_t> out(in.size());
    for (std::size_t v = 0; v + width <= in.size(); v += width)
        for (std::size_t i = 0; i < width; ++i)
            out[v + i] = in[v + width - 1 - i];
    return out;
}

bool CollectFrame(std::vector<std::uint8_t>& f, std::uint8_t b, std::uint8_t start, std::uint8_t end, std::size_t max)
{
    if (b == start) {
        f.assign(1, b);
        return false;
    }
    if (f.empty())
        return false;
    f.push_back(b);
    if (f.size() > max) {
        f.clear();
        return false;
    }
    return b == end;
}

} // namespace qv::sim::plc
