#include "sim/plc/plc_frames.h"

#include <array>
#include <optional>
#include <fmt/format.h>

#include "sim/plc/crc16.h"
#include "vars/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace qv::protocol;

void put16(Frame& f, std::uint32_t v)
{
    f.push_back(static_cast<std::uint8_t>(v >> 8));
    f.push_back(static_cast<std::uint8_t>(v));
}
void putText(Frame& f, std::string_view s) { f.insert(f.end(), s.begin(), s.end()); }
std::size_t bitBytes(int count) { return static_cast<std::size_t>((count + 7) / 8); }
bool bitOf(std::span<const std::uint8_t> data, int bit) { return !data.empty() && ((data[0] >> (bit & 7)) & 1); }

// ---- Modbus RTU ----
Frame modbusRead(const PlcRequest& r)
{
    if (r.type < 1 || r.type > 4)
        return {};
    Frame f{r.station, r.type};
    put16(f, r.number);
    put16(f, r.count);
    PutCrc(f);
    return f;
}

Frame modbusWrite(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    Frame f{r.station, r.function};
    put16(f, r.number);
    switch (r.function) {
    case 5:
        f.push_back(bitOf(data, r.bit < 0 ? 0 : r.bit) ? 0xFF : 0x00);
        f.push_back(0x00);
        break;
    case 15:
        put16(f, r.count);
        if (r.count == 1) {
            f.push_back(1);
            f.push_back(bitOf(data, r.bit < 0 ? 0 : r.bit) ? 1 : 0);
        } else {
            const auto n = bitBytes(r.count);
            f.push_back(static_cast<std::uint8_t>(n));
            for (std::size_t i = 0; i < n; ++i)
                f.push_back(i < data.size() ? data[i] : 0);
            if (r.count % 8)
                f.back() &= static_cast<std::uint8_t>((1u << (r.count % 8)) - 1);
        }
        break;
    case 16:
        put16(f, r.count);
        f.push_back(static_cast<std::uint8_t>(2 * r.count));
        for (int i = 0; i < r.count; ++i)
            put16(f, static_cast<std::uint32_t>(data[2 * i] | data[2 * i + 1] << 8));
        break;
    case 6: put16(f, static_cast<std::uint32_t>(data[0] | (data.size() > 1 ? data[1] : 0) << 8)); break;
    default: return {};
    }
    PutCrc(f);
    return f;
}

// ---- Mitsubishi FX ----
struct FxElement {
    std::uint16_t readBase;
    enum { Octal, Bits, Words } kind;
    std::uint16_t forceBase; // 0: no force command
};
constexpr std::array<FxElement, 6> kFx{{
    {0x0080, FxElement::Octal, 0},      // X
    {0x00A0, FxElement::Octal, 0x0500}, // Y
    {0x0100, FxElement::Bits, 0x0800},  // M
    {0x1000, FxElement::Words, 0},      // D
    {0x0A00, FxElement::Words, 0},      // C
    {0x0800, FxElement::Words, 0},      // T
}};

const FxElement* fxElement(int type) { return type >= 1 && type <= 6 ? &kFx[static_cast<std::size_t>(type - 1)] : nullptr; }

// The bit number of an element of a bit type (octal X and Y, decimal M).
int fxBitNumber(const FxElement& e, int number) { return e.kind == FxElement::Octal ? OctalToBits(number) : number; }

std::uint32_t fxByteAddress(const FxElement& e, int number)
{
    return e.kind == FxElement::Words ? e.readBase + 2u * static_cast<std::uint32_t>(number)
                                      : e.readBase + static_cast<std::uint32_t>(fxBitNumber(e, number) / 8);
}

void fxClose(Frame& f)
{
    f.push_back(0x03);
    PutHex(f, Sum8(std::span(f).subspan(1)), 2);
}

Frame fxRead(const PlcRequest& r)
{
    const FxElement* e = fxElement(r.type);
    if (!e)
        return {};
    Frame f{0x02, '0'};
    PutHex(f, fxByteAddress(*e, r.number), 4);
    PutHex(f, static_cast<std::uint32_t>(e->kind == FxElement::Words ? 2 * r.count : bitBytes(r.count)), 2);
    fxClose(f);
    return f;
}

