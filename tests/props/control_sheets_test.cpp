// The controls' sheets without a display: each page member lands at the block offset the
// layout of its kind gives, the sheet-wide checks refuse before anything is stored, and OK
// finds or creates the hidden variables of PLC links all at once.
#include "model/app/header_writers.h"
#include "model/params/block_bytes.h"
#include "props/control_sheets.h"
#include "props/property_edit.h"
#include "tests/props/landings.h"
#include "tests/props/props_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace qv::test {
namespace {

int g_headerWrites = 0;
bool countSysVar(const std::filesystem::path&, const HmiVarTable&, std::int64_t, std::string*)
{
    ++g_headerWrites;
    return true;
}

class ControlSheetsTest : public PropsFixture {
protected:
    void SetUp() override
    {
        PropsFixture::SetUp();
        project = app->ProjectDoc();
        ASSERT_NE(project, nullptr);
        saved = GetHeaderWriters();
        SetHeaderWriters({&countSysVar, nullptr});
        g_headerWrites = 0;
    }
    void TearDown() override
    {
        SetHeaderWriters(saved);
        PropsFixture::TearDown();
    }

    std::string projectFileBytes() const
    {
        std::ifstream in(project->GetPathName(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    CDrawDoc* project = nullptr;
    HeaderWriters saved;
};

TEST_F(ControlSheetsTest, BitSwitchPagesLandAtTheirOffsets)
{
    CDrawObj& sw = addObject(ShapeKind::BitSwitch);
    const auto before = sw.m_Params;
    const SheetContext ctx = SheetContextFor(*app, sw);
    SheetValues v = LoadSheet(sw, ctx);
    auto& shape = std::get<SwitchShapePage>(v.appearance);
    shape.transparentOn = 11, shape.transparentOff = 12, shape.transparentColorOn = 13, shape.transparentColorOff = 14;
    shape.textColorOn = 15, shape.textColorOff = 16;
    auto& ctl = std::get<SwitchControlPage>(v.control);
    ctl.function = 3, ctl.password = 2, ctl.differentWrite = 1;
    ctl.read.state = {1, 2, 3, 4, 1, 5, 6, 0};
    ctl.write.state = {2, 1, 7, 8, 0, 9, 21, 0};
    ctl.read.changed = ctl.write.changed = true;
    v.common.hide->use = 1;
    v.common.hide->state = {1, 1, 31, 32, 1, 33, 3, 2};
    v.common.hide->changed = true;
    v.common.writeEnable->use = 1;
    v.common.writeEnable->state = {2, 0, 41, 42, 1, 43, 4, 1};
    v.common.writeEnable->changed = true;
    CommitSheet(v, sw, ctx);

    const Landing landings[] = {
        {0, 4, 11}, {4, 4, 12}, {8, 4, 13}, {12, 4, 14}, {68, 4, 15}, {72, 4, 16},
        {26, 1, 3}, {27, 1, 2}, {96, 4, 1},
        {16, 4, 5}, {25, 1, 6}, {76, 4, 1}, {80, 4, 2}, {84, 4, 3}, {88, 4, 4}, {92, 4, 1},
        {120, 4, 9}, {132, 4, 21}, {100, 4, 2}, {104, 4, 1}, {108, 4, 7}, {112, 4, 8}, {116, 4, 0},
        {30, 1, 1}, {36, 4, 33}, {136, 4, 1}, {140, 4, 1}, {144, 4, 31}, {148, 4, 32}, {152, 4, 1}, {156, 4, 2}, {160, 4, 3},
        {52, 4, 1}, {56, 4, 43}, {164, 4, 2}, {168, 4, 0}, {172, 4, 41}, {176, 4, 42}, {180, 4, 1}, {184, 4, 1}, {188, 4, 4},
    };
    // The references' cached address and type (20/24, 124/128, 48/41, 60/64) are the
    // builder's refresh, not the pages'.
    auto after = sw.m_Params;
    for (int cached : {20, 24, 124, 128, 41, 48, 60, 64})
        for (int i = 0; i < (cached == 24 || cached == 128 || cached == 41 || cached == 64 ? 1 : 4); ++i)
            after[static_cast<std::size_t>(cached + i)] = before[static_cast<std::size_t>(cached + i)];
    expectLandings(before, after, landings);
}

TEST_F(ControlSheetsTest, NumberButtonIndicatorAndRadioFieldsLandAtTheirOffsets)
{
    struct Case {
        ShapeKind kind;
        std::function<void(SheetValues&)> set;
        std::vector<Landing> landings;
    };
    const Case cases[] = {
        {ShapeKind::RealTimeNumber,
         [](SheetValues& v) {
             auto& s = std::get<NumberShapePage>(v.appearance);
             s.fontColor = 0x112233, s.writeAllowed = 1, s.plusSign = 1, s.borderWidth = 3, s.borderColor = 0x445566;
             s.borderType = 1, s.backTransparent = 1, s.backColor = 0x778899, s.alignment = 2, s.leadingFill = 1;
             s.digits = 7, s.decimals = 2, s.rotated = 1, s.pictureFont = 1, s.keyboardX = 100, s.keyboardY = 200;
             s.minimum = static_cast<std::uint32_t>(-5), s.maximum = 500, s.byteOrder = 6, s.toFloat = 1, s.noLimit = 0;
             s.pictureFontTransparent = 1, s.pictureFontTransparentColor = 0xABCDEF;
             auto& c = std::get<NumberControlPage>(v.control);
             c.password = 3, c.differentWrite = 1;
         },
         {{32, 4, 0x112233}, {36, 1, 1}, {37, 1, 1}, {40, 4, 3}, {44, 4, 0x445566}, {48, 1, 1}, {52, 4, 1},
          {56, 4, 0x778899}, {60, 4, 2}, {64, 4, 1}, {68, 4, 7}, {72, 4, 2}, {105, 1, 1}, {136, 4, 1},
          {192, 4, 100}, {196, 4, 200}, {200, 4, static_cast<std::uint32_t>(-5)}, {204, 4, 500}, {392, 4, 6},
          {396, 4, 1}, {400, 4, 0}, {128, 4, 1}, {132, 4, 0xABCDEF}, {104, 1, 3}, {228, 4, 1}}},
        {ShapeKind::Button,
         [](SheetValues& v) {
             auto& s = std::get<ButtonShapePage>(v.appearance);
             s.textColor = 0x010203;
             for (std::uint32_t i = 0; i < 3; ++i) {
                 ButtonStateLook& st = s.states[i];
                 st.borderType = 1, st.borderWidth = 10 + i, st.borderColor = 20 + i, st.fillColor = 30 + i;
                 st.highlightColor = 40 + i, st.fillStyle = 1, st.usePicture = 1, st.transparent = 1;
                 st.transparentColor = 50 + i, st.noFill = 1, st.noBorder = 1;
             }
             auto& c = std::get<ButtonControlPage>(v.control);
             c.password = 2, c.operation = 1, c.doubleClick = 1, c.handCursor = 1;
             c.pressFlag = 1, c.pressValue = 200, c.releaseFlag = 1, c.releaseValue = 201;
             c.enterFlag = 1, c.enterValue = 202, c.leaveFlag = 1, c.leaveValue = 203;
         },
         {{0, 4, 0x010203},
          // normal / over / pressed
          {4, 4, 1}, {8, 4, 1}, {12, 4, 1}, {16, 4, 1}, {20, 4, 1}, {24, 4, 1},
          {36, 4, 50}, {32, 4, 51}, {28, 4, 52}, {48, 4, 30}, {44, 4, 31}, {40, 4, 32},
          {60, 4, 40}, {56, 4, 41}, {52, 4, 42}, {66, 1, 1}, {64, 1, 1}, {65, 1, 1},
          {76, 4, 10}, {72, 4, 11}, {68, 4, 12}, {88, 4, 20}, {84, 4, 21}, {80, 4, 22},
          {94, 1, 1}, {92, 1, 1}, {93, 1, 1}, {188, 4, 1}, {192, 4, 1}, {196, 4, 1}, {200, 4, 1}, {204, 4, 1}, {208, 4, 1},
          {122, 1, 1}, {123, 1, 2}, {124, 1, 1}, {127, 1, 1},
          {132, 4, 1}, {136, 1, 200}, {140, 4, 1}, {144, 1, 201}, {148, 4, 1}, {152, 1, 202}, {156, 4, 1}, {160, 1, 203}}},
        {ShapeKind::Indicator,
         [](SheetValues& v) {
             auto& s = std::get<SwitchShapePage>(v.appearance);
             s.transparentOn = 1, s.transparentOff = 1, s.transparentColorOn = 7, s.transparentColorOff = 8;
             s.textColorOn = 9, s.textColorOff = 10;
             auto& c = std::get<IndicatorControlPage>(v.control);
             c.read.state = {1, 3, 4, 5, 1, 6, 7, 0};
             c.read.changed = true;
         },
         {{0, 4, 1}, {4, 4, 1}, {8, 4, 7}, {12, 4, 8}, {48, 4, 9}, {52, 4, 10},
          {16, 4, 6}, {25, 1, 7}, {56, 4, 1}, {60, 4, 3}, {64, 4, 4}, {68, 4, 5}, {72, 4, 1}}},
        {ShapeKind::RadioButton,
         [](SheetValues& v) {
             auto& s = std::get<RadioShapePage>(v.appearance);
             s.mode = 1, s.transparentOn = 1, s.transparentOff = 0, s.transparentColorOn = 5, s.transparentColorOff = 6;
             auto& c = std::get<RadioControlPage>(v.control);
             c.value = static_cast<std::uint32_t>(-3), c.password = 1, c.differentWrite = 1;
             c.read.state = {1, 1, 2, 3, 1, 4, 0, 0};
             c.write.state = {2, 0, 5, 6, 1, 7, 0, 0};
             c.read.changed = c.write.changed = true;
         },
         {{60, 4, 1}, {24, 4, 1}, {28, 4, 0}, {32, 4, 5}, {36, 4, 6}, {4, 4, static_cast<std::uint32_t>(-3)},
          {13, 1, 1}, {100, 4, 1}, {0, 4, 4}, {80, 4, 1}, {84, 4, 1}, {88, 4, 2}, {92, 4, 3}, {96, 4, 1},
          {124, 4, 7}, {104, 4, 2}, {108, 4, 0}, {112, 4, 5}, {116, 4, 6}, {120, 4, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CDrawObj& obj = addObject(c.kind);
        obj.m_strFiles = {"\\UserPicture\\a.bmp", "\\UserPicture\\b.bmp"};  // no radio defaults
        for (std::size_t i = 0; i < obj.m_Params.size(); ++i)
            obj.m_Params[i] = static_cast<std::uint8_t>(i * 7 + 3);
        const auto before = obj.m_Params;
        const SheetContext ctx = SheetContextFor(*app, obj);
        SheetValues v = LoadSheet(obj, ctx);
        c.set(v);
        // The common pages are left alone here; their groups have their own test.
        v.common = {};
        CommitControlPages(v, obj, ctx);
        expectLandings(before, obj.m_Params, c.landings);
    }
}

TEST_F(ControlSheetsTest, PlcLinkCreatesOneSharedHiddenVariableSavesAndRewritesHeaders)
{
    project->SetSettingI32(settings::kProtocol2, 5);  // port 2: the FX family, port 1 none
    CDrawObj& first = addObject(ShapeKind::BitSwitch);
    CDrawObj& second = addObject(ShapeKind::BitSwitch);
    const std::size_t rowsBefore = project->m_varTable.size();
    g_headerWrites = 0;
    auto linkToM = [&](CDrawObj& sw, std::uint32_t element) {
        const SheetContext ctx = SheetContextFor(*app, sw);
        SheetValues v = LoadSheet(sw, ctx);
        auto& ctl = std::get<SwitchControlPage>(v.control);
        ctl.read.state.linkTarget = 1;  // port 2 is the only PLC target
        ctl.read.state.elementType = 2; // "M"
        ctl.read.state.station = 1;
        ctl.read.state.elementNumber = element;
        ctl.read.state.allowOther = 0;
        ctl.read.changed = true;
        EXPECT_TRUE(ConfirmSheet(*app, v, ctx));
        CommitSheet(v, sw, ctx);
        return ctl.read.state;
    };
    const LinkGroupState a = linkToM(first, 10);
    ASSERT_EQ(project->m_varTable.size(), rowsBefore + 1);
    const std::size_t row = rowsBefore;
    EXPECT_EQ(project->m_varTable.name[row], "m_PlcCom2SlaveAdr1MB1");
    EXPECT_EQ(project->m_varTable.type[row], "unsigned char");
    EXPECT_EQ(project->m_varTable.initValue[row], "1");
    EXPECT_EQ(project->m_varTable.description[row], "PLC专用HMI变量");
    EXPECT_EQ(a.varIndex, static_cast<int>(row));
    EXPECT_EQ(a.bit, 2u);
    EXPECT_EQ(blockReadI32(first.m_Params, 16), static_cast<int>(row));
    EXPECT_EQ(first.m_Params[25], 2);
    EXPECT_NE(projectFileBytes().find("m_PlcCom2SlaveAdr1MB1"), std::string::npos);
    EXPECT_EQ(g_headerWrites, 1);

    const LinkGroupState b = linkToM(second, 11);
    EXPECT_EQ(project->m_varTable.size(), rowsBefore + 1);
    EXPECT_EQ(b.varIndex, static_cast<int>(row));
    EXPECT_EQ(b.bit, 3u);
    EXPECT_EQ(g_headerWrites, 1);  // nothing created, nothing rewritten
}

TEST_F(ControlSheetsTest, WriteGroupWithoutDifferentWriteAndUnusedHideGroupCreateNothing)
{
    project->SetSettingI32(settings::kProtocol1, 3);
    CDrawObj& sw = addObject(ShapeKind::BitSwitch);
    const SheetContext ctx = SheetContextFor(*app, sw);
    SheetValues v = LoadSheet(sw, ctx);
    auto& ctl = std::get<SwitchControlPage>(v.control);
    ctl.differentWrite = 0;
    ctl.write.state = {1, 0, 1, 8, 0, -1, 0, 0};
    ctl.write.changed = true;
    ctl.read.state.linkTarget = 0;
    v.common.hide->use = 0;
    v.common.hide->state = {1, 0, 1, 8, 0, -1, 0, 0};
    v.common.hide->changed = true;
    EXPECT_TRUE(HiddenVarsNeeded(v, ctx).empty());
}

TEST_F(ControlSheetsTest, RefusedHiddenVariableTakesBackTheOnesCreatedBeforeIt)
{
    project->SetSettingI32(settings::kProtocol1, 6);  // Siemens
    CDrawObj& number = addObject(ShapeKind::RealTimeNumber);
    const SheetContext ctx = SheetContextFor(*app, number);
    SheetValues v = LoadSheet(number, ctx);
    auto& ctl = std::get<NumberControlPage>(v.control);
    ctl.read.state = {1, 0, 1, 10, 0, -1, 0, 0};  // VB 10: fits
    ctl.read.changed = true;
    ctl.differentWrite = 1;
    ctl.write.state = {1, 2, 1, 20, 0, -1, 0, 0};  // VD 20
    ctl.write.changed = true;
    // Fill the memory so that only one more byte-wide variable fits.
    HmiVarTable& table = project->m_varTable;
    table.AppendRow("65528", "unsigned int", "big", "0", "");
    const HmiVarTable tableBefore = table;
    const std::string fileBefore = projectFileBytes();
    prompts.messages.clear();
    g_headerWrites = 0;
    EXPECT_FALSE(ConfirmSheet(*app, v, ctx));
    EXPECT_EQ(table.name, tableBefore.name);
    EXPECT_EQ(projectFileBytes(), fileBefore);
    EXPECT_EQ(g_headerWrites, 0);
    EXPECT_FALSE(prompts.messages.empty());
}

TEST_F(ControlSheetsTest, DecimalsAndUserCodeAreCheckedWhileTheSheetIsOpen)
{
    CDrawObj& number = addObject(ShapeKind::RealTimeNumber);
    const SheetContext ctx = SheetContextFor(*app, number);
    SheetValues v = LoadSheet(number, ctx);
    auto& shape = std::get<NumberShapePage>(v.appearance);
    struct Digits {
        std::uint32_t digits, decimals;
        bool refused;
    } const digitCases[] = {{5, 5, true}, {5, 4, false}, {5, 9, true}, {0, 0, false}, {0, 9, false}, {0, 10, true}, {0, 200, true}};
    for (const Digits& d : digitCases) {
        shape.digits = d.digits;
        shape.decimals = d.decimals;
        EXPECT_EQ(CheckSheet(v, ctx), d.refused ? kDecimalsTooMany : "") << d.digits << '/' << d.decimals;
    }

    CDrawObj& button = addObject(ShapeKind::Button);
    button.m_strFiles = {"", "", "", "操作变量"};  // four entries: no file entry yet
    const SheetContext bctx = SheetContextFor(*app, button);
    SheetValues b = LoadSheet(button, bctx);
    auto& ctl = std::get<ButtonControlPage>(b.control);
    ctl.action.text = kUserCodeAction;
    ctl.userCodeFile.text = "\\code\\a.hex";
    const std::string missing = CheckSheet(b, bctx);
    EXPECT_EQ(missing.rfind("用户代码文件\r\n“", 0), 0u) << missing;
    EXPECT_NE(missing.find("\\code\\a.hex”\r\n不存在!!!"), std::string::npos);

    std::filesystem::create_directories(app->m_strProjectDir / "code");
    std::ofstream(app->m_strProjectDir / "code" / "a.hex") << ":00000001FF\n";
    EXPECT_EQ(CheckSheet(b, bctx), "");
    CommitSheet(b, button, bctx);
    EXPECT_EQ(button.m_strFiles, (std::vector<std::string>{"", "", "", kUserCodeAction, "\\code\\a.hex"}));
}

TEST_F(ControlSheetsTest, UserCodeFileMustLieInsideTheProjectFolder)
{
    namespace fs = std::filesystem;
    const fs::path dir = app->m_strProjectDir;
    struct Case {
        fs::path chosen;
        std::optional<std::string> stored;
    } const cases[] = {
        {dir / "code" / "a.hex", std::string("\\code\\a.hex")},
        {dir / "a.hex", std::string("\\a.hex")},
        {dir.parent_path() / (dir.filename().string() + "x") / "a.hex", std::nullopt},  // merely shares the prefix
        {dir.parent_path() / "a.hex", std::nullopt},
        {dir, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserCodeStoredName(dir, c.chosen), c.stored) << c.chosen;
}

TEST_F(ControlSheetsTest, ButtonTemplateLineShowsTheChooseFirstText)
{
    CDrawObj& button = addObject(ShapeKind::Button);
    button.m_strFiles = {"", "", "", kUserCodeAction, kUserCodeTemplateLine};
    const SheetContext ctx = SheetContextFor(*app, button);
    const SheetValues v = LoadSheet(button, ctx);
    EXPECT_EQ(std::get<ButtonControlPage>(v.control).userCodeFile.text, kUserCodeChooseFirst);
    const std::string before = storedBytes(button);
    CommitSheet(v, button, ctx);
    EXPECT_EQ(storedBytes(button), before);
}

TEST_F(ControlSheetsTest, RadioDefaultsLiveInThePageUntilOk)
{
    namespace fs = std::filesystem;
    fs::create_directories(dir.path() / "images" / "sys");
    for (const char* name : {"Radio_ON.bmp", "Radio_OFF.bmp"})
        std::ofstream(dir.path() / "images" / "sys" / name) << "BM";
    CDrawObj& radio = addObject(ShapeKind::RadioButton);
    radio.m_strFiles.clear();
    radio.m_Params.fill(0);
    const std::string before = storedBytes(radio);
    const SheetContext ctx = SheetContextFor(*app, radio);
    SheetValues v = LoadSheet(radio, ctx);
    const auto& shape = std::get<RadioShapePage>(v.appearance);
    EXPECT_EQ(shape.transparentOn, 1u);
    EXPECT_EQ(shape.transparentColorOff, 0xFFFFFFu);
    EXPECT_EQ(shape.pictures[0].path.filename(), "Radio_ON.bmp");
    EXPECT_EQ(storedBytes(radio), before);  // loading stored nothing (Cancel keeps it so)

    CommitSheet(v, radio, ctx);
    ASSERT_EQ(radio.m_strFiles.size(), 2u);
    EXPECT_EQ(radio.m_strFiles[0], "\\UserPicture\\Radio_ON.bmp");
    EXPECT_EQ(radio.m_strFiles[1], "\\UserPicture\\Radio_OFF.bmp");
    EXPECT_EQ(blockReadU(radio.m_Params, 24, 4), 1u);
    EXPECT_EQ(blockReadU(radio.m_Params, 28, 4), 1u);
    EXPECT_EQ(blockReadU(radio.m_Params, 32, 4), 0xFFFFFFu);
    EXPECT_EQ(blockReadU(radio.m_Params, 36, 4), 0xFFFFFFu);
}

TEST_F(ControlSheetsTest, PictureFontKeepsFourteenEntries)
{
    namespace fs = std::filesystem;
    const fs::path pic = dir.path() / "seven.bmp";
    std::ofstream(pic) << "BM";
    CDrawObj& number = addObject(ShapeKind::RealTimeNumber);
    number.m_strFiles = {"\\UserPicture\\0.bmp", "\\UserPicture\\1.bmp"};
    const SheetContext ctx = SheetContextFor(*app, number);
    SheetValues v = LoadSheet(number, ctx);
    std::get<NumberShapePage>(v.appearance).symbols[7].path = pic;
    CommitSheet(v, number, ctx);
    ASSERT_EQ(number.m_strFiles.size(), 14u);
    EXPECT_EQ(number.m_strFiles[0], "\\UserPicture\\0.bmp");
    EXPECT_EQ(number.m_strFiles[1], "\\UserPicture\\1.bmp");
    EXPECT_EQ(number.m_strFiles[7], "\\UserPicture\\seven.bmp");
    EXPECT_EQ(number.m_strFiles[13], "");
}

} // namespace
} // namespace qv::test
