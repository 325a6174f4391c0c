// Read requests of PLC-linked references: per kind and option, per protocol and element type,
// duplicates folded, links to ports without a master protocol and a full table.
#include <gtest/gtest.h>

#include <array>

#include "model/params/block_bytes.h"
#include "sim/plc/request_registration.h"

namespace qv::sim::plc {
namespace {

using Block = std::array<std::uint8_t, 1024>;

struct Link {
    std::int32_t target, type, element;
    std::uint8_t station = 3;
};

void putLink(Block& b, int at, const Link& l)
{
    blockWriteI32(b, at, l.target);
    blockWriteI32(b, at + 4, l.type);
    b[static_cast<std::size_t>(at + 8)] = l.station;
    blockWriteI32(b, at + 12, l.element);
}

struct Fixture {
    std::array<PlcRequestTable, 2> tables;
    RegistrationContext ctx;
    explicit Fixture(int protocol1, int protocol2 = 0)
    {
        ctx.ports = {PortLink{protocol1, 4, 6, 100}, PortLink{protocol2, 2, 6, 200}};
        ctx.tables = &tables;
        ctx.addressOf = [](std::int32_t row) { return row < 100 ? 1000 + 2 * row : -1; };
    }
};

TEST(PlcRequests, ShapePerProtocolAndElementType)
{
    struct Case {
        const char* what;
        bool bit;
        int protocol;
        std::int32_t type, address;
        bool write;
        std::uint8_t function;
        std::int32_t element;
        std::uint16_t count;
    };
    const Case cases[] = {
        {"modbus word", false, 3, 3, 40, false, 6, 40, 1},
        {"fx word", false, 5, 4, 40, false, 8, 40, 1},
        {"omron word", false, 10, 3, 40, false, 4, 40, 1},
        {"modbus coil byte group", true, 3, 0, 13, false, 1, 8, 8},
        {"modbus register bit single", true, 3, 2, 13, false, 3, 13, 1},
        {"modbus write coil", true, 3, 0, 13, true, 1, 8, 8},
        {"modbus write other", true, 3, 3, 13, true, 3, 13, 1},
        {"fx X decade group", true, 5, 1, 27, false, 2, 20, 8},
        {"fx M byte group", true, 5, 2, 27, false, 3, 24, 8},
        {"fx D single", true, 5, 3, 27, false, 4, 27, 1},
        {"ppi type 3 code 5", true, 6, 3, 27, false, 5, 27, 1},
        {"ppi group keeps count 1", true, 6, 2, 27, false, 3, 24, 1},
        {"delta write single", true, 7, 2, 27, true, 4, 27, 1},
        {"delta write byte", true, 7, 1, 27, true, 3, 24, 8},
        {"delta write decade", true, 7, 0, 27, true, 2, 20, 8},
        {"ppi write type 2 code 5", true, 6, 2, 27, true, 5, 27, 1},
        {"fatek byte group", true, 9, 1, 27, false, 2, 24, 8},
        {"fatek write single", true, 9, 2, 27, true, 4, 27, 1},
        {"omron bit single", true, 10, 2, 27, false, 3, 27, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RequestShape s = c.bit ? bitRequestShape(c.protocol, c.type, c.address, c.write)
                                     : wordRequestShape(c.protocol, c.type, c.address, 1);
        EXPECT_EQ(s.function, c.function);
        EXPECT_EQ(s.element, c.element);
        EXPECT_EQ(s.count, c.count);
    }
}

TEST(PlcRequests, ReferencesPerKindAndOption)
{
    struct Case {
        const char* what;
        ShapeKind kind;
        int varIndex, link;
        int option;            // -1: none needed
        int selector = -1;     // move count selector
        std::uint8_t selectorValue = 0;
        std::uint16_t count = 1;
    };
    const Case cases[] = {
        {"button value", ShapeKind::Button, 128, 228, -1},
        {"button hide", ShapeKind::Button, 172, 248, 126},
        {"dynamic picture move, selector 1", ShapeKind::DynamicPicture, 80, 120, 76, 140, 1, 4},
        {"number move, selector 2", ShapeKind::RealTimeNumber, 108, 312, 106, 332, 2, 2},
        {"number move, other selector", ShapeKind::RealTimeNumber, 108, 312, 106, 332, 9, 1},
        {"number font colour", ShapeKind::RealTimeNumber, 148, 264, 144},
        {"curve hide", ShapeKind::Curve, 860, 892, 853},
        {"radio value", ShapeKind::RadioButton, 0, 80, -1},
        {"progress bar value", ShapeKind::ProgressBar, 28, 76, -1},
        {"character write enable", ShapeKind::Character, 192, 328, 188},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Block b{};
        blockWriteI32(b, c.varIndex, 5);
        putLink(b, c.link, {1, 3, 40});
        if (c.selector >= 0)
            b[static_cast<std::size_t>(c.selector)] = c.selectorValue;
        Fixture f(3);
        if (c.option >= 0) {
            RegisterPlcRequests(c.kind, b, f.ctx);
            EXPECT_EQ(f.tables[0].count(), 0) << "registered with the option off";
            b[static_cast<std::size_t>(c.option)] = 1;
        }
        RegisterPlcRequests(c.kind, b, f.ctx);
        ASSERT_EQ(f.tables[0].count(), 1);
        const PlcMapRecord r = f.tables[0].record(0);
        EXPECT_EQ(r.hmiAddress, 1010);
        EXPECT_EQ(r.port, 1);
        EXPECT_EQ(r.screen, 255);
        EXPECT_EQ(r.station, 3);
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.commDelay5, 4);
        EXPECT_EQ(r.timeout5, 100);
        EXPECT_EQ(r.flags, 4); // row 5 with bit 0 cleared
        EXPECT_EQ(f.tables[1].count(), 0);
    }
}

TEST(PlcRequests, LinksThatRegisterNothingOrOnce)
{
    Block b{};
    blockWriteI32(b, 84, 7); // real-time number value
    putLink(b, 208, {2, 3, 40});

    Fixture noMaster(3, 1); // port 2 speaks the panel's own protocol
    RegisterPlcRequests(ShapeKind::RealTimeNumber, b, noMaster.ctx);
    EXPECT_EQ(noMaster.tables[0].count() + noMaster.tables[1].count(), 0);

    Fixture fx(0, 5);
    RegisterPlcRequests(ShapeKind::RealTimeNumber, b, fx.ctx);
    RegisterPlcRequests(ShapeKind::RealTimeNumber, b, fx.ctx); // a second control reading the same element
    ASSERT_EQ(fx.tables[1].count(), 1);
    EXPECT_EQ(fx.tables[1].record(0).station, 0); // no station with the FX protocol

    putLink(b, 208, {0, 3, 40}); // the HMI variable itself
    Fixture none(3, 3);
    RegisterPlcRequests(ShapeKind::RealTimeNumber, b, none.ctx);
    EXPECT_EQ(none.tables[0].count() + none.tables[1].count(), 0);
}

TEST(PlcRequests, FullTableRefusesWithOneLine)
{
    Fixture f(3);
    Block b{};
    blockWriteI32(b, 84, 1);
    for (int i = 0; i < kMaxRecords + 2; ++i) {
        putLink(b, 208, {1, 3, i});
        RegisterPlcRequests(ShapeKind::RealTimeNumber, b, f.ctx);
    }
    EXPECT_EQ(f.tables[0].count(), kMaxRecords);
    ASSERT_EQ(f.ctx.lines.size(), 1u);
}

} // namespace
} // namespace qv::sim::plc
