// The sheets of the character control, curve, dynamic picture, progress bar and area
// control opened by a double click: their widgets reach the block at the kinds' offsets,
// bad input keeps the sheet open with nothing stored, the curve and frame lists are page
// copies, and the character batch dialog edits the selected controls.
#include "model/params/blocks/curve_block.h"
#include "app/drawing_tools/object_properties.h"
#include "model/params/object_var_refs.h"
#include "model/vars/hmi_var_table.h"
#include "platform/qt/qtext.h"
#include "props/curve_records.h"
#include "props/data_control_pages.h"
#include "props/ui/data_control_page_widgets.h"
#include "props/ui/recipe_dialogs.h"
#include "tests/props/ui/control_sheet_fixture.h"

#include <QPlainTextEdit>
#include <QTableWidget>

#include <algorithm>
#include <fstream>

namespace qv::test {
namespace {

class DataControlDialogTest : public ControlSheetDialogTest {};

struct DataKindCase {
    ShapeKind kind;
    std::vector<FieldRow> rows;
    const char* fontButton = nullptr;  // on the first page: the object's font and the colour at fontColorAt
    int fontColorAt = -1;
    const char8_t* text = nullptr;     // the first page's "initialText": the object's text
};

// Offsets written from the pages' block layouts.
const DataKindCase kDataKindCases[] = {
    {ShapeKind::Character,
     {{0, "backColor", Set::Color, 0x0A0B0C, 4, 4, 0x0A0B0C}, {0, "cursorColor", Set::Color, 0x0D0E0F, 88, 4, 0x0D0E0F},
      {0, "charSpacing", Set::Text, 3, 24, 4, 3}, {0, "lineSpacing", Set::Text, -2, 28, 4, static_cast<std::uint32_t>(-2)},
      {0, "cursorWidth", Set::Text, 255, 84, 4, 255}, {0, "maxChars", Set::Text, 30000, 32, 4, 30000},
      {0, "keyboardX", Set::Text, 10, 204, 4, 10}, {0, "keyboardY", Set::Text, 20, 208, 4, 20},
      {0, "backTransparent", Set::Check, 0, 8, 4, 1}, {0, "showCursor", Set::Check, 0, 80, 4, 1},
      {0, "mouseSensing", Set::Check, 0, 128, 4, 1}, {0, "allowDigits", Set::Check, 0, 100, 4, 1},
      {0, "allowEnglish", Set::Check, 0, 112, 4, 1}, {0, "allowChinese", Set::Check, 0, 120, 4, 1},
      {0, "allowPoint", Set::Check, 0, 104, 4, 1}, {0, "allowMinus", Set::Check, 0, 108, 4, 1},
      {0, "keyboardInput", Set::Check, 0, 132, 4, 1}, {0, "verticalCentre", Set::Check, 0, 224, 4, 1},
      {0, "passwordStyle", Set::Check, 0, 136, 4, 1}, {0, "doubleClickKeyboard", Set::Check, 0, 152, 4, 1},
      {1, "stringStart", Set::Combo, 3, 36, 4, 3}, {1, "password", Set::Combo, 2, 96, 1, 2},
      {1, "operateOnClick", Set::Check, 0, 216, 1, 1}, {1, "operatedVar", Set::Combo, 4, 212, 4, 4},
      {1, "clickValue", Set::Text, 255, 217, 1, 255}, {1, "convert", Set::Check, 0, 356, 4, 1},
      {1, "hex", Set::Check, 0, 360, 4, 1}, {1, "numberVar", Set::Combo, 5, 364, 4, 5},
      {1, "zeroFill", Set::Check, 0, 376, 4, 1}, {1, "minimum", Set::Text, -9, 380, 4, static_cast<std::uint32_t>(-9)},
      {1, "maximum", Set::Text, 99, 384, 4, 99}, {1, "letterCase", Set::Radio, 2, 388, 4, 2},
      {2, "fontColor", Set::Check, 0, 156, 4, 1}, {2, "backColor", Set::Check, 0, 172, 4, 1},
      {3, "hide", Set::Check, 0, 64, 4, 1}, {4, "move", Set::Check, 0, 48, 4, 1}, {5, "writeEnable", Set::Check, 0, 188, 4, 1}},
     "font", 0, u8"初始文字"},
    {ShapeKind::Curve,
     {{0, "backColor", Set::Color, 0x112233, 8, 4, 0x112233}, {0, "gridColor", Set::Color, 0x445566, 4, 4, 0x445566},
      {0, "gridWidth", Set::Text, 2, 12, 4, 2}, {0, "hGrid", Set::Text, 5, 24, 4, 5}, {0, "vGrid", Set::Text, 6, 28, 4, 6},
      {0, "maximum", Set::Text, 1000, 36, 4, 1000}, {0, "minimum", Set::Text, -20, 48, 4, static_cast<std::uint32_t>(-20)},
      {0, "decimals", Set::Text, 2, 40, 4, 2}, {0, "labelCount", Set::Text, 5, 44, 4, 5},
      {0, "bottomOffset", Set::Text, 7, 52, 4, 7}, {0, "leftOffset", Set::Text, 8, 56, 4, 8},
      {0, "backTransparent", Set::Check, 0, 16, 4, 1}, {0, "noGrid", Set::Check, 0, 20, 4, 1},
      {0, "noLabels", Set::Check, 0, 32, 4, 1}, {0, "stopOutOfRange", Set::Check, 0, 948, 1, 1},
      {0, "curveType", Set::Combo, 1, 880, 4, 1}, {0, "shift", Set::Combo, 1, 876, 4, 1},
      {0, "interval", Set::Text, 51, 884, 4, 100}, {1, "samples", Set::Text, 20, 76, 4, 20},
      {2, "hide", Set::Check, 0, 853, 1, 1}},
     "labelFont", 0},
    {ShapeKind::ProgressBar,
     {{0, "fillColor", Set::Color, 0x21, 8, 4, 0x21}, {0, "highlightColor", Set::Color, 0x22, 12, 4, 0x22},
      {0, "foreColor", Set::Color, 0x23, 20, 4, 0x23}, {0, "direction", Set::Combo, 3, 24, 1, 3},
      {0, "usePicture", Set::Check, 0, 0, 4, 1}, {0, "noBackground", Set::Check, 0, 4, 4, 1},
      {0, "inverted", Set::Check, 0, 72, 4, 1}, {1, "maximum", Set::Text, 500, 40, 4, 500},
      {1, "minimum", Set::Text, -100, 44, 4, static_cast<std::uint32_t>(-100)}, {2, "hide", Set::Check, 0, 49, 1, 1}}},
    {ShapeKind::DynamicPicture,
     {{0, "transparent", Set::Check, 0, 0, 4, 1}, {0, "transparentColor", Set::Color, 0x31, 4, 4, 0x31},
      {1, "playMode", Set::Radio, 1, 44, 1, 1}, {2, "move", Set::Check, 0, 76, 1, 1}, {3, "hide", Set::Check, 0, 77, 1, 1}}},
};

TEST_F(DataControlDialogTest, EveryPageWidgetReachesItsBlockOffset)
{
    for (const DataKindCase& c : kDataKindCases) {
        SCOPED_TRACE(c.kind);
        CDrawObj* obj = addObject({100, 100, 180, 150}, c.kind);
        for (const FieldRow& row : c.rows)
            blockWriteU(obj->m_Params, row.offset, row.width, row.how == Set::Uncheck ? 1 : 0);
        blockWriteU(obj->m_Params, 32, 4, c.kind == ShapeKind::Character ? 10 : 0);
        blockWriteU(obj->m_Params, 84, 4, c.kind == ShapeKind::Character ? 1 : blockReadU(obj->m_Params, 84, 4));
        const std::uint32_t fontColorBefore = c.fontColorAt >= 0 ? blockReadU(obj->m_Params, c.fontColorAt, 4) : 0;
        const LogFont fontBefore = obj->m_logfont;
        view->SelectShape(obj);
        openSheet(*obj, [&](CMyPropertySheet& sheet) {
            if (c.fontButton)
                find<QPushButton>(sheet, 0, c.fontButton)->click();
            if (c.text)
                find<QPlainTextEdit>(sheet, 0, "initialText")->setPlainText(u8q(c.text));
            for (const FieldRow& row : c.rows)
                clickRadios(sheet.tabs()->widget(row.tab), row);
            closeSheet(sheet, QDialogButtonBox::Ok);
        });
        for (const FieldRow& row : c.rows)
            EXPECT_EQ(blockReadU(obj->m_Params, row.offset, row.width), row.expected) << row.widget;
        if (c.fontButton) {
            EXPECT_EQ(std::abs(obj->m_logfont.lfHeight), kScriptedFontPixels);
            EXPECT_GE(obj->m_logfont.lfWeight, 600);
            // The scripted colour dialog turns the colour it is given.
            EXPECT_EQ(blockReadU(obj->m_Params, c.fontColorAt, 4), fontColorBefore ^ 0x00102030u);
        } else {
            EXPECT_EQ(obj->m_logfont.lfHeight, fontBefore.lfHeight);
        }
        if (c.text) {
            EXPECT_EQ(obj->m_strName, fromQString(u8q(c.text)).value_or("?"));
        }
        clearObjects();
    }
}

struct DataBadInput {
    const char* what;
    ShapeKind kind;
    int tab;
    const char* widget;
    const char* text;
    const char8_t* message;
    bool appPrompt = false;
};

TEST_F(DataControlDialogTest, PagesShowWhatTheirChoicesAllow)
{
    CDrawObj* text = addObject({100, 100, 180, 150}, ShapeKind::Character);
    view->SelectShape(text);
    openSheet(*text, [&](CMyPropertySheet& sheet) {
        QWidget* shape = sheet.tabs()->widget(0);
        QWidget* control = sheet.tabs()->widget(1);
        auto check = [](QWidget* page, const char* name) { return page->findChild<QCheckBox*>(QString::fromLatin1(name)); };
        check(control, "convert")->setChecked(false);
        check(control, "hex")->setChecked(true);
        EXPECT_FALSE(check(control, "zeroFill")->isVisibleTo(control));
        check(control, "convert")->setChecked(true);
        EXPECT_TRUE(check(control, "zeroFill")->isVisibleTo(control));
        check(control, "operateOnClick")->setChecked(false);
        EXPECT_FALSE(control->findChild<QLineEdit*>(QStringLiteral("clickValue"))->isVisibleTo(control));
        check(shape, "clickKeyboard")->setChecked(true);
        check(shape, "doubleClickKeyboard")->setChecked(true);
        EXPECT_FALSE(check(shape, "clickKeyboard")->isChecked());
        check(shape, "hashPassword")->setChecked(true);
        check(shape, "passwordStyle")->setChecked(false);
        check(shape, "passwordStyle")->setChecked(true);
        EXPECT_FALSE(check(shape, "hashPassword")->isChecked());
        press(sheet, QDialogButtonBox::Cancel);
    });
    CDrawObj* curve = addObject({200, 100, 280, 150}, ShapeKind::Curve);
    view->SelectShape(curve);
    openSheet(*curve, [&](CMyPropertySheet& sheet) {
        QWidget* shape = sheet.tabs()->widget(0);
        auto* type = shape->findChild<QComboBox*>(QStringLiteral("curveType"));
        auto* interval = shape->findChild<QLineEdit*>(QStringLiteral("interval"));
        type->setCurrentIndex(0);
        EXPECT_FALSE(interval->isVisibleTo(shape));
        type->setCurrentIndex(1);
        EXPECT_TRUE(interval->isVisibleTo(shape));
        press(sheet, QDialogButtonBox::Cancel);
    });
}

TEST_F(DataControlDialogTest, BadInputKeepsTheSheetOpenAndStoresNothing)
{
    const DataBadInput cases[] = {
        {"curve minimum abc", ShapeKind::Curve, 0, "minimum", "abc", u8"请键入一个整数。"},
        {"progress minimum abc", ShapeKind::ProgressBar, 1, "minimum", "abc", u8"请键入一个整数。"},
        {"1 sample", ShapeKind::Curve, 1, "samples", "1", u8"请填入一个在2和65536之间的整数。"},
        {"1 label", ShapeKind::Curve, 0, "labelCount", "1", u8"“标注个数”不能小于2", true},
        {"maximum equal to minimum", ShapeKind::Curve, 0, "maximum", "0", u8"“最大值”不能等于“最小值”", true},
        {"interval 10001", ShapeKind::Curve, 0, "interval", "10001", u8"请填入一个在0和10000之间的整数。"},
        {"click value 256", ShapeKind::Character, 1, "clickValue", "256", u8"请填入一个在0和255之间的整数。"},
        {"cursor width 0", ShapeKind::Character, 0, "cursorWidth", "0", u8"请填入一个在1和255之间的整数。"},
        {"1 character", ShapeKind::Character, 0, "maxChars", "1", u8"请填入一个在2和30000之间的整数。"},
        {"30001 characters", ShapeKind::Character, 0, "maxChars", "30001", u8"请填入一个在2和30000之间的整数。"},
    };
    for (const DataBadInput& c : cases) {
        SCOPED_TRACE(c.what);
        CDrawObj* obj = addObject({100, 100, 180, 150}, c.kind);
        if (c.kind == ShapeKind::Curve) {
            blockWriteU(obj->m_Params, 76, 4, 10);   // samples
            blockWriteU(obj->m_Params, 44, 4, 5);    // labels
            blockWriteU(obj->m_Params, 36, 4, 100);  // maximum over minimum 0
            blockWriteU(obj->m_Params, 48, 4, 0);
            blockWriteU(obj->m_Params, 32, 4, 0);    // labels shown
        }
        // The curve's painter stores its plot area in the block (the compiler reads it), so
        // the object is painted once before its bytes are taken: what a sheet leaves is
        // compared with what the view already showed, not with a block never drawn.
        port()->repaint();
        const std::string before = bytesOf(*obj);
        const ParamBlock beforeBlock = obj->m_Params;
        pageMessages.clear();
        prompts.messages.clear();
        view->SelectShape(obj);
        bool stayedOpen = false;
        openSheet(*obj, [&](CMyPropertySheet& sheet) {
            auto* edit = sheet.tabs()->widget(c.tab)->findChild<QLineEdit*>(QString::fromLatin1(c.widget));
            ASSERT_NE(edit, nullptr);
            edit->setText(QString::fromLatin1(c.text));
            press(sheet, QDialogButtonBox::Ok);
            stayedOpen = sheet.isVisible();
            press(sheet, QDialogButtonBox::Cancel);
        });
        EXPECT_TRUE(stayedOpen);
        if (c.appPrompt) {
            ASSERT_EQ(prompts.messages.size(), 1u);
            EXPECT_EQ(toQString(prompts.messages[0]), u8q(c.message));
        } else {
            EXPECT_EQ(pageMessages, QStringList{u8q(c.message)});
        }
        // What the refused pages hold never reaches the object.
        for (std::size_t i = 0; i < beforeBlock.size(); ++i)
            EXPECT_EQ(obj->m_Params[i], beforeBlock[i]) << "block byte " << i;
        EXPECT_EQ(bytesOf(*obj), before);
        clearObjects();
    }
}

TEST_F(DataControlDialogTest, CurveListIsAPageCopyUntilOk)
{
    project->m_varTable.AppendRow("100", "unsigned int", "curveVar", "0", "");
    const int var = static_cast<int>(project->m_varTable.size()) - 1;
    CDrawObj* curve = addObject({100, 100, 180, 150}, ShapeKind::Curve);
    blockWriteU(curve->m_Params, 76, 4, 10);
    blockWriteU(curve->m_Params, 44, 4, 5);
    blockWriteU(curve->m_Params, 36, 4, 100);
    blockWriteU(curve->m_Params, 48, 4, 0);
    blockWriteI32(curve->m_Params, blocks::curve::kCurveCount.offset, 0);
    dialogScript = [var](QDialog& d) {
        auto* prop = dynamic_cast<CDlgCurveProp*>(&d);
        if (!prop)
            return false;
        prop->variable()->setCurrentIndex(var);
        prop->style()->setCurrentIndex(2);
        prop->lineWidth()->setText(QStringLiteral("3"));
        return true;
    };
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        refreshVarRefs(ShapeKind::Curve, curve->m_Params, resolverFor(&project->m_varTable));
        const auto before = curve->m_Params;
        view->SelectShape(curve);
        openSheet(*curve, [&](CMyPropertySheet& sheet) {
            QWidget* page = sheet.tabs()->widget(1);
            auto* list = page->findChild<QTableWidget*>(QStringLiteral("curves"));
            for (int i = 0; i < 3; ++i)
                QTest::mouseClick(page->findChild<QPushButton*>(QStringLiteral("add")), Qt::LeftButton);
            ASSERT_EQ(list->rowCount(), 3);
            EXPECT_EQ(list->item(0, 3)->text(), QStringLiteral("140"));  // "末地址"
            list->selectRow(1);
            QTest::mouseClick(page->findChild<QPushButton*>(QStringLiteral("delete")), Qt::LeftButton);
            EXPECT_EQ(list->rowCount(), 2);
            EXPECT_EQ(list->item(1, 0)->text(), QStringLiteral("1"));
            press(sheet, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
        });
        if (!ok) {
            // The count and the records the page copied are as they were.
            EXPECT_TRUE(std::equal(curve->m_Params.begin() + blocks::curve::kCurveCount.offset,
                                   curve->m_Params.begin() + blocks::curve::kRecordBase + blocks::curve::kRecordSize * kMaxCurves,
                                   before.begin() + blocks::curve::kCurveCount.offset));
        } else {
            EXPECT_EQ(blockReadI32(curve->m_Params, blocks::curve::kCurveCount.offset), 2);
            const CurveRecord r = ReadCurveRecord(curve->m_Params, 1);
            EXPECT_EQ(r.varIndex, var);
            EXPECT_EQ(r.style, 2);
            EXPECT_EQ(r.lineWidth, 3);
        }
    }
}

TEST_F(DataControlDialogTest, OkWithoutChangesAndCancelAfterEditsKeepTheObject)
{
    namespace fs = std::filesystem;
    const fs::path pictures = app->m_strProjectDir / "UserPicture";
    fs::create_directories(pictures);
    fs::create_directories(dir.path() / "outside");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(QString::fromStdU16String((pictures / "a.bmp").u16string()), "BMP"));
    ASSERT_TRUE(image.save(QString::fromStdU16String((dir.path() / "outside" / "new.bmp").u16string()), "BMP"));
    chosenFile = QString::fromStdU16String((dir.path() / "outside" / "new.bmp").u16string());
    dialogScript = [](QDialog& d) {
        auto* prop = dynamic_cast<CDlgCurveProp*>(&d);
        if (prop) {
            prop->variable()->setCurrentIndex(0);
            prop->lineWidth()->setText(QStringLiteral("4"));
        }
        return prop != nullptr;
    };
    const auto clickIn = [](CMyPropertySheet& sheet, int tab, const char* button) {
        auto* b = sheet.tabs()->widget(tab)->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    };
    struct Case {
        ShapeKind kind;
        std::function<void(CMyPropertySheet&)> edit;  // before Cancel, after the checks are turned
    };
    const Case cases[] = {
        {ShapeKind::Character, [](CMyPropertySheet&) {}},
        {ShapeKind::Curve,
         [&](CMyPropertySheet& sheet) {
             clickIn(sheet, 1, "add");
             clickIn(sheet, 1, "add");
             sheet.tabs()->widget(1)->findChild<QTableWidget*>(QStringLiteral("curves"))->selectRow(0);
             clickIn(sheet, 1, "modify");
             clickIn(sheet, 1, "delete");
         }},
        {ShapeKind::DynamicPicture,
         [&](CMyPropertySheet& sheet) {
             clickIn(sheet, 0, "add");
             sheet.tabs()->widget(0)->findChild<QTableWidget*>(QStringLiteral("frames"))->selectRow(0);
             clickIn(sheet, 0, "delete");
         }},
        {ShapeKind::ProgressBar,
         [](CMyPropertySheet& sheet) {
             QTest::mouseClick(sheet.tabs()->widget(0)->findChild<QWidget*>(QStringLiteral("picture"))->findChild<QPushButton*>(),
                               Qt::LeftButton);
         }},
        {ShapeKind::AreaControl,
         [](CMyPropertySheet& sheet) {
             sheet.tabs()->widget(0)->findChild<QRadioButton*>(QStringLiteral("behaviour3"))->click();
         }},
    };
    for (const Case& c : cases) {
        for (bool ok : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.kind << (ok ? " OK" : " Cancel"));
            CDrawObj* obj = addObject({100, 100, 220, 160}, c.kind);
            if (c.kind == ShapeKind::DynamicPicture || c.kind == ShapeKind::ProgressBar)
                obj->m_strFiles = {"\\UserPicture\\a.bmp"};
            refreshVarRefs(c.kind, obj->m_Params, resolverFor(&project->m_varTable));
            port()->repaint();  // the curve's painter keeps its plot area in the block
            const std::string before = bytesOf(*obj);
            doc->SetModifiedFlag(false);
            project->SetModifiedFlag(false);
            const std::string projectFile = projectFileBytes();
            view->SelectShape(obj);
            openSheet(*obj, [&](CMyPropertySheet& sheet) {
                if (!ok) {
                    toggleEveryCheck(sheet);
                    c.edit(sheet);
                }
                closeSheet(sheet, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
            });
            port()->repaint();
            EXPECT_EQ(bytesOf(*obj), before);
            EXPECT_EQ(projectFileBytes(), projectFile);
            EXPECT_FALSE(project->IsModified());
            if (!ok) {
                EXPECT_FALSE(doc->IsModified());
            }
            EXPECT_FALSE(fs::exists(pictures / "new.bmp"));
            clearObjects();
        }
    }
}

TEST_F(DataControlDialogTest, FullCurveListRefusesTheSixtyFifth)
{
    CDrawObj* curve = addObject({100, 100, 180, 150}, ShapeKind::Curve);
    blockWriteI32(curve->m_Params, blocks::curve::kCurveCount.offset, kMaxCurves);
    dialogScript = [](QDialog& d) { return dynamic_cast<CDlgCurveProp*>(&d) != nullptr; };
    view->SelectShape(curve);
    openSheet(*curve, [&](CMyPropertySheet& sheet) {
        QWidget* page = sheet.tabs()->widget(1);
        QTest::mouseClick(page->findChild<QPushButton*>(QStringLiteral("add")), Qt::LeftButton);
        EXPECT_EQ(page->findChild<QTableWidget*>(QStringLiteral("curves"))->rowCount(), kMaxCurves);
        press(sheet, QDialogButtonBox::Cancel);
    });
    EXPECT_EQ(pageMessages, QStringList{u8q(u8"最多支持64条曲线!!!")});
}

TEST_F(DataControlDialogTest, FramesAndLocationFollowTheOpenSheet)
{
    CDrawObj* pic = addObject({100, 100, 180, 150}, ShapeKind::DynamicPicture);
    pic->m_strFiles = {"\\UserPicture\\absent.bmp"};
    blockWriteU(pic->m_Params, 44, 1, 0);   // on condition
    blockWriteU(pic->m_Params, 200, 4, 0);  // system area
    blockWriteU(pic->m_Params, 204, 4, 0);  // by index
    const std::string before = bytesOf(*pic);
    chosenFile = QString::fromStdU16String((dir.path() / "nowhere" / "gone.bmp").u16string());
    view->SelectShape(pic);
    openSheet(*pic, [&](CMyPropertySheet& sheet) {
        QWidget* frames = sheet.tabs()->widget(0);
        auto* list = frames->findChild<QTableWidget*>(QStringLiteral("frames"));
        QTest::mouseClick(frames->findChild<QPushButton*>(QStringLiteral("add")), Qt::LeftButton);
        EXPECT_EQ(list->rowCount(), 2);
        // A new frame that cannot be copied keeps the sheet open.
        press(sheet, QDialogButtonBox::Ok);
        EXPECT_TRUE(sheet.isVisible());
        // The user area: the frame page hides its frame definition.
        QWidget* control = sheet.tabs()->widget(1);
        auto* location = control->findChild<QGroupBox*>(QStringLiteral("location"));
        location->findChildren<QRadioButton*>()[1]->click();
        EXPECT_EQ(control->findChild<AddressGroupWidget*>(QStringLiteral("read"))->title(), u8q(u8" 读取地址（图片序号）"));
        sheet.tabs()->setCurrentIndex(1);
        sheet.tabs()->setCurrentIndex(0);
        EXPECT_FALSE(frames->findChild<QGroupBox*>(QStringLiteral("definition"))->isVisible());
        press(sheet, QDialogButtonBox::Cancel);
    });
    EXPECT_EQ(bytesOf(*pic), before);
}

TEST_F(DataControlDialogTest, BatchAddTakesThePicturesOfTheChosenFilesFolder)
{
    namespace fs = std::filesystem;
    const fs::path folder = dir.path() / "batch";
    fs::create_directories(folder);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    for (const char* name : {"a.bmp", "b.bmp"})
        ASSERT_TRUE(image.save(QString::fromStdU16String((folder / name).u16string()), "BMP"));
    std::ofstream(folder / "notes.txt") << "not a picture";
    CDrawObj* pic = addObject({100, 100, 180, 150}, ShapeKind::DynamicPicture);
    pic->m_strFiles.clear();
    chosenFile = QString::fromStdU16String((folder / "b.bmp").u16string());
    view->SelectShape(pic);
    openSheet(*pic, [&](CMyPropertySheet& sheet) {
        QWidget* frames = sheet.tabs()->widget(0);
        QTest::mouseClick(frames->findChild<QPushButton*>(QStringLiteral("batchAdd")), Qt::LeftButton);
        EXPECT_EQ(frames->findChild<QTableWidget*>(QStringLiteral("frames"))->rowCount(), 2);
        closeSheet(sheet, QDialogButtonBox::Ok);
    });
    std::vector<std::string> stored = pic->m_strFiles;
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::string>{"\\UserPicture\\a.bmp", "\\UserPicture\\b.bmp"}));
    for (const char* name : {"a.bmp", "b.bmp"})
        EXPECT_TRUE(fs::exists(app->m_strProjectDir / "UserPicture" / name)) << name;
}