Frame fxWrite(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    const FxElement* e = fxElement(r.type);
    if (!e || r.type == 1 || r.type > 4)
        return {};
    Frame f{0x02};
    if (e->kind != FxElement::Words && r.bit >= 0) {
        // One bit: forced on or off at its bit address, low byte first.
        const auto address = static_cast<std::uint32_t>(e->forceBase + fxBitNumber(*e, r.number));
        f.push_back(bitOf(data, r.bit) ? '7' : '8');
        PutHex(f, address & 0xFF, 2);
        PutHex(f, address >> 8, 2);
    } else {
        // Whole bytes of bits or words: written at the byte address the read takes them from.
        f.push_back('1');
        PutHex(f, fxByteAddress(*e, r.number), 4);
        PutHex(f, static_cast<std::uint32_t>(data.size()), 2);
        for (auto b : data)
            PutHex(f, b, 2);
    }
    fxClose(f);
    return f;
}

// ---- Siemens S7-200 PPI ----
struct PpiElement {
    std::uint8_t area, width, transport, dbFlag;
    bool byteAddress; // address = element x 8 (bit offset of the byte)
};
constexpr std::array<PpiElement, 8> kPpi{{
    {0x81, 1, 0x02, 0, true}, {0x82, 1, 0x02, 0, true}, {0x83, 1, 0x02, 0, true}, {0x84, 1, 0x02, 1, true},
    {0x84, 2, 0x02, 1, true}, {0x84, 4, 0x02, 1, true}, {0x1E, 2, 0x1E, 0, false}, {0x1F, 2, 0x1F, 0, false},
}};
const PpiElement* ppiElement(int type) { return type >= 1 && type <= 8 ? &kPpi[static_cast<std::size_t>(type - 1)] : nullptr; }

void ppiAddress(Frame& f, const PpiElement& e, int number)
{
    const std::uint32_t a = e.byteAddress ? static_cast<std::uint32_t>(number) * 8 : static_cast<std::uint32_t>(number);
    f.push_back(e.dbFlag);
    f.push_back(e.area);
    f.push_back(static_cast<std::uint8_t>(a >> 16));
    f.push_back(static_cast<std::uint8_t>(a >> 8));
    f.push_back(static_cast<std::uint8_t>(a));
}
void ppiClose(Frame& f)
{
    f.push_back(Sum8(std::span(f).subspan(4)));
    f.push_back(0x16);
}

Frame ppiRead(const PlcRequest& r)
{
    const PpiElement* e = ppiElement(r.type);
    if (!e)
        return {};
    const int items = r.type == 5 ? 2 * r.count : r.type == 6 ? 4 * r.count : r.count;
    Frame f{0x68, 0x1B, 0x1B, 0x68, r.station, 0x00, 0x6C, 0x32, 0x01, 0, 0, 0, 0, 0, 0x0E, 0, 0, 0x04, 0x01, 0x12, 0x0A, 0x10,
            e->transport, 0x00, static_cast<std::uint8_t>(items), 0x00};
    ppiAddress(f, *e, r.number);
    ppiClose(f);
    return f;
}

Frame ppiWrite(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    if (r.type > 6)
        return {};
    const PpiElement* e = ppiElement(r.type);
    if (!e)
        return {};
    const std::uint8_t w = e->width;
    const std::uint8_t total = static_cast<std::uint8_t>(w == 1 ? 0x20 : w == 2 ? 0x21 : 0x23);
    const std::uint8_t dataLength = static_cast<std::uint8_t>(4 + w);
    const std::uint8_t transport = static_cast<std::uint8_t>(w == 1 ? 0x02 : w == 2 ? 0x04 : 0x06);
    Frame f{0x68, total, total, 0x68, r.station, 0x00, 0x7C, 0x32, 0x01, 0, 0, 0, 0, 0, 0x0E, 0x00, dataLength, 0x05, 0x01,
            0x12, 0x0A, 0x10, transport, 0x00, 0x01, 0x00};
    // The byte flag of the read's address: V memory is a data block.
    ppiAddress(f, *e, r.number);
    f.insert(f.end(), {0x00, 0x04, 0x00, static_cast<std::uint8_t>(8 * w)});
    for (int i = w - 1; i >= 0; --i)
        f.push_back(data[static_cast<std::size_t>(i)]); // most significant first
    ppiClose(f);
    return f;
}

