// The edit road: which selections open a sheet, what OK and Cancel do to the object and
// the document, and when the address adjustment follows.
#include "props/property_edit.h"
#include "model/vars/hmi_vars.h"
#include "tests/props/props_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

std::string utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class PropertyEditTest : public PropsFixture {
protected:
    void SetUp() override
    {
        PropsFixture::SetUp();
        hooks.runSheet = [this](const KindSheet& sheet, SheetValues& values, const std::function<bool()>& confirm) {
            captions.push_back(utf8(sheet.caption));
            if (edit)
                edit(values);
            return answerOk && confirm();
        };
        hooks.editCharacterBatch = [this](CDrawObj&) { ++batches; };
        hooks.adjustAddresses = [this] { ++adjustments; };
    }

    PropertyEditHooks hooks;
    std::function<void(SheetValues&)> edit;
    bool answerOk = true;
    std::vector<std::string> captions;  // UTF-8
    int batches = 0;
    int adjustments = 0;
};

TEST(EditRouteTest, SeveralSelectedGoOnOnlyForNumbersAndCharacters)
{
    struct Case {
        ShapeKind kind;
        int count;
        EditRoute route;
    };
    const Case cases[] = {
        {ShapeKind::Button, 1, EditRoute::Sheet},          {ShapeKind::Button, 2, EditRoute::Nothing},
        {ShapeKind::Rectangle, 3, EditRoute::Nothing},     {ShapeKind::RealTimeNumber, 2, EditRoute::Sheet},
        {ShapeKind::Character, 1, EditRoute::Sheet},       {ShapeKind::Character, 2, EditRoute::CharacterBatch},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RouteEdit(c.kind, c.count), c.route) << c.kind << " x" << c.count;
}

TEST_F(PropertyEditTest, OkOnTheGenericSheetChangesTheObjectAndTakesOneUndoStep)
{
    CDrawObj& ellipse = addObject(ShapeKind::Ellipse);
    doc->TakeUndoSnapshot();  // the state the drawing tool left
    const Rect before = ellipse.m_rcPosition;
    edit = [](SheetValues& v) {
        std::get<RectPage>(v.appearance).lineColor = 0x0000FF;
        std::get<RectPage>(v.appearance).lineWidth = 3;
        v.position.position.left -= 5;
    };
    ASSERT_TRUE(EditObjectProperties(*app, ellipse, 1, hooks));
    EXPECT_EQ(captions, std::vector<std::string>{utf8(u8"属性")});
    EXPECT_EQ(ellipse.m_penInfo.color, 0x0000FFu);
    EXPECT_EQ(ellipse.m_rcPosition.left, before.left - 5);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(adjustments, 0);  // the generic sheet never adjusts

    ASSERT_TRUE(doc->Undo());
    ASSERT_EQ(doc->m_objects.size(), 1u);
    CDrawObj& restored = *doc->m_objects.front();
    EXPECT_EQ(restored.m_rcPosition, before);
    EXPECT_NE(restored.m_penInfo.color, 0x0000FFu);
}

TEST_F(PropertyEditTest, CancelChangesNothingButStillAdjustsAfterAPerKindSheet)
{
    CDrawObj& table = addObject(ShapeKind::Table);
    const std::string bytes = storedBytes(table);
    answerOk = false;
    edit = [](SheetValues& v) { std::get<TablePage>(v.appearance).rows = 77; };
    EXPECT_FALSE(EditObjectProperties(*app, table, 1, hooks));
    EXPECT_EQ(captions, std::vector<std::string>{utf8(u8"表格属性")});
    EXPECT_EQ(storedBytes(table), bytes);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(adjustments, 1);

    app->ProjectDoc()->SetSettingI32(settings::kNoAutoAddressAdjust, 1);
    EditObjectProperties(*app, table, 1, hooks);
    EXPECT_EQ(adjustments, 1);
}

TEST_F(PropertyEditTest, SeveralSelectedButtonsOpenNothingAtAll)
{
    CDrawObj& button = addObject(ShapeKind::Button);
    EXPECT_FALSE(EditObjectProperties(*app, button, 2, hooks));
    EXPECT_TRUE(captions.empty());
    EXPECT_EQ(adjustments, 0);

    CDrawObj& chars = addObject(ShapeKind::Character);
    EditObjectProperties(*app, chars, 3, hooks);
    EXPECT_EQ(batches, 1);
    EXPECT_TRUE(captions.empty());
    EXPECT_EQ(adjustments, 1);
}

TEST_F(PropertyEditTest, OkRefreshesTheCachedAddressesOfTheKindsReferences)
{
    CDrawObj& light = addObject(ShapeKind::Indicator);
    // The bit reference (16/20/24) pointed at a system row; its cache is stale.
    light.SetParamI32(16, 3);
    light.SetParamI32(20, 12345);
    ASSERT_TRUE(EditObjectProperties(*app, light, 1, hooks));
    std::int32_t address = 0;
    std::uint8_t type = 0;
    GetVariableAddress(*app, 3, address, type);
    EXPECT_EQ(light.ParamI32(20), address);
    EXPECT_EQ(captions, std::vector<std::string>{utf8(u8"指示灯属性")});
}

} // namespace
} // namespace qv::test
