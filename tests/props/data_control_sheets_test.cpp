// The pages of the character control, curve, dynamic picture, progress bar and area
// control without a display: each member lands at its offset, OK without changes keeps the
// stored object byte for byte, Cancel after editing the lists keeps it too, and the checks
// refuse what the painter and the compiler cannot take before anything is stored.
#include "model/params/blocks/curve_block.h"
#include "model/document/document_view.h"
#include "model/paint/controls/control_support.h"
#include "props/character_batch.h"
#include "props/control_sheets.h"
#include "props/curve_records.h"
#include "props/data_control_sheets.h"
#include "props/property_edit.h"
#include "tests/props/landings.h"
#include "tests/props/props_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace qv::test {
namespace {

class DataControlSheetsTest : public PropsFixture {
protected:
    void SetUp() override
    {
        PropsFixture::SetUp();
        project = app->ProjectDoc();
        ASSERT_NE(project, nullptr);
    }

    // A variable row at `address` of `type`; its index.
    int addVar(const std::string& name, const std::string& type, int address)
    {
        project->m_varTable.AppendRow(std::to_string(address), type, name, "0", "");
        return static_cast<int>(project->m_varTable.size()) - 1;
    }

    // Runs the edit road with a sheet that edits the values and answers `ok`; returns what
    // the sheet's confirm step said (nullopt when it was not reached).
    std::optional<bool> edit(CDrawObj& obj, const std::function<void(SheetValues&)>& change, bool ok = true)
    {
        std::optional<bool> confirmed;
        PropertyEditHooks hooks;
        hooks.runSheet = [&](const KindSheet&, SheetValues& values, const std::function<bool()>& confirm) {
            change(values);
            if (!ok)
                return false;
            confirmed = confirm();
            return *confirmed;
        };
        EditObjectProperties(*app, obj, 1, hooks);
        return confirmed;
    }

