// Creation defaults per kind: block bytes, variables found or created by name, pictures,
// and the header rewrite that must not happen when no variable was created.
#include "model/document/draw_doc.h"
#include "model/params/block_bytes.h"
#include "model/params/kind_defaults.h"
#include "model/params/user_picture.h"
#include "model/vars/hmi_var_table.h"
#include "platform/files/atomic_file.h"
#include "platform/text/gbk.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace qv {
namespace {

namespace fs = std::filesystem;

std::string gbk(std::u8string_view utf8)
{
    return utf8ToGbk(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size())).value();
}

// A project folder with compiled user code, a base folder with some of the default pictures,
// and a variable table that starts with the 16 system rows. Rewriting the headers deletes
// the compiled code, as the real rewrite does.
class DefaultsHost : public KindDefaultsHost {
public:
    DefaultsHost()
    {
        CDrawDoc doc;
        doc.InitSystemVariables();
        table = doc.m_varTable;
        fs::create_directories(project / "MC8051");
        writeFileAtomically(hexFile(), ":00000001FF\r\n");
        fs::create_directories(base / "images" / "sys");
        writeFileAtomically(base / "images" / "sys" / "switchON.bmp", "on-picture");
    }

    AddVarOutcome FindOrAddHmiVar(std::string_view type, std::string_view name, std::string_view initial,
                                  std::string_view description) override
    {
        return findOrAddVarRow(table, type, name, initial, description, 2 * varTableEnd(table));
    }
    VarBinding ResolveVar(std::int32_t row) override { return varBindingOf(table, row); }
    std::string CopyUserPicture(std::string_view stored) override { return copyStoredPicture(base, project, stored); }
    void RebuildSimulation() override { ++rebuilds; }
    void WriteSysVarHeader() override
    {
        ++headerWrites;
        fs::remove(hexFile());
    }
    void ShowError(std::string_view message) override { errors.emplace_back(message); }

    fs::path hexFile() const { return project / "MC8051" / "MC8051.HEX"; }

    test::TempDir dir;
    fs::path project = dir / "proj";
    fs::path base = dir / "base";
    HmiVarTable table;
    int rebuilds = 0;
    int headerWrites = 0;
    std::vector<std::string> errors;
};

CDrawRect newObject(ShapeKind kind)
{
    CDrawRect obj(Rect{10, 10, 100, 60});
    obj.SetKind(kind);
    obj.m_Params.fill(0);
    return obj;
}

struct Field {
    int offset;
    int width;
    std::uint32_t value;
};

// Each kind's block as the defaults leave it in a new project, written from the tables of
// values and variables: the created variables take rows 16, 17, ... at addresses 28, 32, ...
// (4 bytes each), so a reference is index / address / type code of that row.
struct KindBlock {
    ShapeKind kind;
    std::vector<Field> fields;
};

