// The table painter: rules spread over the box, degenerate and hostile blocks.
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/params/blocks/table_block.h"
#include "paint_fixtures.h"

#include <climits>
#include <vector>

namespace qv {
namespace {

using namespace test;

constexpr ColorRef kLine = rgb(0, 0, 128);

std::unique_ptr<CDrawObj> makeTable(Rect position, int rows, int columns, int lineWidth)
{
    auto obj = makeShape(ShapeKind::Table, position);
    obj->SetParam(blocks::table::kLineColor, static_cast<std::int32_t>(kLine));
    obj->SetParam(blocks::table::kLineWidth, lineWidth);
    obj->SetParam(blocks::table::kRows, rows);
    obj->SetParam(blocks::table::kColumns, columns);
    return obj;
}

// Columns (x) of a pixel row that hold the line colour.
std::vector<int> lineColumns(const Surface& s, int y)
{
    std::vector<int> xs;
    for (int x = 0; x < s.width(); ++x)
        if (s.getPixel(x, y) == kLine)
            xs.push_back(x);
    return xs;
}

TEST(TablePainter, RulesSpreadTheRemainderOverTheFirstGaps)
{
    struct Case {
        int width, lineWidth, columns;
        std::vector<int> columnsWithInk;  // offsets from the left edge
    };
    const Case cases[] = {
        {101, 1, 4, {0, 25, 50, 75, 100}},         // gaps of 25 pixels
        {103, 1, 4, {0, 26, 52, 77, 102}},         // the first two gaps one wider
        {21, 3, 2, {0, 1, 2, 9, 10, 11, 18, 19, 20}},
        {10, 1, 1, {0, 9}},
        {5, 1, 40, {0, 1, 2, 3, 4}},               // more cells than pixels: solid
        {8, 50, 2, {0, 1, 2, 3, 4, 5, 6, 7}},      // a rule wider than the box fills it
    };
    for (const Case& c : cases) {
        Surface s(c.width + 20, 30, kWhite);
        auto table = makeTable({10, 5, 10 + c.width, 25}, 1, c.columns, c.lineWidth);
        PaintObject(*table, {s}, 0, PaintContext{});
        std::vector<int> expected;
        for (int x : c.columnsWithInk)
            expected.push_back(10 + x);
        EXPECT_EQ(lineColumns(s, 15), expected) << "width " << c.width << " columns " << c.columns;
    }
}

TEST(TablePainter, RowsAndColumnsMakeAGrid)
{
    Surface s(60, 60, kWhite);
    auto table = makeTable({50, 50, 10, 10}, 2, 4, 1);  // stored corners reversed
    PaintObject(*table, {s}, 0, PaintContext{});
    EXPECT_EQ(lineColumns(s, 15), (std::vector<int>{10, 20, 30, 40, 49}));  // 39 / 4 = 9 rem 3
    // Horizontal rules at 10, 29 (39 / 2 = 19 rem 1: first gap 20), 49.
    for (int y : {10, 30, 49})
        EXPECT_EQ(s.getPixel(25, y), kLine) << y;
    EXPECT_EQ(s.getPixel(25, 29), kWhite);
    EXPECT_EQ(s.getPixel(25, 20), kWhite);
    EXPECT_EQ(s.getPixel(5, 30), kWhite) << "nothing outside the box";
    EXPECT_EQ(s.getPixel(50, 30), kWhite);
}

TEST(TablePainter, DegenerateAndHostileBlocksDrawNothingOrStayInsideTheBox)
{
    struct Case {
        Rect position;
        int rows, columns, lineWidth;
        bool inks;
    };
    const Case cases[] = {
        {{10, 10, 50, 50}, 0, 3, 1, false},                      // no rows: nothing, no division
        {{10, 10, 50, 50}, 3, 0, 1, false},
        {{10, 10, 50, 50}, -5, INT_MIN, 1, false},
        {{10, 10, 50, 50}, 3, 3, 0, false},                      // rules of no width
        {{10, 10, 50, 50}, 3, 3, -7, false},
        {{10, 10, 50, 50}, INT_MAX, INT_MAX, INT_MAX, true},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, INT_MAX, 7, 1, true},  // box wider than the int range
        {{10, 10, 10, 50}, 3, 3, 1, false},                      // no width
    };
    for (const Case& c : cases) {
        Surface s(60, 60, kWhite);
        auto table = makeTable(c.position, c.rows, c.columns, c.lineWidth);
        PaintObject(*table, {s}, 0, PaintContext{});
        EXPECT_EQ(countNot(s, kWhite, s.bounds()) > 0, c.inks) << c.rows << " x " << c.columns;
        const Rect inside = c.position.normalized().intersected(s.bounds());
        EXPECT_EQ(countNot(s, kWhite, s.bounds()), countNot(s, kWhite, inside));
    }
}

TEST(TablePainter, IsAShapeUnderTheControls)
{
    Surface s(60, 60, kWhite);
    auto table = makeTable({10, 10, 50, 50}, 2, 2, 1);
    PaintObject(*table, {s}, 1, PaintContext{});
    EXPECT_EQ(countNot(s, kWhite, s.bounds()), 0) << "not painted with the controls";
    PaintObject(*table, {s}, 0, PaintContext{});
    EXPECT_GT(countNot(s, kWhite, s.bounds()), 0);
    EXPECT_EQ(table->m_bControl, 0);
}

} // namespace
} // namespace qv