// ---- Delta DVP (Modbus ASCII) ----
std::optional<std::uint32_t> deltaAddress(int type, int n, bool write)
{
    switch (type) {
    case 1: return 0x0400u + static_cast<std::uint32_t>(write ? OctalToBits(n) : OctalToBits(n) / 8 * 8);
    case 2: return 0x0500u + static_cast<std::uint32_t>(write ? OctalToBits(n) : OctalToBits(n) / 8 * 8);
    case 3: return static_cast<std::uint32_t>(n < 1536 ? 0x0800 + n : 0xAA00 + n);
    case 4: return static_cast<std::uint32_t>(n < 4096 ? 0x1000 + n : 0x8000 + n);
    case 5: return 0x0E00u + static_cast<std::uint32_t>(n);
    case 6: return 0x0600u + static_cast<std::uint32_t>(n);
    default: return std::nullopt;
    }
}

Frame deltaAscii(const Frame& raw)
{
    Frame f{':'};
    unsigned sum = 0;
    for (auto b : raw) {
        PutHex(f, b, 2);
        sum += b;
    }
    PutHex(f, static_cast<std::uint8_t>(-static_cast<int>(sum)), 2);
    f.push_back('\r');
    f.push_back('\n');
    return f;
}

Frame deltaRead(const PlcRequest& r)
{
    const auto a = deltaAddress(r.type, r.number, false);
    if (!a)
        return {};
    Frame raw{r.station, static_cast<std::uint8_t>(r.type <= 3 ? 2 : 3)};
    put16(raw, *a);
    put16(raw, r.count);
    return deltaAscii(raw);
}

Frame deltaWrite(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    if (r.type < 1 || r.type > 4)
        return {};
    const auto a = deltaAddress(r.type, r.number, true);
    Frame raw{r.station};
    if (r.type <= 3 && r.count == 1) {
        raw.push_back(5);
        put16(raw, *a);
        put16(raw, bitOf(data, r.bit < 0 ? 0 : r.bit) ? 0xFF00 : 0x0000);
    } else if (r.type <= 3) {
        raw.push_back(15);
        put16(raw, *a);
        put16(raw, r.count);
        const auto n = bitBytes(r.count);
        raw.push_back(static_cast<std::uint8_t>(n));
        for (std::size_t i = 0; i < n; ++i)
            raw.push_back(i < data.size() ? data[i] : 0);
        if (r.count % 8)
            raw.back() &= static_cast<std::uint8_t>((1u << (r.count % 8)) - 1);
    } else {
        raw.push_back(16);
        put16(raw, *a);
        put16(raw, r.count);
        raw.push_back(static_cast<std::uint8_t>(2 * r.count));
        for (int i = 0; i < r.count; ++i)
            put16(raw, static_cast<std::uint32_t>(data[2 * i] | data[2 * i + 1] << 8));
    }
    return deltaAscii(raw);
}

// ---- FATEK FB ----
constexpr std::array<std::string_view, 6> kFatekNames{"X", "Y", "M", "D", "RC", "RT"};
void fatekName(Frame& f, int type, int number)
{
    if (type >= 1 && type <= 6)
        putText(f, kFatekNames[static_cast<std::size_t>(type - 1)]);
    putText(f, fmt::format("{:0{}d}", number, type == 4 ? 5 : 4));
}
void fatekClose(Frame& f)
{
    PutHex(f, Sum8(f), 2);
    f.push_back(0x03);
}
Frame fatekHead(const PlcRequest& r, bool write)
{
    Frame f{0x02};
    PutHex(f, r.station, 2);
    putText(f, r.type > 3 ? (write ? "47" : "46") : (write ? "45" : "44"));
    PutHex(f, r.count & 0xFF, 2);
    fatekName(f, r.type, r.number);
    return f;
}
Frame fatekRead(const PlcRequest& r)
{
    Frame f = fatekHead(r, false);
    fatekClose(f);
    return f;
}
Frame fatekWrite(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    if (r.type < 2 || r.type > 4)
        return {};
    Frame f = fatekHead(r, true);
    if (r.type == 4) {
        for (int i = 0; i < r.count; ++i)
            PutHex(f, static_cast<std::uint32_t>(data[2 * i] | data[2 * i + 1] << 8), 4);
    } else if (r.count == 1 && r.bit >= 0) {
        f.push_back(bitOf(data, r.bit) ? '1' : '0');
    } else {
        for (int i = 0; i < r.count; ++i)
            f.push_back(((data[static_cast<std::size_t>(i / 8)] >> (i % 8)) & 1) ? '1' : '0');
    }
    fatekClose(f);
    return f;
}