    std::filesystem::path writeFile(const std::string& name, const std::string& bytes = "BM")
    {
        const std::filesystem::path p = dir.path() / "outside" / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    CDrawDoc* project = nullptr;
};

TEST_F(DataControlSheetsTest, PageFieldsLandAtTheirOffsets)
{
    struct Case {
        ShapeKind kind;
        std::function<void(SheetValues&)> set;
        std::vector<Landing> landings;
    };
    const Case cases[] = {
        {ShapeKind::Character,
         [](SheetValues& v) {
             auto& s = std::get<CharacterShapePage>(v.appearance);
             s.fontColor = 0x010203, s.backColor = 0x040506, s.backTransparent = 1, s.charSpacing = 3, s.lineSpacing = 4;
             s.maxChars = 300, s.showCursor = 1, s.cursorWidth = 9, s.cursorColor = 0x0A0B0C, s.allowDigits = 1;
             s.allowPoint = 1, s.allowMinus = 1, s.allowEnglish = 1, s.allowChinese = 1, s.mouseSensing = 1;
             s.keyboardInput = 1, s.passwordStyle = 1, s.hashPassword = 1, s.clickKeyboard = 1;
             s.doubleClickKeyboard = 1, s.keyboardX = 111, s.keyboardY = 222, s.verticalCentre = 1;
             auto& c = std::get<CharacterControlPage>(v.control);
             c.stringStart = 5, c.password = 3, c.operateOnClick = 1, c.operatedVar = 6, c.clickValue = 255;
             c.convert = 1, c.hex = 1, c.numberVar = 7, c.zeroFill = 1, c.minimum = static_cast<std::uint32_t>(-9);
             c.maximum = 99, c.letterCase = 2;
         },
         {{0, 4, 0x010203}, {4, 4, 0x040506}, {8, 4, 1}, {24, 4, 3}, {28, 4, 4}, {32, 4, 300}, {80, 4, 1},
          {84, 4, 9}, {88, 4, 0x0A0B0C}, {100, 4, 1}, {104, 4, 1}, {108, 4, 1}, {112, 4, 1}, {120, 4, 1},
          {128, 4, 1}, {132, 4, 1}, {136, 4, 1}, {140, 4, 1}, {148, 4, 1}, {152, 4, 1}, {204, 4, 111},
          {208, 4, 222}, {224, 4, 1}, {36, 4, 5}, {96, 1, 3}, {216, 1, 1}, {212, 4, 6}, {217, 1, 255},
          {356, 4, 1}, {360, 4, 1}, {364, 4, 7}, {376, 4, 1}, {380, 4, static_cast<std::uint32_t>(-9)},
          {384, 4, 99}, {388, 4, 2}}},
        {ShapeKind::Curve,
         [](SheetValues& v) {
             auto& s = std::get<CurveShapePage>(v.appearance);
             s.labelColor = 0x11, s.gridColor = 0x22, s.backColor = 0x33, s.gridWidth = 2, s.backTransparent = 1;
             s.noGrid = 1, s.hGrid = 5, s.vGrid = 6, s.noLabels = 1, s.maximum = 1000, s.decimals = 2;
             s.labelCount = 4, s.minimum = static_cast<std::uint32_t>(-20), s.bottomOffset = 7, s.leftOffset = 8;
             s.shift = 1, s.curveType = 1, s.interval = 51, s.stopOutOfRange = 1;
             auto& c = std::get<CurveControlPage>(v.control);
             c.samples = 10;
             c.count = 0;
             AddCurve(c, {3, 0x0000FF, 2, 0, 4});
             AddCurve(c, {4, 0x00FF00, 1, 0, 300});
         },
         {{0, 4, 0x11}, {4, 4, 0x22}, {8, 4, 0x33}, {12, 4, 2}, {16, 4, 1}, {20, 4, 1}, {24, 4, 5}, {28, 4, 6},
          {32, 4, 1}, {36, 4, 1000}, {40, 4, 2}, {44, 4, 4}, {48, 4, static_cast<std::uint32_t>(-20)}, {52, 4, 7},
          {56, 4, 8}, {876, 4, 1}, {880, 4, 1}, {884, 4, 100}, {948, 1, 1}, {76, 4, 10}, {80, 4, 2},
          {84, 4, 3}, {88, 4, 0x0000FF}, {92, 1, 2}, {94, 2, 4}, {96, 4, 4}, {100, 4, 0x00FF00}, {104, 1, 1},
          {106, 2, 300},
          // the cached type of a new record: 0 until the builder refreshes it
          {93, 1, 0}, {105, 1, 0}}},
        {ShapeKind::DynamicPicture,
         [](SheetValues& v) {
             auto& s = std::get<PictureGroupPage>(v.appearance);
             s.transparent = 1, s.transparentColor = 0x123456, s.effect = 3, s.timeStep = 8, s.areaStep = 9;
             auto& c = std::get<PictureDisplayControlPage>(v.control);
             c.playMode = 1, c.location = 1, c.lookup = 1;
             c.read.state = {1, 2, 30, 40, 1, 5, 0, 0};
             c.read.changed = true;
         },
         {{0, 4, 1}, {4, 4, 0x123456}, {32, 1, 3}, {36, 4, 8}, {40, 4, 9}, {44, 1, 1}, {200, 4, 1}, {204, 4, 1},
          {64, 4, 5}, {100, 4, 1}, {104, 4, 2}, {108, 4, 30}, {112, 4, 40}, {116, 4, 1}}},
        {ShapeKind::ProgressBar,
         [](SheetValues& v) {
             auto& s = std::get<ProgressShapePage>(v.appearance);
             s.usePicture = 1, s.noBackground = 1, s.fillColor = 0x21, s.highlightColor = 0x22, s.style = 1;
             s.foreColor = 0x23, s.direction = 3, s.inverted = 1;
             auto& c = std::get<ProgressControlPage>(v.control);
             c.maximum = 500, c.minimum = static_cast<std::uint32_t>(-100);
             c.read.state = {2, 1, 7, 8, 0, 9, 0, 0};
             c.read.changed = true;
         },
         {{0, 4, 1}, {4, 4, 1}, {8, 4, 0x21}, {12, 4, 0x22}, {16, 1, 1}, {20, 4, 0x23}, {24, 1, 3}, {72, 4, 1},
          {40, 4, 500}, {44, 4, static_cast<std::uint32_t>(-100)}, {28, 4, 9}, {76, 4, 2}, {80, 4, 1}, {84, 4, 7},
          {88, 4, 8}, {92, 4, 0}}},
        {ShapeKind::AreaControl,
         [](SheetValues& v) {
             auto& c = std::get<AreaControlPage>(v.control);
             c.behaviour = 4, c.mouseDetect = 1, c.textColor = 0x31, c.backColor = 0x32;
         },
         {{0, 1, 4}, {1, 1, 1}, {4, 4, 0x31}, {8, 4, 0x32}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CDrawObj& obj = addObject(c.kind);
        for (std::size_t i = 0; i < obj.m_Params.size(); ++i)
            obj.m_Params[i] = static_cast<std::uint8_t>(i * 7 + 3);
        const auto before = obj.m_Params;
        const SheetContext ctx = SheetContextFor(*app, obj);
        SheetValues v = LoadSheet(obj, ctx);
        c.set(v);
        v.common = {};
        CommitControlPages(v, obj, ctx);
        expectLandings(before, obj.m_Params, c.landings);
    }
}

TEST_F(DataControlSheetsTest, OkWithoutChangesKeepsTheStoredObject)
{
    for (ShapeKind kind : {ShapeKind::Character, ShapeKind::Curve, ShapeKind::DynamicPicture, ShapeKind::ProgressBar, ShapeKind::AreaControl}) {
        SCOPED_TRACE(kind);
        CDrawObj& obj = addObject(kind);
        // Pictures that are not on this machine: stored names stay, nothing is copied.
        obj.m_strFiles = {"\\UserPicture\\gone0.bmp", "\\UserPicture\\gone1.jpg"};
        obj.m_strName = "text";
        blockWriteU(obj.m_Params, blocks::curve::kSamplePeriod.offset, 4, kind == ShapeKind::Curve ? 70 : blockReadU(obj.m_Params, 884, 4));
        const std::string before = storedBytes(obj);
        EXPECT_EQ(edit(obj, [](SheetValues&) {}), true);
        EXPECT_EQ(storedBytes(obj), before);
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "demo" / "UserPicture" / "gone0.bmp"));
    }
}

TEST_F(DataControlSheetsTest, CancelAfterEditingTheListsKeepsTheObject)
{
    const std::filesystem::path picture = writeFile("new.bmp");
    struct Case {
        ShapeKind kind;
        std::function<void(SheetValues&)> change;
    };
    const Case cases[] = {
        {ShapeKind::Curve,
         [](SheetValues& v) {
             auto& c = std::get<CurveControlPage>(v.control);
             AddCurve(c, {1, 2, 0, 0, 3});
             c.records[0].color = 0x123456;
             DeleteCurve(c, 0);
         }},
        {ShapeKind::DynamicPicture,
         [&](SheetValues& v) {
             auto& p = std::get<PictureGroupPage>(v.appearance);
             p.frames.erase(p.frames.begin());
             p.frames.push_back({picture, {}});
         }},
        {ShapeKind::ProgressBar, [&](SheetValues& v) { std::get<ProgressShapePage>(v.appearance).picture.path = picture; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CDrawObj& obj = addObject(c.kind);
        obj.m_strFiles = {"\\UserPicture\\a.bmp", "\\UserPicture\\b.bmp"};
        const std::string before = storedBytes(obj);
        doc->SetModifiedFlag(false);
        EXPECT_EQ(edit(obj, c.change, false), std::nullopt);
        EXPECT_EQ(storedBytes(obj), before);
        EXPECT_FALSE(doc->IsModified());
    }
}

TEST_F(DataControlSheetsTest, StoredCurveCountOutsideTheListLoadsClampedAndStaysUntilEdited)
{
    for (const auto& [stored, shown] : {std::pair{100, kMaxCurves}, std::pair{-3, 0}}) {
        SCOPED_TRACE(stored);
        CDrawObj& obj = addObject(ShapeKind::Curve);
        blockWriteI32(obj.m_Params, blocks::curve::kCurveCount.offset, stored);
        const SheetContext context = SheetContextFor(*app, obj);
        SheetValues values = LoadSheet(obj, context);
        const auto& control = std::get<CurveControlPage>(values.control);
        EXPECT_EQ(control.count, shown);
        CurveControlPage edited = control;
        DeleteCurve(edited, shown - 1);  // the last row the list shows
        EXPECT_EQ(edited.count, std::max(shown - 1, 0));
        CommitDataControlPages(values, obj, context);
        EXPECT_EQ(blockReadI32(obj.m_Params, blocks::curve::kCurveCount.offset), stored);
    }
}

TEST_F(DataControlSheetsTest, CurveListAddsDeletesAndShowsItsAddresses)
{
    CurveControlPage page;
    for (int i = 0; i < kMaxCurves; ++i)
        ASSERT_EQ(AddCurve(page, {i, 0, 0, 0, 1}), "");
    EXPECT_EQ(AddCurve(page, {99, 0, 0, 0, 1}), kTooManyCurves);
    EXPECT_EQ(page.count, kMaxCurves);

    CurveControlPage four;
    for (int i : {10, 11, 12, 13})
        AddCurve(four, {i, 0, 0, 0, 1});
    DeleteCurve(four, 1);
    ASSERT_EQ(four.count, 3);
    EXPECT_EQ(four.records[0].varIndex, 10);
    EXPECT_EQ(four.records[1].varIndex, 12);
    EXPECT_EQ(four.records[2].varIndex, 13);
    DeleteCurve(four, 2);  // the last row: only the count goes down
    EXPECT_EQ(four.count, 2);
    EXPECT_EQ(four.records[2].varIndex, 13);
    DeleteCurve(four, -1);  // no selected row
    EXPECT_EQ(four.count, 2);

    const int intVar = addVar("curveInt", "unsigned int", 100);
    const int charVar = addVar("curveChar", "unsigned char", 100);
    struct Row {
        std::int32_t index;
        const char* type;
        const char* end;
    };
    for (const Row& r : {Row{intVar, "unsigned int", "140"}, Row{charVar, "unsigned char", "110"}, Row{-1, "?", "?"},
                         Row{9999, "?", "?"}}) {
        const CurveRowText text = CurveRowTextOf({r.index, 0, 0, 0, 1}, 3, 10, project->m_varTable);
        EXPECT_EQ(text.number, "3");
        EXPECT_EQ(text.type, r.type);
        EXPECT_EQ(text.end, r.end);
    }
}

TEST_F(DataControlSheetsTest, IntervalIsStoredInStepsOf50)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 0}, {1, 50}, {50, 50}, {51, 100}, {10000, 10000}};
    for (auto [typed, stored] : cases) {
        CDrawObj& curve = addObject(ShapeKind::Curve);
        edit(curve, [typed](SheetValues& v) { std::get<CurveShapePage>(v.appearance).interval = typed; });
        EXPECT_EQ(blockReadU(curve.m_Params, blocks::curve::kSamplePeriod.offset, 4), stored) << typed;
    }
}

TEST_F(DataControlSheetsTest, CurveInputThePainterCannotTakeIsRefusedWithNothingStored)
{
    const int nearEnd = addVar("nearEnd", "unsigned char", 65000);
    struct Case {
        const char* what;
        std::function<void(CurveShapePage&, CurveControlPage&)> set;
        bool refused;
    };
    const Case cases[] = {
        {"1 sample", [](CurveShapePage&, CurveControlPage& c) { c.samples = 1; }, true},
        {"2 samples", [](CurveShapePage&, CurveControlPage& c) { c.samples = 2; }, false},
        {"1 label", [](CurveShapePage& s, CurveControlPage&) { s.noLabels = 0, s.labelCount = 1; }, true},
        {"1 label, no labels", [](CurveShapePage& s, CurveControlPage&) { s.noLabels = 1, s.labelCount = 1; }, false},
        {"maximum equal to minimum", [](CurveShapePage& s, CurveControlPage&) { s.maximum = 7, s.minimum = 7; }, true},
        {"interval 10001", [](CurveShapePage& s, CurveControlPage&) { s.interval = 10001; }, true},
        {"end address past the memory",
         [nearEnd](CurveShapePage&, CurveControlPage& c) {
             c.samples = 600;
             c.count = 0;
             AddCurve(c, {nearEnd, 0, 0, 0, 1});
         },
         true},
        {"end address at the memory's end",
         [nearEnd](CurveShapePage&, CurveControlPage& c) {
             c.samples = 536;
             c.count = 0;
             AddCurve(c, {nearEnd, 0, 0, 0, 1});
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDrawObj& curve = addObject(ShapeKind::Curve);
        const std::string before = storedBytes(curve);
        prompts.messages.clear();
        const std::optional<bool> confirmed = edit(curve, [&](SheetValues& v) {
            auto& shape = std::get<CurveShapePage>(v.appearance);
            auto& control = std::get<CurveControlPage>(v.control);
            shape.maximum = 100, shape.minimum = 0, shape.labelCount = 5, shape.noLabels = 0;
            control.samples = 10;
            c.set(shape, control);
        });
        EXPECT_EQ(confirmed, !c.refused);
        if (c.refused) {
            EXPECT_EQ(storedBytes(curve), before);
            EXPECT_EQ(prompts.messages.size(), 1u);
        }
    }
}

TEST_F(DataControlSheetsTest, FramesKeepStoredNamesAndCopyOnlyNewPictures)
{
    CDrawObj& pic = addObject(ShapeKind::DynamicPicture);
    pic.m_strFiles = {"\\UserPicture\\absent.bmp"};
    const std::filesystem::path fresh = writeFile("fresh.bmp");

    // A new frame whose file is gone keeps the sheet open; nothing is stored.
    EXPECT_EQ(edit(pic, [&](SheetValues& v) {
                  std::get<PictureGroupPage>(v.appearance).frames.push_back({dir.path() / "outside" / "gone.bmp", {}});
              }),
              false);
    EXPECT_EQ(pic.m_strFiles, std::vector<std::string>{"\\UserPicture\\absent.bmp"});

    EXPECT_EQ(edit(pic, [&](SheetValues& v) { std::get<PictureGroupPage>(v.appearance).frames.push_back({fresh, {}}); }),
              true);
    EXPECT_EQ(pic.m_strFiles, (std::vector<std::string>{"\\UserPicture\\absent.bmp", "\\UserPicture\\fresh.bmp"}));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "demo" / "UserPicture" / "fresh.bmp"));
}

TEST_F(DataControlSheetsTest, BatchAddTakesThePictureFilesOfTheFolder)
{
    for (const char* name : {"a.bmp", "b.Bmp", "c.jpeg", "d.wmf"})
        writeFile(name);
    std::filesystem::create_directories(dir.path() / "outside" / "sub.bmp");
    std::vector<std::filesystem::path> got = BatchFramesOf(dir.path() / "outside");
    std::vector<std::string> names;
    for (const auto& p : got)
        names.push_back(p.filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.bmp", "c.jpeg"}));
}

TEST_F(DataControlSheetsTest, ProgressPictureGoesToEntryZero)
{
    const std::filesystem::path picture = writeFile("bar.bmp");
    CDrawObj& bar = addObject(ShapeKind::ProgressBar);
    bar.m_strFiles.clear();
    edit(bar, [](SheetValues& v) { std::get<ProgressControlPage>(v.control).minimum = 5; });
    EXPECT_TRUE(bar.m_strFiles.empty());  // no picture chosen: nothing to store
    edit(bar, [&](SheetValues& v) { std::get<ProgressShapePage>(v.appearance).picture.path = picture; });
    EXPECT_EQ(bar.m_strFiles, std::vector<std::string>{"\\UserPicture\\bar.bmp"});
    bar.m_strFiles = {"\\UserPicture\\kept.bmp"};
    edit(bar, [](SheetValues& v) { std::get<ProgressControlPage>(v.control).minimum = static_cast<std::uint32_t>(-100); });
    EXPECT_EQ(bar.m_strFiles, std::vector<std::string>{"\\UserPicture\\kept.bmp"});
    EXPECT_EQ(blockReadI32(bar.m_Params, 44), -100);
}

TEST(AreaChoices, FollowTheEditedWindow)
{
    struct Case {
        const char* title;
        std::array<bool, 4> enabled;
        bool textInput;
    };
    const Case cases[] = {
        {"win0.drw", {true, false, true, true}, false},
        {"menu.dlg", {false, true, false, true}, false},
        {"系统键盘.dlg", {false, true, false, true}, true},
    };
    for (const Case& c : cases) {
        const AreaChoices got = AreaChoicesFor(c.title);
        EXPECT_EQ(got.enabled, c.enabled) << c.title;
        EXPECT_EQ(got.textInputShown, c.textInput) << c.title;
    }
    EXPECT_EQ(AreaSubWindows({"b.dlg", "系统键盘.dlg", "a.dlg", "数字键盘.dlg", "串口2无响应.dlg"}),
              (std::vector<std::string>{"a.dlg", "b.dlg"}));
}

TEST(PictureReadGroup, CaptionFollowsModeLocationAndLookup)
{
    struct Case {
        std::uint32_t mode, location, lookup;
        const char8_t* caption;
        bool lookupShown;
    };
    const Case cases[] = {
        {1, 1, 1, u8" 读取地址（时间间隔）", false},
        {1, 0, 0, u8" 读取地址（时间间隔）", false},
        {0, 1, 1, u8" 读取地址（图片文件名）", true},
        {0, 1, 0, u8" 读取地址（图片序号）", true},
        {0, 0, 1, u8" 读取地址（图片序号）", false},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(reinterpret_cast<const char*>(PictureReadCaption(c.mode, c.location, c.lookup)),
                     reinterpret_cast<const char*>(c.caption));
        EXPECT_EQ(PictureLookupVisible(c.mode, c.location), c.lookupShown);
    }
}

// A view that only holds a selection and counts its updates.
class SelectionView : public DocumentView {
public:
    void OnUpdate(DocumentView*, int, CDrawObj* obj) override { updated.push_back(obj); }
    std::vector<CDrawObj*> SelectedShapes() const override { return selected; }
    std::vector<CDrawObj*> selected;
    std::vector<CDrawObj*> updated;
};

constexpr int kColorGroupFields[] = {156, 160, 172, 176};

class CharacterBatchTest : public DataControlSheetsTest {
protected:
    void SetUp() override
    {
        DataControlSheetsTest::SetUp();
        other = app->m_pWindowTemplate->OpenNewDocument("win1.drw");
        ASSERT_NE(other, nullptr);
        other->m_nWindowWidth = 800, other->m_nWindowHeight = 480, other->m_ptWindowOrigin = {100, 50};
        project->m_screenNames.push_back(std::make_unique<CDrawObj>(std::string("win1.drw")));
        doc->AddView(&views[0]);
        other->AddView(&views[1]);
        model = &addObject(ShapeKind::Character, {kX0 + 10, kY0 + 10, kX0 + 60, kY0 + 40});
        second = &addObject(ShapeKind::Character, {kX0 + 100, kY0 + 100, kX0 + 120, kY0 + 110});
        auto obj = std::make_unique<CDrawRect>(Rect{kX0 + 5, kY0 + 5, kX0 + 25, kY0 + 15});
        obj->SetKind(ShapeKind::Character);
        third = other->AddObject(std::move(obj));
        SetKindDefaults(*third, *app);
        views[0].selected = {model, second};
        views[1].selected = {third};
        model->m_logfont.lfHeight = 33;
        for (int offset : {0, 4, 8, 32})
            blockWriteU(model->m_Params, offset, 4, 0x50 + static_cast<std::uint32_t>(offset));
        // The model's colour groups: use, index, link fields (the cached address and type
        // follow the index when the simulation is rebuilt).
        for (int offset : kColorGroupFields)
            blockWriteU(model->m_Params, offset, 4, static_cast<std::uint32_t>(offset));
        for (int offset = 228; offset < 276; offset += 4)
            blockWriteU(model->m_Params, offset, 4, static_cast<std::uint32_t>(offset));
        doc->SetModifiedFlag(false);
        other->SetModifiedFlag(false);
    }
    void TearDown() override
    {
        doc->RemoveView(&views[0]);
        other->RemoveView(&views[1]);
        DataControlSheetsTest::TearDown();
    }

    CDrawDoc* other = nullptr;
    SelectionView views[2];
    CDrawObj* model = nullptr;
    CDrawObj* second = nullptr;
    CDrawObj* third = nullptr;
};

TEST_F(CharacterBatchTest, EachOptionLandsOnEveryTargetWithOneUndoStepPerWindow)
{
    for (bool whole : {false, true}) {
        SCOPED_TRACE(whole);
        const std::int32_t undo0 = doc->m_nUndoDepth, undo1 = other->m_nUndoDepth;
        views[0].updated.clear();
        views[1].updated.clear();
        CharacterBatchOptions o;
        o.sameFont = o.sameForeColor = o.sameBackColor = o.sameHeight = o.sameWidth = o.sameMaxChars = 1;
        o.wholeProject = whole ? 1 : 0;
        const CDrawObj thirdBefore = *third;
        ApplyCharacterBatch(*app, *model, o);
        std::vector<CDrawObj*> targets = {second};
        if (whole)
            targets.push_back(third);
        for (CDrawObj* t : targets) {
            EXPECT_EQ(t->m_logfont.lfHeight, 33);
            for (int offset : {0, 4, 8, 32})
                EXPECT_EQ(blockReadU(t->m_Params, offset, 4), 0x50u + static_cast<std::uint32_t>(offset)) << offset;
            for (int offset : kColorGroupFields)
                EXPECT_EQ(blockReadU(t->m_Params, offset, 4), static_cast<std::uint32_t>(offset)) << offset;
            for (int offset = 228; offset < 276; offset += 4)
                EXPECT_EQ(blockReadU(t->m_Params, offset, 4), static_cast<std::uint32_t>(offset)) << offset;
            EXPECT_EQ(t->m_rcPosition.width(), 50);
            EXPECT_EQ(t->m_rcPosition.height(), 30);
        }
        EXPECT_EQ(std::count(views[0].updated.begin(), views[0].updated.end(), second), 1);
        EXPECT_EQ(doc->m_nUndoDepth, undo0 + 1);
        if (whole) {
            EXPECT_EQ(views[1].updated, std::vector<CDrawObj*>{third});
            EXPECT_EQ(other->m_nUndoDepth, undo1 + 1);
            EXPECT_TRUE(other->IsModified());
        } else {
            EXPECT_TRUE(views[1].updated.empty());
            EXPECT_EQ(third->m_Params, thirdBefore.m_Params);
            EXPECT_EQ(other->m_nUndoDepth, undo1);
        }
    }
}

TEST_F(CharacterBatchTest, EachOptionAloneCopiesOnlyItsOwnFields)
{
    using Field = std::function<std::int64_t(const CDrawObj&)>;
    const auto at = [](int offset) -> Field {
        return [offset](const CDrawObj& o) { return std::int64_t{blockReadU(o.m_Params, offset, 4)}; };
    };
    struct Option {
        const char* name;
        std::uint32_t CharacterBatchOptions::*flag;
        std::vector<Field> fields;
    };
    const Option options[] = {
        {"font", &CharacterBatchOptions::sameFont, {[](const CDrawObj& o) { return std::int64_t{o.m_logfont.lfHeight}; }}},
        {"font colour", &CharacterBatchOptions::sameForeColor, {at(0), at(156), at(160)}},
        {"background", &CharacterBatchOptions::sameBackColor, {at(4), at(8), at(172), at(176)}},
        {"height", &CharacterBatchOptions::sameHeight,
         {[](const CDrawObj& o) { return std::int64_t{o.m_rcPosition.normalized().height()}; }}},
        {"width", &CharacterBatchOptions::sameWidth,
         {[](const CDrawObj& o) { return std::int64_t{o.m_rcPosition.normalized().width()}; }}},
        {"maximum characters", &CharacterBatchOptions::sameMaxChars, {at(32)}},
    };
    const CDrawObj before = *second;
    for (const Option& chosen : options) {
        SCOPED_TRACE(chosen.name);
        second->m_Params = before.m_Params;
        second->m_logfont = before.m_logfont;
        second->m_rcPosition = before.m_rcPosition;
        CharacterBatchOptions o;
        o.*chosen.flag = 1;
        ApplyCharacterBatch(*app, *model, o);
        for (const Option& other : options)
            for (const Field& f : other.fields) {
                ASSERT_NE(f(*model), f(before)) << other.name;  // a copy shows
                EXPECT_EQ(f(*second), f(&other == &chosen ? *model : before)) << other.name;
            }
    }
}

// An address adjustment after the batch moves the string variables; undo then brings back
// copies that read their text where the variables are now.
TEST_F(CharacterBatchTest, UndoAfterTheBatchAndAnAdjustmentReadsTheMovedStrings)
{
    doc->SnapshotAndSetModified();
    const ControlVarRef string = ReadControlRef(*second, "string");
    ASSERT_GE(string.index, 0);
    CharacterBatchOptions o;
    o.sameWidth = 1;
    ApplyCharacterBatch(*app, *model, o);
    HmiVarTable& table = project->m_varTable;
    const std::int32_t moved = string.address + 400;
    table.address[static_cast<std::size_t>(string.index)] = std::to_string(moved);
    app->RebuildSimulation();  // what the adjustment ends with
    ASSERT_EQ(ReadControlRef(*second, "string").address, moved);

    // Undo and redo replace the objects with copies; the second control is the one at its left.
    const auto secondNow = [&] {
        const auto it = std::find_if(doc->m_objects.begin(), doc->m_objects.end(),
                                     [](const auto& obj) { return obj->m_rcPosition.left == kX0 + 100; });
        return it == doc->m_objects.end() ? nullptr : it->get();
    };
    ASSERT_TRUE(doc->Undo());
    ASSERT_NE(secondNow(), nullptr);
    EXPECT_EQ(secondNow()->m_rcPosition.normalized().width(), 20) << "the width before the batch";
    EXPECT_EQ(ReadControlRef(*secondNow(), "string").address, moved);
    ASSERT_TRUE(doc->Redo());
    ASSERT_NE(secondNow(), nullptr);
    EXPECT_EQ(ReadControlRef(*secondNow(), "string").address, moved);
}

TEST_F(CharacterBatchTest, NoOptionChangesNothing)
{
    const std::string before = storedBytes(*second);
    CharacterBatchOptions o;
    o.wholeProject = 1;
    ApplyCharacterBatch(*app, *model, o);
    EXPECT_EQ(storedBytes(*second), before);
    EXPECT_FALSE(doc->IsModified());
}

} // namespace
} // namespace qv::test
