// What a property sheet stores is what the compiled item carries: each control kind edited
// through its page models and committed as the sheet's OK commits it, then compiled in a
// window, has the pages' new values at the item offsets written out here.
#include "props/sheet_values.h"
#include "tests/compiler/image_reader.h"
#include "tests/compiler/items_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

struct AfterSheetCase {
    const char* name;
    ShapeKind kind;
    // Block fields a stored control holds before the sheet opens (cached variable addresses
    // the builder refreshes from the table, glyph cells the compile needs).
    std::vector<std::pair<int, std::int32_t>> stored;
    std::vector<std::string> files;
    std::function<void(SheetValues&)> edit;
    std::vector<ItemField> item;
};

void setHmiBit(AddressGroup& g, std::uint32_t bit)
{
    g.state.linkTarget = 0;
    g.state.varIndex = 0;
    g.state.bit = bit;
    g.changed = true;
}

TEST(ItemsAfterSheet, EachKindCarriesThePagesValues)
{
    const AfterSheetCase cases[] = {
        {"button", ShapeKind::Button, {{164, 300}, {184, 500}}, {"", "", "", "操作变量"},
         [](SheetValues& v) {
             auto& c = std::get<ButtonControlPage>(v.control);
             c.doubleClick = 1, c.password = 2, c.handCursor = 1, c.operation = 2;
             c.operated.state.varIndex = 0;
             c.operated.changed = true;
             v.common.hide->use = 1;
             setHmiBit(*v.common.hide, 10);
         },
         {{0, 1, 2}, {13, 1, 1}, {14, 1, 2}, {15, 1, 1}, {16, 1, 2}, {18, 2, 501}, {20, 2, 2u << 9, 3u << 9},
          {36, 4, 300}}},
        {"real-time number", ShapeKind::RealTimeNumber,
         {{80, 400}, {96, 8}, {100, 16}, {140, 4}, {124, 600}}, {},
         [](SheetValues& v) {
             auto& s = std::get<NumberShapePage>(v.appearance);
             s.digits = 6, s.decimals = 3, s.alignment = 1, s.leadingFill = 2, s.plusSign = 1, s.writeAllowed = 1;
             s.borderWidth = 0, s.keyboardX = 30, s.keyboardY = 40, s.minimum = static_cast<std::uint32_t>(-5);
             s.maximum = 900, s.toFloat = 1, s.byteOrder = 2;
             std::get<NumberControlPage>(v.control).password = 3;
             v.common.hide->use = 1;
             setHmiBit(*v.common.hide, 19);
         },
         {{0, 1, 3}, {2, 1, 3u << 6, 0xC0}, {3, 1, 3}, {16, 1, 2 + 4 * 1}, {17, 1, 6}, {18, 1, 3, 3}, {44, 1, 3},
          {46, 2, 602}, {51, 1, 0x82, 0x9F}, {60, 2, 30}, {62, 2, 40}, {64, 4, static_cast<std::uint32_t>(-5)},
          {68, 4, 900}}},
        {"bit switch", ShapeKind::BitSwitch, {{20, 100}, {124, 400}}, {},
         [](SheetValues& v) {
             auto& c = std::get<SwitchControlPage>(v.control);
             c.function = 3, c.password = 2, c.differentWrite = 1;
             setHmiBit(c.read, 13);
             setHmiBit(c.write, 17);
         },
         {{0, 1, 9}, {3, 1, 5}, {12, 1, 3}, {13, 1, 2}, {16, 4, 101}, {40, 1, 1}, {41, 1, 1}, {42, 2, 402}}},
        {"indicator", ShapeKind::Indicator, {{20, 200}, {44, 700}}, {},
         [](SheetValues& v) {
             setHmiBit(std::get<IndicatorControlPage>(v.control).read, 30);
             v.common.hide->use = 1;
             setHmiBit(*v.common.hide, 9);
         },
         {{0, 1, 8}, {3, 1, 6}, {12, 4, 203}, {16, 1, 1}, {18, 2, 701}}},
        {"radio button", ShapeKind::RadioButton, {{8, 0x1234}, {128, 0x2000}}, {"", ""},
         [](SheetValues& v) {
             auto& c = std::get<RadioControlPage>(v.control);
             c.value = static_cast<std::uint32_t>(-9), c.password = 1, c.differentWrite = 1;
             c.read.state.varIndex = 0;
             c.read.changed = true;
             c.write.state.varIndex = 0;
             c.write.changed = true;
         },
         {{0, 1, 10}, {3, 1, 1}, {12, 4, static_cast<std::uint32_t>(-9)}, {16, 4, 0x1234}, {40, 1, 1},
          {42, 2, 0x2000}}},
    };
    for (const AfterSheetCase& k : cases) {
        SCOPED_TRACE(k.name);
        // The window compileOneControl builds: 40 x 20 at margins 38.
        CDrawDoc window;
        window.m_nMarginX = window.m_nMarginY = 38;
        window.m_nWindowWidth = 40;
        window.m_nWindowHeight = 20;
        auto control = controlAt(k.kind, {40, 41, 56, 57});
        control->m_strFiles = k.files;
        for (const auto& [offset, value] : k.stored)
            control->SetParamI32(offset, value);
        SheetContext context;
        context.frame = WindowFrameOf(38, 38, &window);
        SheetValues values = LoadSheet(*control, context);
        k.edit(values);
        CommitSheet(values, *control, context);

        const CompiledItem c = compileOneControl(std::move(control));
        ASSERT_TRUE(c.ok) << c.log;
        for (const ItemField& f : k.item)
            EXPECT_EQ(readItemField(c.image, c.item, f), f.value) << "offset " << f.offset;
    }
}

} // namespace
} // namespace qv::test