// ---- OMRON Host Link with FINS ----
constexpr std::array<std::string_view, 5> kOmronAreas{"B0", "B1", "82", "89", "89"};
Frame omronFrame(const PlcRequest& r, bool write, std::span<const std::uint8_t> data)
{
    if (r.type < 1 || r.type > 5)
        return {};
    Frame f{'@'};
    putText(f, fmt::format("{:02d}", r.station % 100));
    putText(f, "FA0" "80" "00" "02" "00" "00" "00" "00" "00" "FC" "00");
    putText(f, write ? "0102" : "0101");
    putText(f, kOmronAreas[static_cast<std::size_t>(r.type - 1)]);
    PutHex(f, r.type == 4 ? (r.number | 0x8000u) : r.number, 4);
    putText(f, "00");
    putText(f, "00");
    PutHex(f, r.count & 0xFF, 2);
    if (write)
        for (int i = 0; i < r.count; ++i)
            PutHex(f, static_cast<std::uint32_t>(data[2 * i] | data[2 * i + 1] << 8), 4);
    std::uint8_t fcs = 0;
    for (auto c : f)
        fcs ^= c;
    PutHex(f, fcs, 2);
    f.push_back('*');
    f.push_back('\r');
    return f;
}

} // namespace

int OctalToBits(int n)
{
    int bits = 0, scale = 1;
    for (; n > 0; n /= 10, scale *= 8)
        bits += (n % 10) * scale;
    return bits;
}

int BitsToOctal(int bits)
{
    int n = 0, scale = 1;
    for (; bits > 0; bits /= 8, scale *= 10)
        n += (bits % 8) * scale;
    return n;
}

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

std::size_t ReadDataLength(int protocol, const PlcRequest& r)
{
    const bool bits = protocol == ModbusMaster ? r.type <= 2 : protocol == OmronCj ? false
                      : protocol == SiemensPpi ? false : r.type <= 3;
    if (protocol == SiemensPpi) {
        const PpiElement* e = ppiElement(r.type);
        return e ? static_cast<std::size_t>(e->width) * r.count : 0;
    }
    return bits ? bitBytes(r.count) : 2u * r.count;
}

std::size_t WriteDataLength(int protocol, const PlcRequest& r)
{
    if (protocol == SiemensPpi) {
        const PpiElement* e = ppiElement(r.type);
        return e ? e->width : 0;
    }
    if (protocol == ModbusMaster)
        return r.function == 5 || r.function == 15 ? (r.function == 5 ? 1 : bitBytes(r.count)) : 2u * r.count;
    if (protocol == MitsubishiFx && r.type <= 3)
        return r.bit >= 0 ? 1 : bitBytes(r.count);
    return ReadDataLength(protocol, r);
}

Frame BuildRead(int protocol, const PlcRequest& r)
{
    switch (protocol) {
    case ModbusMaster: return modbusRead(r);
    case MitsubishiFx: return fxRead(r);
    case SiemensPpi: return ppiRead(r);
    case DeltaDvp: return deltaRead(r);
    case FatekFb: return fatekRead(r);
    case OmronCj: return omronFrame(r, false, {});
    default: return {};
    }
}

Frame BuildWrite(int protocol, const PlcRequest& r, std::span<const std::uint8_t> data, std::string* refusal)
{
    Frame f;
    if (data.size() >= WriteDataLength(protocol, r)) {
        switch (protocol) {
        case ModbusMaster: f = modbusWrite(r, data); break;
        case MitsubishiFx: f = fxWrite(r, data); break;
        case SiemensPpi: f = ppiWrite(r, data); break;
        case DeltaDvp: f = deltaWrite(r, data); break;
        case FatekFb: f = fatekWrite(r, data); break;
        case OmronCj: f = omronFrame(r, true, data); break;
        default: break;
        }
    }
    if (f.empty() && refusal)
        *refusal = fmt::format("PLC element type {} cannot be written (station {}, element {})", r.type, r.station, r.number);
    return f;
}

Frame BuildPpiDataRequest(std::uint8_t station)
{
    return {0x10, station, 0x00, 0x5C, static_cast<std::uint8_t>(station + 0x5C), 0x16};
}

} // namespace qv::sim::plc
