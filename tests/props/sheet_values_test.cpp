// Loading a sheet and committing it: every kind comes back byte for byte when nothing was
// changed, and each page field lands in its own place and nowhere else.
#include "props/sheet_values.h"
#include "tests/props/props_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace qv::test {
namespace {

class SheetValuesTest : public PropsFixture {
protected:
    SheetContext context() { return {WindowFrameOf(38, 38, doc), app->m_strProjectDir, {}}; }
};

TEST_F(SheetValuesTest, LoadThenCommitLeavesEveryKindByteIdentical)
{
    for (int code = 0; code < kKindCount; ++code) {
        const ShapeKind kind = KindFromCode(code);
        SCOPED_TRACE(kind);
        CDrawObj& obj = addObject(kind);
        // Bytes and flags the pages must carry through untouched: a block full of noise,
        // flags that are not plain 0/1.
        for (std::size_t i = 0; i < obj.m_Params.size(); ++i)
            obj.m_Params[i] = static_cast<std::uint8_t>(i * 37 + code);
        obj.m_bHasBrush = 5;
        obj.m_bHasPen = 3;
        obj.m_bLocked = 2;
        obj.m_bTransparent = 9;
        obj.m_bOriginalSize = 4;
        obj.m_penInfo.widthX = 6;
        obj.m_penInfo.widthY = 6;
        if (kind == ShapeKind::Picture)
            obj.m_strFiles = {"\\UserPicture\\missing.bmp"};
        const std::string before = storedBytes(obj);

        const SheetContext ctx = context();
        CommitSheet(LoadSheet(obj, ctx), obj, ctx);
        EXPECT_EQ(storedBytes(obj), before);
    }
}

TEST_F(SheetValuesTest, LineKeepsItsDirection)
{
    CDrawObj& line = addObject(ShapeKind::Line, {kX0 + 200, kY0 + 100, kX0 + 20, kY0 + 10});
    const SheetContext ctx = context();
    SheetValues values = LoadSheet(line, ctx);
    EXPECT_EQ(values.position.position, (Rect{200, 100, 20, 10}));
    CommitSheet(values, line, ctx);
    EXPECT_EQ(line.m_rcPosition, (Rect{kX0 + 200, kY0 + 100, kX0 + 20, kY0 + 10}));

    CDrawObj& rect = addObject(ShapeKind::Rectangle, {kX0 + 200, kY0 + 100, kX0 + 20, kY0 + 10});
    EXPECT_EQ(LoadSheet(rect, ctx).position.position, (Rect{20, 10, 200, 100}));
}

// Where each page member must land in the block, written out here: offset and width.
template <class Page>
struct Slot {
    std::uint32_t Page::*member;
    int offset;
    int width;
};

// The page's table has exactly these slots, no two of its fields share a byte, and a marker
// written through one member lands in that slot's bytes alone and loads back.
template <class Page, std::size_t N, std::size_t M>
void expectSlots(const BlockField<Page> (&fields)[N], const Slot<Page> (&slots)[M])
{
    ASSERT_EQ(N, M);
    for (std::size_t a = 0; a < N; ++a)
        for (std::size_t b = a + 1; b < N; ++b) {
            const bool apart = fields[a].offset + fields[a].width <= fields[b].offset ||
                               fields[b].offset + fields[b].width <= fields[a].offset;
            EXPECT_TRUE(apart) << "fields at " << fields[a].offset << " and " << fields[b].offset << " overlap";
        }
    for (const Slot<Page>& s : slots) {
        SCOPED_TRACE(s.offset);
        Page page{};
        page.*s.member = 0xA1B2C3D4u;
        ParamBlock block{};
        CommitBlockFields<Page>(fields, page, block);
        for (int i = 0; i < static_cast<int>(block.size()); ++i) {
            const bool inSlot = i >= s.offset && i < s.offset + s.width;
            const std::uint8_t expected = inSlot ? static_cast<std::uint8_t>(0xA1B2C3D4u >> (8 * (i - s.offset))) : 0;
            ASSERT_EQ(block[i], expected) << "byte " << i;
        }
        Page back{};
        LoadBlockFields<Page>(fields, block, back);
        EXPECT_EQ(back.*s.member, s.width == 1 ? 0xD4u : 0xA1B2C3D4u);
    }
}

TEST(PageFieldTables, EachFieldRoundTripsAtItsOffset)
{
    expectSlots(kTablePageFields, {Slot<TablePage>{&TablePage::lineColor, 0, 4},
                                   {&TablePage::lineWidth, 4, 4},
                                   {&TablePage::rows, 16, 4},
                                   {&TablePage::columns, 20, 4}});
    expectSlots(kPipePageFields, {Slot<PipePage>{&PipePage::outerColor, 0, 4},
                                  {&PipePage::fillColor, 4, 4},
                                  {&PipePage::vertical, 8, 4}});
    expectSlots(kPipeJointPageFields, {Slot<PipeJointPage>{&PipeJointPage::outerColor, 0, 4},
                                       {&PipeJointPage::fillColor, 4, 4},
                                       {&PipeJointPage::direction, 8, 4}});
    expectSlots(kScalePageFields, {Slot<ScalePage>{&ScalePage::color, 0, 4},
                                   {&ScalePage::direction, 4, 1},
                                   {&ScalePage::showAxis, 8, 4},
                                   {&ScalePage::mainTicks, 12, 4},
                                   {&ScalePage::minorTicks, 16, 4},
                                   {&ScalePage::mainTickWidth, 20, 4},
                                   {&ScalePage::minorTickWidth, 24, 4},
                                   {&ScalePage::axisWidth, 28, 4}});
    expectSlots(kNumericInputPageFields, {Slot<NumericInputPage>{&NumericInputPage::textColor, 0, 4},
                                          {&NumericInputPage::password, 4, 1},
                                          {&NumericInputPage::backColor, 8, 4},
                                          {&NumericInputPage::leftAligned, 12, 1},
                                          {&NumericInputPage::function, 24, 1}});
    expectSlots(kRectangleBlockFields, {Slot<RectPage>{&RectPage::lineWidth, 0, 4},
                                        {&RectPage::lineColor, 4, 4},
                                        {&RectPage::lineType, 8, 1},
                                        {&RectPage::noFill, 12, 4},
                                        {&RectPage::fillColor, 16, 4}});
}

TEST_F(SheetValuesTest, StoredChoicesOpenAsTheyStandAndStayAfterOk)
{
    CDrawObj& joint = addObject(ShapeKind::PipeJoint);
    joint.SetParamI32(8, 2);
    CDrawObj& scale = addObject(ShapeKind::Scale);
    scale.SetParamU8(4, 3);
    CDrawObj& input = addObject(ShapeKind::NumericInput);
    input.SetParamU8(24, 1);
    const SheetContext ctx = context();

    EXPECT_EQ(std::get<PipeJointPage>(LoadSheet(joint, ctx).appearance).direction, 2u);
    EXPECT_EQ(std::get<ScalePage>(LoadSheet(scale, ctx).appearance).direction, 3u);
    EXPECT_EQ(std::get<NumericInputPage>(LoadSheet(input, ctx).appearance).function, 1u);
    CommitSheet(LoadSheet(joint, ctx), joint, ctx);
    EXPECT_EQ(joint.ParamI32(8), 2);
}

TEST_F(SheetValuesTest, RectPageOfShapesWithPenAndBrush)
{
    struct Case {
        ShapeKind kind;
        std::uint32_t width;
        std::int32_t hasPen, penWidth;
        ColorRef penColor;
    };
    // Width 0 takes the pen away but keeps its width and colour; any other width gives a
    // pen of that width in the chosen colour.
    const Case cases[] = {
        {ShapeKind::Ellipse, 0, 0, 2, 0x000011},
        {ShapeKind::RoundRect, 0, 0, 2, 0x000011},
        {ShapeKind::RoundRect, 4, 1, 4, 0x0000FF},
        {ShapeKind::Line, 7, 1, 7, 0x0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CDrawObj& obj = addObject(c.kind);
        obj.m_bHasPen = 1;
        obj.m_penInfo = {0, 2, 2, 0x000011};
        RectPage page = LoadRectPage(obj);
        EXPECT_EQ(page.showFill, c.kind != ShapeKind::Line);
        EXPECT_FALSE(page.showLineType);
        page.lineWidth = c.width;
        page.lineColor = 0x0000FF;
        page.noFill = 1;
        CommitRectPage(page, obj);
        EXPECT_EQ(obj.m_bHasPen, c.hasPen);
        EXPECT_EQ(obj.m_penInfo.widthX, c.penWidth);
        EXPECT_EQ(obj.m_penInfo.widthY, c.penWidth);
        EXPECT_EQ(obj.m_penInfo.color, c.penColor);
        EXPECT_EQ(obj.m_bHasBrush, 0);
    }
}

TEST_F(SheetValuesTest, RectangleKeepsWidthZeroInItsBlock)
{
    CDrawObj& rect = addObject(ShapeKind::Rectangle);
    const SheetContext ctx = context();
    SheetValues values = LoadSheet(rect, ctx);
    auto& page = std::get<RectPage>(values.appearance);
    EXPECT_TRUE(page.showFill);
    EXPECT_TRUE(page.showLineType);
    page.lineWidth = 0;
    page.lineType = 1;
    CommitSheet(values, rect, ctx);
    EXPECT_EQ(rect.ParamI32(0), 0);
    EXPECT_EQ(rect.ParamU8(8), 1);
}

TEST_F(SheetValuesTest, PositionIsShrunkIntoTheWindowNotMoved)
{
    CDrawObj& obj = addObject(ShapeKind::Ellipse);
    const SheetContext ctx = context();
    SheetValues values = LoadSheet(obj, ctx);
    values.position.position = {-20, 400, 300, 900};
    CommitSheet(values, obj, ctx);
    EXPECT_EQ(obj.m_rcPosition, (Rect{kX0, kY0 + 400, kX0 + 300, kY0 + 480}));
}

TEST_F(SheetValuesTest, PictureFittingToItsOwnSize)
{
    struct Case {
        Rect start;
        int pw, ph;
        Rect expected;
        int originalSizeAfter;
    };
    const Case cases[] = {
        // Wider than the window: spans it, and the option is cleared.
        {{kX0 + 10, kY0 + 10, kX0 + 60, kY0 + 60}, 900, 30, {kX0, kY0 + 10, kX0 + 800, kY0 + 40}, 0},
        // Would pass the right edge: moved left to end there.
        {{kX0 + 780, kY0 + 10, kX0 + 790, kY0 + 20}, 100, 10, {kX0 + 700, kY0 + 10, kX0 + 800, kY0 + 20}, 1},
        // Size unknown (the picture could not be read): the page's values stand.
        {{kX0 + 10, kY0 + 10, kX0 + 60, kY0 + 60}, 0, 0, {kX0 + 10, kY0 + 10, kX0 + 60, kY0 + 60}, 1},
    };
    for (const Case& c : cases) {
        CDrawObj& pic = addObject(ShapeKind::Picture, c.start);
        const SheetContext ctx = context();
        SheetValues values = LoadSheet(pic, ctx);
        ASSERT_TRUE(values.position.showOriginalSize);
        values.position.originalSize = 1;
        auto& page = std::get<PicturePage>(values.appearance);
        page.pictureWidth = c.pw;
        page.pictureHeight = c.ph;
        CommitSheet(values, pic, ctx);
        EXPECT_EQ(pic.m_rcPosition, c.expected);
        EXPECT_EQ(pic.m_bOriginalSize, c.originalSizeAfter);
    }
}

TEST_F(SheetValuesTest, PictureIsCopiedOnlyWhenAnotherWasChosen)
{
    CDrawObj& pic = addObject(ShapeKind::Picture);
    pic.m_strFiles = {"\\UserPicture\\old.bmp"};
    std::vector<std::filesystem::path> copied;
    std::optional<std::string> answer = std::string("\\UserPicture\\new.bmp");
    SheetContext ctx = context();
    ctx.copyPicture = [&](const std::filesystem::path& p) {
        copied.push_back(p);
        return answer;
    };

    SheetValues values = LoadSheet(pic, ctx);
    EXPECT_EQ(std::get<PicturePage>(values.appearance).path, app->m_strProjectDir / "UserPicture" / "old.bmp");
    CommitSheet(values, pic, ctx);
    EXPECT_TRUE(copied.empty());

    std::get<PicturePage>(values.appearance).path = dir.path() / "chosen.bmp";
    answer.reset();  // the copy fails: the old name stays
    CommitSheet(values, pic, ctx);
    EXPECT_EQ(pic.m_strFiles[0], "\\UserPicture\\old.bmp");

    answer = std::string("\\UserPicture\\new.bmp");
    CommitSheet(values, pic, ctx);
    EXPECT_EQ(pic.m_strFiles[0], "\\UserPicture\\new.bmp");
    EXPECT_EQ(copied.size(), 2u);
}

TEST_F(SheetValuesTest, PictureWithoutAnyStoredNameGetsTheChosenOne)
{
    CDrawObj& pic = addObject(ShapeKind::Picture);
    pic.m_strFiles.clear();
    SheetContext ctx = context();
    ctx.copyPicture = [](const std::filesystem::path&) { return std::optional<std::string>("\\UserPicture\\a.bmp"); };
    SheetValues values = LoadSheet(pic, ctx);
    EXPECT_TRUE(std::get<PicturePage>(values.appearance).path.empty());
    std::get<PicturePage>(values.appearance).path = dir.path() / "a.bmp";
    CommitSheet(values, pic, ctx);
    ASSERT_EQ(pic.m_strFiles.size(), 1u);
    EXPECT_EQ(pic.m_strFiles[0], "\\UserPicture\\a.bmp");
}

TEST(WindowFrameTest, PositionsNeverOverflow)
{
    const WindowFrame frame{100, 100, 900, 580};
    const Rect far{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const Rect shown = ToFrameRect(far, frame);
    EXPECT_EQ(shown.left, INT32_MIN);
    EXPECT_EQ(shown.right, INT32_MAX - 100);
    EXPECT_EQ(FromFrameRect(Rect{0, 0, INT32_MAX, INT32_MAX}, frame).right, INT32_MAX);
    EXPECT_EQ(ClampToWindow(far, frame), (Rect{100, 100, 900, 580}));
}

} // namespace
} // namespace qv::test
