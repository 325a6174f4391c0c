// Number services of the 8051 program: text of numbers, text and memory copies, variable
// arithmetic, time split, polar points and float scaling. Every memory access goes through
// the bank's checked accessor: a result that would leave the bank is not written (0 in 0xC1
// where the service answers), a source that would leave it makes the service do nothing.
// Arithmetic wraps in 32 bits and products are taken in 64 bits, so no input traps.
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "model/paint/number_format.h"
#include "sim/services/mc8051_request.h"
#include "sim/services/panel_service_state.h"

namespace qv::sim {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Writes `text` (and a NUL when asked) at `address`; false, with nothing written, when it
// would leave the bank.
bool writeText(VarBank& bank, std::uint16_t address, std::string text, bool withNul)
{
    if (withNul)
        text.push_back('\0');
    return text.empty() || bank.writeBytes(address, bytesOf(text));
}

std::optional<std::int32_t> readS32(const VarBank& bank, std::int64_t address)
{
    const auto raw = bank.read(address, 4);
    return raw ? std::optional<std::int32_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(*raw))) : std::nullopt;
}
std::optional<std::int16_t> readS16(const VarBank& bank, std::int64_t address)
{
    const auto raw = bank.read(address, 2);
    return raw ? std::optional<std::int16_t>(static_cast<std::int16_t>(static_cast<std::uint16_t>(*raw))) : std::nullopt;
}
std::optional<std::uint16_t> readU16(const VarBank& bank, std::int64_t address)
{
    const auto raw = bank.read(address, 2);
    return raw ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*raw)) : std::nullopt;
}

// A double to a 16-bit screen coordinate: truncated toward zero, then wrapped; a value no
// integer can hold gives 0.
std::uint16_t wrapToU16(double value)
{
    const double truncated = std::trunc(value);
    if (!std::isfinite(truncated) || std::fabs(truncated) >= 9.0e18)
        return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(truncated)));
}

std::int32_t wrap32(std::int64_t value) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); }

// Signed division that never traps: INT_MIN / -1 wraps to INT_MIN. nullopt for a zero divisor.
std::optional<std::int64_t> divide(std::int64_t dividend, std::int64_t divisor)
{
    if (divisor == 0)
        return std::nullopt;
    return dividend / divisor; // operands are at most 32-bit, so 64-bit division cannot trap
}

} // namespace

void ServeIntegerToText(PanelServiceState&, Mc8051Request& request)
{
    const auto value = static_cast<std::int32_t>(request.l());
    const std::string text = FormatSignedDecimal(value, 0, 10, kFillNone, false);
    const bool written = writeText(request.bank(), request.p1(), text, true);
    request.setC1(written ? static_cast<std::uint8_t>(text.size()) : 0);
}

void ServeFormatNumber(PanelServiceState&, Mc8051Request& request)
{
    const std::uint8_t format = request.byte(0xC8);
    const std::uint8_t flags = request.byte(0xC9);
    std::optional<std::int64_t> value;
    if (flags & 0x40) {
        value = static_cast<std::int32_t>(request.l());
    } else {
        switch ((flags >> 2) & 3) {
        case 0:
            if (const auto b = request.bank().readByte(request.p2()))
                value = static_cast<std::int8_t>(*b);
            break;
        case 1:
            if (const auto w = readS16(request.bank(), request.p2()))
                value = *w;
            break;
        case 2:
            if (const auto d = readS32(request.bank(), request.p2()))
                value = *d;
            break;
        default: value = 0; break;
        }
    }
    if (!value) {
        request.setC1(0);
        return;
    }
    const std::string text = FormatSignedDecimal(*value, format >> 4, format & 0x0F, flags & 3, (flags & 0x10) != 0);
    const bool written = writeText(request.bank(), request.p1(), text, (flags & 0x20) != 0);
    request.setC1(written ? static_cast<std::uint8_t>(text.size()) : 0);
}

void ServeCopyText(PanelServiceState&, Mc8051Request& request)
{
    // Up to the NUL, at most 255 bytes and never past the bank's end; byte by byte upward.
    VarBank& bank = request.bank();
    const std::int64_t source = request.p2();
    const std::int64_t destination = request.p1();
    std::int64_t count = 0;
    while (count < 255 && source + count < kVarMemSize && bank.byteAt(static_cast<std::uint16_t>(source + count)) != 0)
        ++count;
    if (count > 0 && !isValidVarRange(destination, count)) {
        request.setC1(0);
        return;
    }
    for (std::int64_t i = 0; i < count; ++i)
        bank.setByteAt(static_cast<std::uint16_t>(destination + i), bank.byteAt(static_cast<std::uint16_t>(source + i)));
    request.setC1(static_cast<std::uint8_t>(count));
}

void ServeMoveMemory(PanelServiceState&, Mc8051Request& request)
{
    const std::int64_t count = request.p1();
    const std::int64_t destination = request.p2();
    const std::int64_t source = request.p3();
    if (destination + count >= kVarMemSize || source + count >= kVarMemSize) {
        request.setC1(0);
        return;
    }
    VarBank& bank = request.bank();
    for (std::int64_t i = 0; i < count; ++i)
        bank.setByteAt(static_cast<std::uint16_t>(destination + i), bank.byteAt(static_cast<std::uint16_t>(source + i)));
    request.setC1(1);
}