TEST_F(DataControlDialogTest, AreaPageFollowsItsOwnWindow)
{
    ASSERT_TRUE(project->AddSubWindowName("menu.dlg"));
    ASSERT_TRUE(project->AddSubWindowName(fromQString(u8q(u8"系统键盘.dlg")).value_or("?")));
    CDrawObj* area = addObject({100, 100, 180, 150}, ShapeKind::AreaControl);
    view->SelectShape(area);
    openSheet(*area, [&](CMyPropertySheet& sheet) {
        QWidget* page = sheet.tabs()->widget(0);
        EXPECT_FALSE(page->findChild<QRadioButton*>(QStringLiteral("behaviour2"))->isEnabled());  // a screen
        EXPECT_TRUE(page->findChild<QRadioButton*>(QStringLiteral("behaviour1"))->isEnabled());
        EXPECT_TRUE(page->findChild<QRadioButton*>(QStringLiteral("behaviour4"))->isHidden());
        page->findChild<QRadioButton*>(QStringLiteral("behaviour3"))->click();
        press(sheet, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(area->m_Params[0], 3);
    // "右键菜单" runs a sub-window of the project, the system ones left out; it becomes the
    // object's text.
    openSheet(*area, [&](CMyPropertySheet& sheet) {
        QWidget* page = sheet.tabs()->widget(0);
        page->findChild<QRadioButton*>(QStringLiteral("behaviour1"))->click();
        auto* subWindow = page->findChild<QComboBox*>(QStringLiteral("subWindow"));
        EXPECT_TRUE(subWindow->isVisibleTo(page));
        ASSERT_EQ(subWindow->count(), 1);
        subWindow->setCurrentIndex(0);
        press(sheet, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(area->m_Params[0], 1);
    EXPECT_EQ(area->m_strName, "menu.dlg");
}

TEST_F(DataControlDialogTest, BatchDialogEditsTheSelectedCharacterControls)
{
    CDrawObj* model = addObject({100, 100, 160, 130}, ShapeKind::Character);
    CDrawObj* other = addObject({200, 200, 220, 210}, ShapeKind::Character);
    blockWriteU(model->m_Params, 32, 4, 77);
    view->SelectShape(model);
    view->SelectShape(other, true);
    bool shown = false;
    dialogScript = [&](QDialog& d) {
        auto* batch = dynamic_cast<CDlgZiFuBatch*>(&d);
        if (!batch)
            return false;
        shown = true;
        batch->option(5)->setChecked(true);  // the same maximum character count
        batch->option(3)->setChecked(true);  // the same width
        return true;
    };
    EditObjectProperties(*view, *model, 2);
    EXPECT_TRUE(shown);
    EXPECT_EQ(blockReadU(other->m_Params, 32, 4), 77u);
    EXPECT_EQ(other->m_rcPosition.normalized().width(), 60);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(DataControlDialogTest, RecipeDialogsChangeNothing)
{
    int opened = 0;
    dialogScript = [&](QDialog& d) {
        ++opened;
        if (auto* mgr = dynamic_cast<CDlgPeiFangMgr*>(&d)) {
            EXPECT_EQ(mgr->windowTitle(), u8q(u8"配方管理"));
            QTest::mouseClick(mgr->findChild<QPushButton*>(QStringLiteral("add")), Qt::LeftButton);
        } else {
            EXPECT_EQ(d.windowTitle(), u8q(u8"配方参数"));
        }
        return true;
    };
    doc->SetModifiedFlag(false);
    project->SetModifiedFlag(false);
    RunRecipeManager(view.get());
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(project->IsModified());
}

} // namespace
} // namespace qv::test