const std::vector<KindBlock>& expectedBlocks()
{
    constexpr std::uint32_t W = 0x00FFFFFF;
    constexpr std::uint32_t S = 0x00C0C0C0;
    static const std::vector<KindBlock> blocks = {
        {ShapeKind::Rectangle, {{0, 4, 3}, {8, 1, 1}, {16, 4, S}}},
        {ShapeKind::Button, {{28, 4, W}, {32, 4, W}, {36, 4, W}, {40, 4, 0x00FFFF00}, {44, 4, 255}, {48, 4, S}, {56, 4, W},
             {60, 4, 255}, {68, 4, 3}, {72, 4, 3}, {76, 4, 3}, {84, 4, W}, {88, 4, W}, {92, 1, 1}, {93, 1, 1},
             {94, 1, 1}, {100, 4, 18}, {116, 4, 1}, {120, 1, 1}, {121, 1, 1}, {124, 1, 1}, {132, 4, 1},
             {136, 1, 1},
             {128, 4, 16}, {164, 4, 28}, {161, 1, 1},    // m_ButtonValue
             {172, 4, 17}, {184, 4, 32}, {177, 1, 1},    // m_DispHide
             {216, 4, 18}, {220, 4, 36}, {224, 1, 1}}},  // m_CellWrEn
        {ShapeKind::DynamicPicture, {{4, 4, W}, {44, 1, 1}, {52, 4, 39}, {56, 4, 2}, {60, 4, 2}, {28, 4, 1}, {12, 4, 18},
             {64, 4, 16}, {48, 4, 28}, {75, 1, 1},       // m_DynamicImages
             {84, 4, 17}, {96, 4, 32}, {89, 1, 1},       // m_DispHide
             {80, 4, 18}, {92, 4, 36}, {88, 1, 4}}},     // m_XY_Position, signed int
        {ShapeKind::RealTimeNumber, {{32, 4, 255}, {36, 1, 1}, {40, 4, 2}, {48, 1, 1}, {56, 4, S}, {60, 4, 1}, {68, 4, 12},
             {72, 4, 2}, {4, 4, 18}, {20, 4, 1}, {128, 4, 1}, {132, 4, W},
             {84, 4, 16}, {80, 4, 28}, {76, 1, 5},       // m_DataDisplay, unsigned int
             {112, 4, 17}, {124, 4, 32}, {117, 1, 1},
             {108, 4, 18}, {120, 4, 36}, {116, 1, 4},
             {148, 4, 19}, {152, 4, 40}, {156, 1, 3},    // m_FontColor, unsigned short
             {164, 4, 20}, {168, 4, 44}, {172, 1, 3},    // m_BackColor
             {180, 4, 21}, {184, 4, 48}, {188, 1, 1}}},  // m_CellWrEn
        {ShapeKind::NumericInput, {{8, 4, W}}},
        {ShapeKind::Curve, {{0, 4, W}, {4, 4, W}, {12, 4, 1}, {24, 4, 3}, {28, 4, 6}, {36, 4, 100}, {40, 4, 1}, {44, 4, 3},
              {52, 4, 8}, {56, 4, 8}, {76, 4, 20}, {80, 4, 1}, {88, 4, 0x0000FF00}, {94, 2, 1},
              {84, 4, 16}, {93, 1, 1},                   // record 0: m_CurveStartPoint
              {860, 4, 17}, {872, 4, 32}, {865, 1, 1}}},
        {ShapeKind::Indicator, {{0, 4, 1}, {4, 4, 1}, {8, 4, W}, {12, 4, W},
              {16, 4, 16}, {20, 4, 28}, {24, 1, 1}, {32, 4, 17}, {44, 4, 32}, {37, 1, 1}}},
        {ShapeKind::PipeJoint, {{4, 4, W}, {8, 4, 1}}},
        {ShapeKind::Pipe, {{4, 4, W}}},
        {ShapeKind::Scale, {{8, 4, 1}, {12, 4, 5}, {16, 4, 2}, {20, 4, 2}, {24, 4, 2}, {28, 4, 2}}},
        {ShapeKind::BitSwitch, {{0, 4, 1}, {4, 4, 1}, {8, 4, W}, {12, 4, W}, {26, 1, 2},
              {16, 4, 16}, {20, 4, 28}, {24, 1, 1}, {36, 4, 17}, {48, 4, 32}, {41, 1, 1},
              {56, 4, 18}, {60, 4, 36}, {64, 1, 1}}},
        {ShapeKind::RadioButton, {{24, 4, 1}, {28, 4, 1}, {32, 4, W}, {36, 4, W},
              {0, 4, 16}, {8, 4, 28}, {12, 1, 1}, {44, 4, 17}, {56, 4, 32}, {49, 1, 1},
              {68, 4, 18}, {72, 4, 36}, {76, 1, 1}}},
        {ShapeKind::ProgressBar, {{12, 4, W}, {16, 1, 1}, {20, 4, 255}, {40, 4, 100},
              {28, 4, 16}, {32, 4, 28}, {36, 1, 1}, {56, 4, 17}, {68, 4, 32}, {61, 1, 1}}},
        {ShapeKind::Table, {{4, 4, 2}, {8, 4, W}, {16, 4, 3}, {20, 4, 3}}},
        {ShapeKind::Character, {{4, 4, W}, {32, 4, 16}, {80, 4, 1}, {84, 4, 2}, {92, 4, 1}, {100, 4, 1}, {104, 4, 1},
              {108, 4, 1}, {112, 4, 1}, {128, 4, 1}, {132, 4, 1}, {148, 4, 1}, {380, 4, 0x80000001},
              {36, 4, 16}, {40, 4, 28}, {44, 1, 0},      // m_String, signed char
              {68, 4, 17}, {72, 4, 32}, {76, 1, 1},
              {52, 4, 18}, {56, 4, 36}, {60, 1, 4},
              {160, 4, 19}, {164, 4, 40}, {168, 1, 3},
              {176, 4, 20}, {180, 4, 44}, {184, 1, 3},
              {192, 4, 21}, {196, 4, 48}, {200, 1, 1},
              {364, 4, 22}, {368, 4, 52}, {372, 1, 4}}},  // m_ZiFuStrToInt, signed int
        {ShapeKind::AreaControl, {{8, 4, W}}},
        {ShapeKind::RoundRect, {}}, {ShapeKind::Ellipse, {}}, {ShapeKind::Line, {}}, {ShapeKind::Circle, {}}, {ShapeKind::Picture, {}}, {ShapeKind::Text, {}},
        {ShapeKind::Reserved16, {}}, {ShapeKind::Reserved17, {}}, {ShapeKind::Reserved18, {}}, {ShapeKind::Reserved19, {}}, {ShapeKind::Reserved21, {}},
    };
    return blocks;
}

