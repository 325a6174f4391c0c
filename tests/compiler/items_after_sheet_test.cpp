// What a property sheet stores is what the compiled item carries: a bit switch edited
// through its page models compiles with the new function, password and write bit.
#include "compiler/items/state_picture_items.h"
#include "props/sheet_values.h"
#include "tests/compiler/items_state_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

TEST(ItemsAfterSheet, BitSwitchCarriesThePagesValues)
{
    ItemFixture f(511);
    CDrawObj& sw = f.addControl(kKindBitSwitch, 10, 4, 6, 6);
    sw.SetParamI32(16, 0);
    sw.SetParamI32(20, 100);  // the cached addresses the builder refreshes from the table
    sw.SetParamI32(120, 0);
    sw.SetParamI32(124, 400);

    SheetContext context;
    context.frame = WindowFrameOf(kMargin, kMargin, &f.doc);
    context.projectDir = f.dir.path();
    SheetValues values = LoadSheet(sw, context);
    auto& page = std::get<SwitchControlPage>(values.control);
    page.function = 3;        // "复归型"
    page.password = 2;        // "高级口令"
    page.differentWrite = 1;
    page.write.state.varIndex = 0;
    page.write.state.bit = 17;  // byte 402, bit 1
    page.write.changed = true;
    CommitSheet(values, sw, context);

    const std::uint32_t at = f.compile(&items::CompileBitSwitch, sw);
    ASSERT_FALSE(f.ctx.aborted()) << f.ctx.failureMessage();
    expectFields(f, at, {{12, 1, 3}, {13, 1, 2}, {40, 1, 1}, {41, 1, 1}, {42, 2, 402}});
}

} // namespace
} // namespace qv::test