void ServeVariableArithmetic(PanelServiceState&, Mc8051Request& request)
{
    VarBank& bank = request.bank();
    const std::uint16_t d = request.p1();
    const std::uint16_t s1 = request.p2();
    const std::uint16_t s2 = request.p3();
    const std::int64_t k = static_cast<std::int32_t>(request.l());
    const std::uint16_t w = request.p3();
    const auto w16 = static_cast<std::int16_t>(w);

    auto store32 = [&](std::int64_t value) { bank.write(d, 4, static_cast<std::uint32_t>(wrap32(value))); };
    auto store16 = [&](std::int64_t value) { bank.write(d, 2, static_cast<std::uint16_t>(value)); };

    const std::uint8_t sub = request.c1();
    if (sub <= 5 && sub >= 1) {
        const auto dest = readS32(bank, d);
        if (!dest) {
            if (sub == 5)
                request.setC1(0);
            return;
        }
        switch (sub) {
        case 1: store32(std::int64_t{*dest} + k); break;
        case 2: store32(std::int64_t{*dest} - k); break;
        case 3: store32(std::int64_t{*dest} * k); break;
        case 4:
            if (const auto q = divide(*dest, k))
                store32(*q);
            break;
        case 5: request.setC1(static_cast<std::uint32_t>(*dest) == static_cast<std::uint32_t>(k) ? 1 : 0); break;
        }
        return;
    }
    const auto first = readS16(bank, s1);
    if (!first)
        return;
    const std::int64_t a = *first;
    const std::int64_t au = static_cast<std::uint16_t>(*first);
    switch (sub) {
    case 0x20: store16(au + w); break;
    case 0x21: store16(au - w); break;
    case 0x22: store16(au * w); break;
    case 0x23:
        if (const auto q = divide(a, w16))
            store16(*q);
        break;
    case 0x29: store16(std::int64_t{w} - au); break;
    case 0x2B:
        if (const auto q = divide(w16, a))
            store16(*q);
        break;
    case 0x41: store32(a); break;
    case 0x24: case 0x25: case 0x26: case 0x27: {
        const auto second = readS16(bank, s2);
        if (!second)
            return;
        const std::int64_t bu = static_cast<std::uint16_t>(*second);
        if (sub == 0x24)
            store16(au + bu);
        else if (sub == 0x25)
            store16(au - bu);
        else if (sub == 0x26)
            store16(au * bu);
        else if (const auto q = divide(a, *second))
            store16(*q);
        break;
    }
    default: break;
    }
}

void ServeSecondsToTime(PanelServiceState&, Mc8051Request& request)
{
    VarBank& bank = request.bank();
    const auto seconds = bank.read(request.p1(), 4);
    const std::uint16_t destination = request.p2();
    if (!seconds || !isValidVarRange(destination, 4))
        return;
    const auto total = static_cast<std::uint32_t>(*seconds);
    bank.write(destination, 2, static_cast<std::uint16_t>(total / 3600));
    bank.writeByte(destination + 2, static_cast<std::uint8_t>((total % 3600) / 60));
    bank.writeByte(destination + 3, static_cast<std::uint8_t>(total % 60));
}

void ServePolarToPoint(PanelServiceState&, Mc8051Request& request)
{
    if (request.c1() != 1)
        return;
    VarBank& bank = request.bank();
    const auto angle = readS32(bank, request.p1());
    const auto length = readS32(bank, request.p2());
    const auto centreX = static_cast<std::int16_t>(request.p3());
    const auto centreY = static_cast<std::int16_t>(request.word(0xC8));
    const auto multiplier = static_cast<std::int16_t>(request.word(0xCA));
    const auto divisor = static_cast<std::int16_t>(request.word(0xCC));
    const std::uint16_t destination = request.word(0xCE);
    // A zero divisor leaves the destination unchanged, as does a point that would leave the bank.
    if (!angle || !length || divisor == 0 || !isValidVarRange(destination, 4))
        return;
    const std::int64_t radius = std::int64_t{*length} * multiplier / divisor;
    const double theta = static_cast<double>(*angle) * 0.017453292222222222;
    const double x = centreX + static_cast<double>(radius) * std::sin(theta);
    const double y = centreY - static_cast<double>(radius) * std::cos(theta);
    bank.write(destination, 2, wrapToU16(x));
    bank.write(destination + 2, 2, wrapToU16(y));
}

void ServeScaleByFloat(PanelServiceState&, Mc8051Request& request)
{
    VarBank& bank = request.bank();
    std::optional<float> source;
    if (request.c1() == 1) {
        if (const auto v = readU16(bank, request.p2()))
            source = static_cast<float>(*v);
    } else if (request.c1() == 2) {
        if (const auto v = readS32(bank, request.p2()))
            source = static_cast<float>(*v);
    }
    const auto factorBits = bank.read(request.p3(), 4);
    if (!source || !factorBits)
        return;
    const float factor = std::bit_cast<float>(static_cast<std::uint32_t>(*factorBits));
    bank.write(request.p1(), 4, std::bit_cast<std::uint32_t>(*source * factor));
}

} // namespace qv::sim