TEST(KindDefaults, EachKindsBlockInANewProject)
{
    for (const KindBlock& k : expectedBlocks()) {
        DefaultsHost host;
        CDrawRect obj = newObject(k.kind);
        applyKindDefaults(obj, host);
        ParamBlock expected{};
        for (const Field& f : k.fields)
            blockWriteU(expected, f.offset, f.width, f.value);
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(obj.m_Params[i], expected[i]) << "kind " << k.kind << " byte " << i;
    }
}

TEST(KindDefaults, NamesTextsPicturesAndLook)
{
    DefaultsHost host;
    CDrawDoc owner;
    owner.SetTitle("win0.drw");

    CDrawRect button = newObject(ShapeKind::Button);
    button.m_pOwnerDoc = &owner;
    applyKindDefaults(button, host);
    EXPECT_EQ(button.m_bControl, 1);
    EXPECT_EQ(button.m_strName, gbk(u8"按钮"));
    const std::string choose = gbk(u8"\\请选择图片");
    EXPECT_EQ(button.m_strFiles,
              (std::vector<std::string>{choose, choose, choose, "win0.drw", gbk(u8"请先选择51单片机HEX格式文件")}));

    CDrawRect lamp = newObject(ShapeKind::BitSwitch);
    applyKindDefaults(lamp, host);
    EXPECT_EQ(lamp.m_strFiles, (std::vector<std::string>{"\\UserPicture\\switchON.bmp", "\\UserPicture\\switchOFF.bmp",
                                                         gbk(u8"已打开"), gbk(u8"已关闭")}));
    std::string copied;
    ASSERT_TRUE(readWholeFile(host.project / "UserPicture" / "switchON.bmp", copied));
    EXPECT_EQ(copied, "on-picture");
    EXPECT_FALSE(fs::exists(host.project / "UserPicture" / "switchOFF.bmp"));  // missing picture: nothing

    CDrawRect number = newObject(ShapeKind::RealTimeNumber);
    applyKindDefaults(number, host);
    ASSERT_EQ(number.m_strFiles.size(), 14u);
    EXPECT_EQ(number.m_strFiles[0], "\\UserPicture\\0.bmp");
    EXPECT_EQ(number.m_strFiles[13], "\\UserPicture\\Point.bmp");

    CDrawRect input = newObject(ShapeKind::NumericInput);
    input.m_bHasPen = 1;
    applyKindDefaults(input, host);
    EXPECT_EQ(input.m_strName, "1234567890");
    EXPECT_EQ(input.m_bHasPen, 0);

    CDrawRect area = newObject(ShapeKind::AreaControl);
    applyKindDefaults(area, host);
    EXPECT_EQ(area.m_penInfo.color, 255u);
    EXPECT_EQ(area.m_penInfo.widthX, 1);
    EXPECT_EQ(area.m_bHasBrush, 0);
    EXPECT_EQ(area.m_bControl, 0);

    CDrawRect curve = newObject(ShapeKind::Curve);
    applyKindDefaults(curve, host);
    EXPECT_EQ(curve.m_logfont.lfHeight, 12);
    EXPECT_EQ(curve.m_logfont.lfWidth, 6);
}

