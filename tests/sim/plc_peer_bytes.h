#pragma once
// The PLC peers' frames written out by the tests' own small encoder: the checks are computed
// here, apart from the links' frame code.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::sim::plc::peer {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t bitwiseCrc(const Bytes& b)
{
    std::uint16_t crc = 0xFFFF;
    for (auto c : b) {
        crc ^= c;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}
// Modbus RTU: the CRC after the bytes, low byte first.
inline Bytes withCrc(Bytes b)
{
    const auto c = bitwiseCrc(b);
    b.push_back(c & 0xFF);
    b.push_back(c >> 8);
    return b;
}
inline Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }
inline std::string hex2(unsigned v)
{
    static const char* d = "0123456789ABCDEF";
    return {d[(v >> 4) & 15], d[v & 15]};
}
// STX body ETX sum(body + ETX)
inline Bytes fx(std::string_view body)
{
    unsigned s = 0x03;
    for (char c : body)
        s += static_cast<std::uint8_t>(c);
    return text("\x02" + std::string(body) + "\x03" + hex2(s & 0xFF));
}
// ':' the hex pairs of `raw`, their two's complement sum, CR LF
inline Bytes delta(const Bytes& raw)
{
    std::string t = ":";
    unsigned s = 0;
    for (auto b : raw) {
        t += hex2(b);
        s += b;
    }
    return text(t + hex2((0x100 - (s & 0xFF)) & 0xFF) + "\r\n");
}
// STX body sum(STX + body) ETX
inline Bytes fatek(std::string_view body)
{
    unsigned s = 0x02;
    for (char c : body)
        s += static_cast<std::uint8_t>(c);
    return text("\x02" + std::string(body) + hex2(s & 0xFF) + "\x03");
}
// body FCS(xor of body) '*' CR
inline Bytes omron(std::string_view body)
{
    unsigned x = 0;
    for (char c : body)
        x ^= static_cast<std::uint8_t>(c);
    return text(std::string(body) + hex2(x) + "*\r");
}

// Closes an S7-200 frame: FCS (sum from byte 4) and ED.
inline Bytes ppi(Bytes f)
{
    unsigned s = 0;
    for (std::size_t i = 4; i < f.size(); ++i)
        s += f[i];
    f.push_back(s & 0xFF);
    f.push_back(0x16);
    return f;
}

// An S7-200 read reply: SD2 head, the values at the element type's data offset, FCS, ED.
inline Bytes ppiReply(std::uint8_t type, const Bytes& values)
{
    Bytes f{0x68, 0, 0, 0x68};
    const std::size_t start = type == 7 ? 26 : type == 8 ? 28 : 25;
    f.resize(start, 0);
    f.insert(f.end(), values.begin(), values.end());
    return ppi(std::move(f));
}

// The panel's own frame: 0x81, command, device, address (4), length (2), data, 16-bit sum,
// little-endian.
inline Bytes panel(std::uint8_t cmd, std::uint8_t dev, std::uint32_t address, const Bytes& data, std::uint16_t length)
{
    Bytes f{0x81, cmd, dev};
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
    f.push_back(static_cast<std::uint8_t>(length));
    f.push_back(static_cast<std::uint8_t>(length >> 8));
    f.insert(f.end(), data.begin(), data.end());
    unsigned s = 0;
    for (auto b : f)
        s += b;
    f.push_back(s & 0xFF);
    f.push_back((s >> 8) & 0xFF);
    return f;
}

} // namespace qv::sim::plc::peer
