// The layout arithmetic without a view: centres, table cells with their remainders, cells
// that hold an object, and counts from a file that must not make the work huge.
#include "app/layout/layout_geometry.h"
#include "tests/app/view_fixture.h"

#include <gtest/gtest.h>

namespace qv::layout {
namespace {

TEST(LayoutGeometry, CentringKeepsTheSize)
{
    const Rect window{38, 38, 838, 518};
    const Rect five{10, 10, 15, 20};
    const Rect ref{90, 0, 111, 10};   // vertical centre line at x = 100
    EXPECT_EQ(alignedRect(AlignMode::CentreOnVerticalLine, five, ref, window), (Rect{98, 10, 103, 20}));
    EXPECT_EQ(alignedRect(AlignMode::WindowVerticalLine, five, ref, window), (Rect{436, 10, 441, 20}));
    EXPECT_EQ(alignedRect(AlignMode::WindowHorizontalLine, five, ref, window), (Rect{10, 273, 15, 283}));
}

TEST(LayoutGeometry, CellSpansTakeTheRemainderFirst)
{
    const auto xs = cellBoundaries(0, 100, 3);
    EXPECT_EQ(xs, (std::vector<int>{0, 34, 67, 100}));
    // A count from a file far beyond the pixels gives at most one span per pixel and one more.
    EXPECT_EQ(cellBoundaries(0, 4, 2'000'000'000).size(), 6u);
    EXPECT_TRUE(cellBoundaries(0, 100, 0).empty());
    EXPECT_TRUE(cellBoundaries(0, 0, 3).empty());
}

TEST(LayoutGeometry, ACellHoldsOnlyWhatLiesWhollyInside)
{
    // 101 wide, line width 1, three columns and one row: cells from x = 1, 35, 68.
    const auto grid = tableGrid({0, 0, 101, 51}, 1, 1, 3);
    ASSERT_TRUE(grid);
    const struct {
        Rect object;
        std::optional<Rect> cell;
    } cases[] = {
        {{1, 1, 34, 50}, Rect{1, 1, 34, 50}},      // the whole first cell, edges touching
        {{40, 5, 50, 10}, Rect{35, 1, 67, 50}},
        {{70, 5, 100, 10}, Rect{68, 1, 100, 50}},
        {{30, 5, 40, 10}, std::nullopt},           // across two cells
        {{0, 5, 10, 10}, std::nullopt},            // on the rule
        {{70, 5, 101, 10}, std::nullopt},          // past the table
    };
    for (const auto& c : cases)
        EXPECT_EQ(grid->cellHolding(c.object), c.cell) << c.object.left;
    EXPECT_FALSE(tableGrid({0, 0, 101, 51}, 1, 0, 3)) << "no rows: no cells";
    EXPECT_FALSE(tableGrid({0, 0, 3, 51}, 5, 1, 3)) << "no room inside the rule";
}

TEST(LayoutGeometry, PlacingInACell)
{
    const Rect cell{35, 1, 67, 50};
    const Rect r{40, 5, 50, 15};
    const struct {
        CellMode mode;
        Rect expected;
    } cases[] = {
        {CellMode::Left, {35, 5, 45, 15}},       {CellMode::Right, {57, 5, 67, 15}},
        {CellMode::Top, {40, 1, 50, 11}},        {CellMode::Bottom, {40, 40, 50, 50}},
        {CellMode::CentreX, {46, 5, 56, 15}},    {CellMode::CentreY, {40, 20, 50, 30}},
        {CellMode::SameWidth, {35, 5, 67, 15}},  {CellMode::SameHeight, {40, 1, 50, 50}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placedInCell(c.mode, r, cell), c.expected) << static_cast<int>(c.mode);
}

TEST(LayoutGeometry, ArrowStepsSaturateAtTheIntRange)
{
    const int max = std::numeric_limits<int>::max();
    EXPECT_EQ(arrowStep(Arrow::Right, false, {0, 0, max, 5}), (Rect{1, 0, max, 5}));
    EXPECT_EQ(arrowStep(Arrow::Up, true, {0, 0, 5, 5}), (Rect{0, -1, 5, 5}));
}

} // namespace
} // namespace qv::layout
