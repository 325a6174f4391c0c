// The document broadcasts reach every object through the reference upkeep, and the
// creation defaults work against a real application and project.
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/block_bytes.h"
#include "model/params/kind_defaults.h"
#include "model/params/object_var_refs.h"
#include "tests/model/vars_fixture.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace qv {
namespace {

class EnvWithOps : public DocumentEnvironment {
public:
    explicit EnvWithOps(CDrawDoc& project) : project_(project) {}
    CDrawDoc* ProjectDocument() const override { return &project_; }
    Point PageMargins() const override { return {38, 38}; }
    ObjectVarReferenceOps* VarReferenceOps() override { return &ops; }
    qv::VarReferenceOps ops;

private:
    CDrawDoc& project_;
};

class Broadcasts : public ::testing::Test {
protected:
    void SetUp() override
    {
        project.InitSystemVariables();
        for (int i = 0; i < 8; ++i)
            project.m_varTable.AppendRow(std::to_string(28 + 4 * i), "unsigned short", "v" + std::to_string(i), "0", "");
        setDocumentEnvironment(&env);
    }
    void TearDown() override { setDocumentEnvironment(nullptr); }

    CDrawObj* addSwitch(std::int32_t bit, std::int32_t hide)
    {
        auto obj = std::make_unique<CDrawRect>(Rect{100, 100, 200, 150});
        obj->SetKind(ShapeKind::BitSwitch);
        blockWriteI32(obj->m_Params, 16, bit);
        blockWriteI32(obj->m_Params, 36, hide);
        blockWriteI32(obj->m_Params, 56, -1);
        return window.AddObject(std::move(obj));
    }

    CDrawDoc project;
    CDrawDoc window;
    EnvWithOps env{project};
};

TEST_F(Broadcasts, RenumberEveryObjectOfAWindow)
{
    CDrawObj* a = addSwitch(20, 18);
    CDrawObj* b = addSwitch(16, -1);
    window.RenumberAfterVarDelete(18);
    EXPECT_EQ(blockReadI32(a->m_Params, 16), 19);
    EXPECT_EQ(blockReadI32(a->m_Params, 20), 28 + 4 * 3);  // row 19 is v3
    EXPECT_EQ(a->m_Params[24], 3);
    EXPECT_EQ(blockReadI32(a->m_Params, 36), -1);
    EXPECT_EQ(blockReadI32(a->m_Params, 48), -1);
    EXPECT_EQ(blockReadI32(b->m_Params, 16), 16);

    env.ops.SetMoveSource(16);
    window.RenumberAfterVarMove(19);
    EXPECT_EQ(blockReadI32(a->m_Params, 16), 18);
    EXPECT_EQ(blockReadI32(b->m_Params, 16), 19);

    window.ClearVarReferences();
    EXPECT_FALSE(IsBindingValid(*a));
    EXPECT_EQ(blockReadI32(b->m_Params, 20), -1);
}

TEST_F(Broadcasts, RescaleAndMaxima)
{
    window.m_ptWindowOrigin = {0, 0};
    CDrawObj* a = addSwitch(16, -1);
    window.RescaleObjects(800, 480, 400, 240, 0, 0);
    EXPECT_EQ(a->m_rcPosition, (Rect{69, 69, 119, 94}));

    auto curve = std::make_unique<CDrawRect>(Rect{});
    curve->SetKind(ShapeKind::Curve);
    blockWriteI32(curve->m_Params, blocks::curve::kPointCount.offset, 10);
    blockWriteI32(curve->m_Params, blocks::curve::kCurveCount.offset, 1);
    blockWriteI32(curve->m_Params, blocks::curve::kRecordBase, 17);  // v1 at 32, 2 bytes
    window.AddObject(std::move(curve));
    env.ops.ResetAddressMaxima();
    window.UpdateCurveAddressMax();
    window.UpdateStringAddressMax();
    EXPECT_EQ(env.ops.CurveAddressMax(), 32 + 2 * 10);
    EXPECT_EQ(env.ops.StringAddressMax(), 0);
}

class DefaultsOnAProject : public test::ProjectFixture {};

TEST_F(DefaultsOnAProject, ButtonCreatesItsVariablesAndSavesTheProject)
{
    CDrawDoc* screen = addWindow("win0.drw");
    std::filesystem::remove(dir / "p.hmi");
    CDrawObj* button = screen->AddObject(std::make_unique<CDrawRect>(Rect{0, 0, 80, 40}));
    button->SetKind(ShapeKind::Button);
    const KindDefaultsOutcome outcome = SetKindDefaults(*button, *app);
    EXPECT_EQ(outcome.varsCreated, 3);
    EXPECT_EQ(table().size(), 19u);
    EXPECT_EQ(table().address[16], "28");
    EXPECT_EQ(table().address[18], "36");
    EXPECT_EQ(blockReadI32(button->m_Params, 220), 36);
    EXPECT_TRUE(std::filesystem::exists(dir / "p.hmi"));
    EXPECT_EQ(button->m_strFiles[3], "win0.drw");

    CDrawObj* second = screen->AddObject(std::make_unique<CDrawRect>(Rect{0, 50, 80, 90}));
    second->SetKind(ShapeKind::Button);
    EXPECT_EQ(SetKindDefaults(*second, *app).varsCreated, 0);
    EXPECT_EQ(table().size(), 19u);
    EXPECT_TRUE(prompts.messages.empty());
}

// A keyboard key's function text is 键盘 and the key in double quotes; anything short of the
// closing quote names no key.
TEST(ButtonFunctionText, KeyTextsReadBackTheirKey)
{
    struct Case {
        std::string_view text;
        std::optional<std::string_view> key;
    };
    const Case cases[] = {
        {"键盘\"确定\"", "确定"}, {"键盘\"\"", ""},   {"键盘\"", std::nullopt}, {"键盘\"A", std::nullopt},
        {"键盘A\"", std::nullopt}, {"操作变量", std::nullopt}, {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(blocks::button::keyOfFunctionText(c.text), c.key) << c.text;
    EXPECT_EQ(blocks::button::keyOfFunctionText(blocks::button::keyFunctionText("Shift")), "Shift");
}

} // namespace
} // namespace qv