TEST(KindDefaults, ExistingPicturesInTheProjectAreKept)
{
    DefaultsHost host;
    fs::create_directories(host.project / "UserPicture");
    writeFileAtomically(host.project / "UserPicture" / "switchON.bmp", "user's own");
    CDrawRect sw = newObject(ShapeKind::BitSwitch);
    applyKindDefaults(sw, host);
    std::string kept;
    ASSERT_TRUE(readWholeFile(host.project / "UserPicture" / "switchON.bmp", kept));
    EXPECT_EQ(kept, "user's own");
}

TEST(KindDefaults, SecondButtonSharesTheVariablesAndKeepsTheCompiledCode)
{
    DefaultsHost host;
    CDrawRect first = newObject(ShapeKind::Button);
    EXPECT_EQ(applyKindDefaults(first, host).varsCreated, 3);
    EXPECT_EQ(host.table.size(), 19u);
    EXPECT_EQ(host.headerWrites, 1);

    writeFileAtomically(host.hexFile(), ":00000001FF\r\n");  // the user compiles again
    CDrawRect second = newObject(ShapeKind::Button);
    EXPECT_EQ(applyKindDefaults(second, host).varsCreated, 0);
    EXPECT_EQ(host.table.size(), 19u);
    for (int offset : {128, 172, 216})
        EXPECT_EQ(blockReadI32(second.m_Params, offset), blockReadI32(first.m_Params, offset)) << offset;
    EXPECT_EQ(host.headerWrites, 1);
    EXPECT_TRUE(fs::exists(host.hexFile()));

    CDrawRect rectangle = newObject(ShapeKind::Rectangle);
    const KindDefaultsOutcome none = applyKindDefaults(rectangle, host);
    EXPECT_EQ(none.varsCreated, 0);
    EXPECT_EQ(host.table.size(), 19u);
    EXPECT_EQ(host.headerWrites, 1);
    EXPECT_EQ(host.rebuilds, 2);  // the two buttons, not the rectangle
    EXPECT_TRUE(fs::exists(host.hexFile()));
}

TEST(KindDefaults, FullMemoryLeavesTheReferenceUnboundAndSaysWhy)
{
    DefaultsHost host;
    host.table.AppendRow("65532", "unsigned int", "m_Top", "0", "");
    CDrawRect progress = newObject(ShapeKind::ProgressBar);
    const KindDefaultsOutcome outcome = applyKindDefaults(progress, host);
    EXPECT_EQ(outcome.varsCreated, 0);
    EXPECT_EQ(outcome.refused.size(), 2u);
    ASSERT_EQ(host.errors.size(), 1u);  // one message for the object
    EXPECT_EQ(host.table.size(), 17u);
    EXPECT_EQ(blockReadI32(progress.m_Params, 28), -1);
    EXPECT_EQ(blockReadI32(progress.m_Params, 32), -1);
    EXPECT_EQ(blockReadI32(progress.m_Params, 56), -1);
    EXPECT_FALSE(isBindingValid(ShapeKind::ProgressBar, progress.m_Params));
    EXPECT_EQ(host.headerWrites, 0);
}

} // namespace
} // namespace qv
