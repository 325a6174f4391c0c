// Variable references in the raw parameter block of every kind: renumbering, clearing,
// refreshing, the binding check, curve and string extents, sizes and rescaling.
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/block_bytes.h"
#include "model/params/object_var_refs.h"
#include "model/params/var_refs.h"

#include <gtest/gtest.h>

#include <vector>

namespace qv {
namespace {

// Heap blocks of exactly 1024 bytes, so the address sanitizer sees any access past the end.
using Block = std::vector<std::uint8_t>;
Block newBlock() { return Block(1024, 0); }

void put32(Block& b, int offset, std::int32_t v) { blockWriteI32(b, offset, v); }
std::int32_t get32(const Block& b, int offset) { return blockReadI32(b, offset); }

// Rows r of this resolver live at address 100 + 4 r with type code r % 6; -1 is unbound.
VarBinding fakeBinding(std::int32_t row)
{
    if (row < 0)
        return {};
    return {100 + 4 * row, static_cast<std::uint8_t>(row % 6)};
}

// Every reference of every kind, with a curve of three records.
struct KindRef {
    ShapeKind kind;
    VarRefField ref;
};
std::vector<KindRef> allRefs()
{
    std::vector<KindRef> out;
    for (int code = 0; code < kKindCount; ++code) {
        Block b = newBlock();
        put32(b, blocks::curve::kCurveCount.offset, 3);
        for (const VarRefField& r : varRefsOf(KindFromCode(code), b))
            out.push_back({KindFromCode(code), r});
    }
    return out;
}

TEST(VarRefs, EveryKindKeepsItsReferencesAtItsOffsets)
{
    const struct {
        ShapeKind kind;
        std::vector<int> indexOffsets;
    } expected[] = {
        {ShapeKind::Button, {128, 172, 216}},
        {ShapeKind::DynamicPicture, {64, 84, 80}},
        {ShapeKind::RealTimeNumber, {84, 112, 108, 148, 164, 180}},
        {ShapeKind::Curve, {860, 84, 96, 108}},
        {ShapeKind::Indicator, {16, 32}},
        {ShapeKind::BitSwitch, {16, 36, 56}},
        {ShapeKind::RadioButton, {0, 44, 68}},
        {ShapeKind::ProgressBar, {28, 56}},
        {ShapeKind::Character, {36, 68, 52, 160, 176, 192, 212, 364}},
        {ShapeKind::Rectangle, {}},
        {ShapeKind::NumericInput, {}},
        {ShapeKind::Table, {}},
        {ShapeKind::AreaControl, {}},
    };
    for (const auto& e : expected) {
        Block b = newBlock();
        put32(b, blocks::curve::kCurveCount.offset, 3);
        std::vector<int> got;
        for (const VarRefField& r : varRefsOf(e.kind, b))
            got.push_back(r.index);
        EXPECT_EQ(got, e.indexOffsets) << "kind " << e.kind;
    }
}

enum class Op { Delete, Swap, Move };
struct RenumberCase {
    Op op;
    int row;     // deleted row, swapped row, or move source
    int target;  // move target
    std::int32_t before;
    std::int32_t after;
};

// One table for every kind's references: delete, swap and move in both directions; -1 stays.
TEST(VarRefs, RenumberingFollowsTheTableForEveryReference)
{
    const RenumberCase cases[] = {
        {Op::Delete, 5, 0, 5, -1}, {Op::Delete, 5, 0, 7, 6}, {Op::Delete, 5, 0, 3, 3}, {Op::Delete, 5, 0, -1, -1},
        {Op::Delete, 0, 0, 0, -1}, {Op::Delete, 0, 0, 1, 0},
        {Op::Swap, 5, 0, 5, 4}, {Op::Swap, 5, 0, 4, 5}, {Op::Swap, 5, 0, 6, 6}, {Op::Swap, 5, 0, 3, 3},
        {Op::Swap, 5, 0, -1, -1},
        // the first row has nothing above it to swap with; a hostile row number changes nothing
        {Op::Swap, 0, 0, 0, 0}, {Op::Swap, 0, 0, 1, 1}, {Op::Swap, INT32_MIN, 0, 0, 0},
        // a move onto itself keeps every index
        {Op::Move, 3, 3, 3, 3}, {Op::Move, 3, 3, 4, 4}, {Op::Move, 3, 3, 2, 2},
        {Op::Move, INT32_MAX, INT32_MAX, 7, 7},
        {Op::Move, 2, 5, 2, 5}, {Op::Move, 2, 5, 3, 2}, {Op::Move, 2, 5, 4, 3}, {Op::Move, 2, 5, 5, 4},
        {Op::Move, 2, 5, 6, 6}, {Op::Move, 2, 5, 1, 1}, {Op::Move, 2, 5, -1, -1},
        {Op::Move, 5, 2, 5, 3}, {Op::Move, 5, 2, 3, 4}, {Op::Move, 5, 2, 4, 5}, {Op::Move, 5, 2, 2, 2},
        {Op::Move, 5, 2, 6, 6}, {Op::Move, 5, 2, -1, -1},
    };
    const VarResolver resolve = fakeBinding;
    for (const KindRef& kr : allRefs()) {
        for (const RenumberCase& c : cases) {
            Block b = newBlock();
            put32(b, blocks::curve::kCurveCount.offset, 3);
            put32(b, kr.ref.index, c.before);
            switch (c.op) {
            case Op::Delete: renumberAfterVarDelete(kr.kind, b, c.row, resolve); break;
            case Op::Swap: renumberAfterVarSwap(kr.kind, b, c.row, resolve); break;
            case Op::Move: renumberAfterVarMove(kr.kind, b, c.row, c.target, resolve); break;
            }
            SCOPED_TRACE(testing::Message() << "kind " << kr.kind << " " << kr.ref.role << " at " << kr.ref.index
                                            << " op " << static_cast<int>(c.op) << " row " << c.row << " before " << c.before);
            EXPECT_EQ(get32(b, kr.ref.index), c.after);
            const VarBinding derived = fakeBinding(c.after);
            if (kr.ref.address != kNoField)
                EXPECT_EQ(get32(b, kr.ref.address), derived.address);
            if (kr.ref.type != kNoField)
                EXPECT_EQ(b[static_cast<std::size_t>(kr.ref.type)], *derived.type);
        }
    }
}

TEST(VarRefs, ClearAndRefreshDeriveAddressAndType)
{
    for (const KindRef& kr : allRefs()) {
        Block b = newBlock();
        put32(b, blocks::curve::kCurveCount.offset, 3);
        put32(b, kr.ref.index, 7);
        refreshVarRefs(kr.kind, b, fakeBinding);
        if (kr.ref.address != kNoField)
            EXPECT_EQ(get32(b, kr.ref.address), 128) << kr.kind << kr.ref.role;
        clearVarRefs(kr.kind, b, fakeBinding);
        EXPECT_EQ(get32(b, kr.ref.index), -1);
        if (kr.ref.address != kNoField)
            EXPECT_EQ(get32(b, kr.ref.address), -1) << kr.kind << kr.ref.role;
    }
}

TEST(VarRefs, UnknownTypeTextKeepsTheCachedType)
{
    Block b = newBlock();
    put32(b, 16, 3);
    b[24] = 4;
    refreshVarRefs(ShapeKind::BitSwitch, b, [](std::int32_t) { return VarBinding{50, std::nullopt}; });
    EXPECT_EQ(get32(b, 20), 50);
    EXPECT_EQ(b[24], 4);
}

TEST(VarRefs, KindsWithoutReferencesAreUnchanged)
{
    for (ShapeKind kind : {ShapeKind::Rectangle, ShapeKind::Text, ShapeKind::NumericInput, ShapeKind::Pipe, ShapeKind::Table, ShapeKind::AreaControl, ShapeKind::Reserved16, KindFromCode(99), KindFromCode(-1)}) {
        Block b = newBlock();
        for (std::size_t i = 0; i < b.size(); ++i)
            b[i] = static_cast<std::uint8_t>(i * 7);
        const Block before = b;
        renumberAfterVarDelete(kind, b, 0, fakeBinding);
        clearVarRefs(kind, b, fakeBinding);
        EXPECT_EQ(b, before) << kind;
    }
}

// A record count from a file above 78 would run records past the block; it is held to 64.
TEST(VarRefs, CurveRecordCountIsClamped)
{
    for (const auto& [stored, used] : std::vector<std::pair<std::int32_t, int>>{
             {0, 0}, {1, 1}, {64, 64}, {65, 64}, {79, 64}, {1000, 64}, {INT32_MAX, 64}, {-1, 0}, {INT32_MIN, 0}}) {
        Block b = newBlock();
        put32(b, blocks::curve::kCurveCount.offset, stored);
        EXPECT_EQ(curveRecordCount(b), used) << stored;
        for (int i = 0; i < 64; ++i)
            put32(b, blocks::curve::kRecordBase + blocks::curve::kRecordSize * i, i < used ? i : 0);
        renumberAfterVarDelete(ShapeKind::Curve, b, 0, fakeBinding);
        refreshVarRefs(ShapeKind::Curve, b, fakeBinding);
        EXPECT_EQ(varRefsOf(ShapeKind::Curve, b).size(), static_cast<std::size_t>(used) + 1);
    }
}

TEST(VarRefs, ShortBlocksAreNeverReadOrWrittenPastTheirEnd)
{
    std::vector<std::uint8_t> small(100, 0xFF);
    blockWriteI32(small, blocks::curve::kCurveCount.offset, 64);
    renumberAfterVarDelete(ShapeKind::Curve, small, 0, fakeBinding);
    refreshVarRefs(ShapeKind::Character, small, fakeBinding);
    EXPECT_FALSE(isBindingValid(ShapeKind::Character, small));
    EXPECT_EQ(varRefsOf(ShapeKind::Curve, small).size(), 2u); // records at 84 and 96 fit, the rest do not
}

struct BindingCase {
    ShapeKind kind;
    std::vector<std::pair<int, std::int32_t>> fields;  // (offset, 32-bit value)
    std::vector<std::pair<int, std::uint8_t>> bytes;
    bool valid;
};

TEST(VarRefs, BindingCheckByKind)
{
    const BindingCase cases[] = {
        {ShapeKind::DynamicPicture, {{64, 0}}, {}, true},
        {ShapeKind::DynamicPicture, {{64, -1}}, {}, false},
        {ShapeKind::RealTimeNumber, {{84, 3}}, {}, true},
        {ShapeKind::RealTimeNumber, {{84, -1}, {112, 3}}, {}, false},
        {ShapeKind::Indicator, {{16, -1}}, {}, false},
        {ShapeKind::BitSwitch, {{16, 2}, {36, -1}}, {}, true},
        {ShapeKind::RadioButton, {{0, -1}}, {}, false},
        {ShapeKind::ProgressBar, {{28, -1}}, {}, false},
        {ShapeKind::ProgressBar, {{28, 4}}, {}, true},
        {ShapeKind::Curve, {{blocks::curve::kCurveCount.offset, 0}}, {}, true},
        {ShapeKind::Curve, {{blocks::curve::kCurveCount.offset, 2}, {84, 1}, {96, -1}}, {}, false},
        {ShapeKind::Curve, {{blocks::curve::kCurveCount.offset, 2}, {84, 1}, {96, 0}, {108, -1}}, {}, true},
        {ShapeKind::Character, {{36, 1}, {68, -1}, {52, -1}}, {}, true},
        {ShapeKind::Character, {{36, -1}}, {}, false},
        {ShapeKind::Character, {{36, 1}, {68, -1}}, {{64, 1}}, false},
        {ShapeKind::Character, {{36, 1}, {68, 2}}, {{64, 1}}, true},
        {ShapeKind::Character, {{36, 1}, {52, -1}}, {{48, 1}}, false},
        // The switches are bytes: one set only above its low byte is off.
        {ShapeKind::Character, {{36, 1}, {68, -1}}, {{65, 1}}, true},
        {ShapeKind::Character, {{36, 1}, {52, -1}}, {{49, 1}}, true},
        {ShapeKind::Button, {{128, -1}, {172, -1}}, {}, true},
        {ShapeKind::Rectangle, {{0, -1}}, {}, true},
        {ShapeKind::AreaControl, {}, {}, true},
    };
    for (const BindingCase& c : cases) {
        Block b = newBlock();
        for (const auto& [offset, value] : c.fields)
            put32(b, offset, value);
        for (const auto& [offset, value] : c.bytes)
            b[static_cast<std::size_t>(offset)] = value;
        EXPECT_EQ(isBindingValid(c.kind, b), c.valid) << "kind " << c.kind << " case " << (&c - cases);
    }
}

std::optional<VarExtent> extentOf(std::int32_t row)
{
    if (row < 0 || row > 9)
        return std::nullopt;
    return VarExtent{1000 + 10 * row, row % 2 ? 2 : 4};
}

TEST(VarRefs, CurveAndStringEnds)
{
    Block curve = newBlock();
    put32(curve, blocks::curve::kPointCount.offset, 20);
    put32(curve, blocks::curve::kCurveCount.offset, 3);
    put32(curve, 84, 1);   // 1010 + 2 x 20
    put32(curve, 96, 2);   // 1020 + 4 x 20 = 1100
    put32(curve, 108, -1);
    EXPECT_EQ(curveAddressEnd(ShapeKind::Curve, curve, extentOf), 1100);
    EXPECT_FALSE(curveAddressEnd(ShapeKind::Character, curve, extentOf).has_value());

    Block text = newBlock();
    put32(text, blocks::character::kStringIndex.offset, 3);
    put32(text, blocks::character::kStringLength.offset, 16);
    EXPECT_EQ(stringAddressEnd(ShapeKind::Character, text, extentOf), 1046);
    put32(text, blocks::character::kStringIndex.offset, -1);
    EXPECT_FALSE(stringAddressEnd(ShapeKind::Character, text, extentOf).has_value());

    // Hostile addresses from a resolver are held at the 32-bit edge instead of overflowing.
    const struct {
        std::int64_t address;
        std::int64_t curveEnd;  // one 4-byte record x INT32_MAX samples
        std::int64_t stringEnd; // INT32_MAX characters
    } hostile[] = {
        {INT64_MAX, INT32_MAX + 4 * std::int64_t{INT32_MAX}, 2 * std::int64_t{INT32_MAX}},
        {INT64_MIN, INT32_MIN + 4 * std::int64_t{INT32_MAX}, std::int64_t{INT32_MIN} + INT32_MAX},
    };
    for (const auto& h : hostile) {
        const VarExtentResolver wild = [&](std::int32_t) { return std::optional<VarExtent>{VarExtent{h.address, 4}}; };
        Block c = newBlock();
        put32(c, blocks::curve::kPointCount.offset, INT32_MAX);
        put32(c, blocks::curve::kCurveCount.offset, 1);
        put32(c, 84, 0);
        EXPECT_EQ(curveAddressEnd(ShapeKind::Curve, c, wild), h.curveEnd) << h.address;
        put32(text, blocks::character::kStringIndex.offset, 0);
        put32(text, blocks::character::kStringLength.offset, INT32_MAX);
        EXPECT_EQ(stringAddressEnd(ShapeKind::Character, text, wild), h.stringEnd) << h.address;
    }
}

TEST(VarRefs, CollectVarSizesRaisesOnlyWhatTheObjectNeeds)
{
    const VarWidthResolver width = [](std::int32_t row) { return row == 2 ? 2 : 1; };
    std::vector<unsigned> sizes(4, 1);

    Block curve = newBlock();
    put32(curve, blocks::curve::kPointCount.offset, 20);
    put32(curve, blocks::curve::kCurveCount.offset, 2);
    put32(curve, 84, 2);   // 2 x 20
    put32(curve, 96, 9);   // outside the table: ignored
    collectVarSizes(ShapeKind::Curve, curve, sizes, width);

    Block text = newBlock();
    put32(text, blocks::character::kStringIndex.offset, 1);
    put32(text, blocks::character::kStringLength.offset, 20);
    collectVarSizes(ShapeKind::Character, text, sizes, width);

    Block picture = newBlock();
    put32(picture, 64, 3);
    collectVarSizes(ShapeKind::DynamicPicture, picture, sizes, width);  // frame number: one element
    EXPECT_EQ(sizes, (std::vector<unsigned>{1, 20, 40, 1}));
    put32(picture, 200, 1);
    put32(picture, 204, 1);
    collectVarSizes(ShapeKind::DynamicPicture, picture, sizes, width);  // a 16-byte file name
    EXPECT_EQ(sizes[3], 16u);

    put32(text, blocks::character::kStringLength.offset, 4);
    collectVarSizes(ShapeKind::Character, text, sizes, width);  // never lowered
    EXPECT_EQ(sizes[1], 20u);
}

TEST(VarRefs, RescaleRect)
{
    const RescaleFrame frame{{38, 38}, {10, 20}};
    const struct {
        Rect before;
        int oldW, oldH, newW, newH, dx, dy;
        Rect after;
    } cases[] = {
        {{48, 58, 148, 108}, 800, 480, 800, 480, 0, 0, {48, 58, 148, 108}},
        {{148, 158, 248, 208}, 800, 480, 400, 240, 0, 0, {98, 108, 148, 133}},
        {{148, 158, 248, 208}, 800, 480, 1024, 600, 5, -5, {171, 188, 299, 250}},
        {{49, 59, 52, 62}, 3, 3, 2, 2, 0, 0, {48, 58, 50, 60}},
        {{100, 100, 200, 200}, 0, 0, 800, 480, 1, 2, {99, 98, 199, 198}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rescaleRect(c.before, frame, c.oldW, c.oldH, c.newW, c.newH, c.dx, c.dy), c.after)
            << c.before.left << "," << c.before.top << " " << c.newW << "x" << c.newH;
}

} // namespace
} // namespace qv
