// The controls' sheets opened by a double click in the editing view: the pages' widgets
// reach the block at the offsets of each kind's layout, OK without changes and Cancel leave
// everything as it was, bad input keeps the sheet open with nothing stored, and a PLC link
// creates its hidden variable once.
#include "app/drawing_tools/edit_tool.h"
#include "app/drawing_tools/tool_shapes.h"
#include "compiler/headers/var_header_files.h"
#include "model/app/header_writers.h"
#include "model/params/block_bytes.h"
#include "model/vars/hmi_var_table.h"
#include "model/params/object_var_refs.h"
#include "model/vars/hmi_vars.h"
#include "platform/archive/archive.h"
#include "platform/qt/qtext.h"
#include "props/control_pages.h"
#include "props/ui/address_group_widget.h"
#include "props/ui/control_page_widgets.h"
#include "props/ui/page_seams.h"
#include "tests/props/ui/control_sheet_fixture.h"
#include "config/adjust/var_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include <cstdlib>
#include <fstream>
#include <variant>

namespace qv::test {
namespace {

// A text field of a page and where it lands: the object's name (entry -1) or an entry of
// its string list.
struct TextRow {
    int tab;
    const char* widget;
    const char8_t* text;
    int entry;
};

struct KindCase {
    ShapeKind kind;
    std::vector<FieldRow> rows;
    std::vector<TextRow> texts = {};
    int fontTab = -1;                 // the page whose "font" button changes the object's font
    // The variable references' cached address and type code (offsets), which OK refreshes
    // from their indices.
    std::vector<std::pair<int, int>> references = {};
    // Width codes the common groups whose use the rows turn on write back with them.
    std::vector<std::pair<int, std::uint32_t>> groupWidths = {};
    int fontColorAt = -1;  // the colour the font dialog picks too
};

// Offsets written from the pages' block layouts.
const KindCase kKindCases[] = {
    {ShapeKind::BitSwitch,
     {{0, "transparentOn", Set::Check, 0, 0, 4, 1}, {0, "transparentOff", Set::Check, 0, 4, 4, 1},
      {0, "transparentColorOn", Set::Color, 0x010203, 8, 4, 0x010203},
      {0, "transparentColorOff", Set::Color, 0x040506, 12, 4, 0x040506},
      {0, "textColorOn", Set::Color, 0x070809, 68, 4, 0x070809}, {0, "textColorOff", Set::Color, 0x0A0B0C, 72, 4, 0x0A0B0C},
      {1, "function", Set::Radio, 3, 26, 1, 3}, {1, "password", Set::Combo, 2, 27, 1, 2},
      {1, "differentWrite", Set::Check, 0, 96, 4, 1},
      {2, "hide", Set::Check, 0, 30, 1, 1}, {3, "writeEnable", Set::Check, 0, 52, 4, 1}},
     {{0, "textOn", u8"开", 2}, {0, "textOff", u8"关", 3}},
     0,
     {{60, 64}, {48, 41}, {20, 24}, {124, 128}},
     {{156, 1}, {184, 1}}},
    {ShapeKind::Indicator,
     {{0, "transparentOn", Set::Check, 0, 0, 4, 1}, {0, "transparentColorOff", Set::Color, 0x040506, 12, 4, 0x040506},
      {0, "textColorOn", Set::Color, 0x070809, 48, 4, 0x070809}, {0, "textColorOff", Set::Color, 0x0A0B0C, 52, 4, 0x0A0B0C},
      {2, "hide", Set::Check, 0, 27, 1, 1}},
     {{0, "textOn", u8"亮", 2}, {0, "textOff", u8"灭", 3}},
     0,
     {{44, 37}, {20, 24}},
     {{96, 1}}},
    {ShapeKind::RadioButton,
     {{0, "mode", Set::Combo, 1, 60, 4, 1}, {0, "transparentOn", Set::Uncheck, 0, 24, 4, 0},
      {0, "transparentColorOn", Set::Color, 0x112233, 32, 4, 0x112233},
      {0, "transparentColorOff", Set::Color, 0x445566, 36, 4, 0x445566},
      {1, "value", Set::Text, -7, 4, 4, static_cast<std::uint32_t>(-7)}, {1, "password", Set::Combo, 3, 13, 1, 3},
      {1, "differentWrite", Set::Check, 0, 100, 4, 1}, {2, "hide", Set::Check, 0, 15, 1, 1},
      {3, "writeEnable", Set::Check, 0, 64, 4, 1}},
     {},
     -1,
     {{72, 76}, {56, 49}, {8, 12}, {128, 132}},
     {{156, 1}, {184, 1}}},
    {ShapeKind::Button,
     {{0, "borderTypeNormal", Set::Combo, 1, 94, 1, 1}, {0, "borderTypeOver", Set::Combo, 1, 92, 1, 1},
      {0, "borderTypePressed", Set::Combo, 1, 93, 1, 1}, {0, "borderWidthNormal", Set::Text, 5, 76, 4, 5},
      {0, "borderWidthOver", Set::Text, 6, 72, 4, 6}, {0, "borderWidthPressed", Set::Text, 7, 68, 4, 7},
      {0, "borderColorNormal", Set::Color, 0x10, 88, 4, 0x10}, {0, "fillColorOver", Set::Color, 0x20, 44, 4, 0x20},
      {0, "highlightColorPressed", Set::Color, 0x30, 52, 4, 0x30}, {0, "usePictureOver", Set::Check, 0, 8, 4, 1},
      {0, "transparentPressed", Set::Check, 0, 24, 4, 1}, {0, "transparentColorNormal", Set::Color, 0x40, 36, 4, 0x40},
      {0, "noFillOver", Set::Check, 0, 204, 4, 1}, {0, "noBorderPressed", Set::Check, 0, 196, 4, 1},
      {1, "password", Set::Combo, 1, 123, 1, 1}, {1, "operation", Set::Combo, 2, 127, 1, 2},
      {1, "doubleClick", Set::Check, 0, 122, 1, 1}, {1, "handCursor", Set::Check, 0, 124, 1, 1},
      {1, "press", Set::Check, 0, 132, 4, 1}, {1, "pressValue", Set::Text, 200, 136, 1, 200},
      {1, "release", Set::Check, 0, 140, 4, 1}, {1, "releaseValue", Set::Text, 201, 144, 1, 201},
      {1, "enter", Set::Check, 0, 148, 4, 1}, {1, "enterValue", Set::Text, 202, 152, 1, 202},
      {1, "leave", Set::Check, 0, 156, 4, 1}, {1, "leaveValue", Set::Text, 255, 160, 1, 255},
      {2, "hide", Set::Check, 0, 126, 1, 1}, {3, "writeEnable", Set::Check, 0, 212, 4, 1}},
     {{0, "text", u8"启动", -1}},
     0,
     {{220, 224}, {184, 177}, {164, 161}},
     {{268, 1}, {296, 1}},
     0},
    {ShapeKind::RealTimeNumber,
     {{0, "borderColor", Set::Color, 0x102030, 44, 4, 0x102030}, {0, "backColor", Set::Color, 0x405060, 56, 4, 0x405060},
      {0, "borderType", Set::Combo, 1, 48, 1, 1}, {0, "borderWidth", Set::Text, 3, 40, 4, 3},
      {0, "backTransparent", Set::Check, 0, 52, 4, 1}, {0, "alignment", Set::Radio, 2, 60, 4, 2},
      {0, "leadingFill", Set::Radio, 1, 64, 4, 1}, {0, "digits", Set::Text, 8, 68, 4, 8},
      {0, "decimals", Set::Text, 3, 72, 4, 3}, {0, "writeAllowed", Set::Check, 0, 36, 1, 1},
      {0, "plusSign", Set::Check, 0, 37, 1, 1}, {0, "rotated", Set::Check, 0, 105, 1, 1},
      {0, "pictureFont", Set::Check, 0, 136, 4, 1}, {0, "keyboardX", Set::Text, 300, 192, 4, 300},
      {0, "keyboardY", Set::Text, 400, 196, 4, 400}, {0, "toFloat", Set::Check, 0, 396, 4, 1},
      {0, "byteOrder", Set::Combo, 5, 392, 4, 5}, {0, "limit", Set::Check, 0, 400, 4, 0},
      {0, "minimum", Set::Text, -20, 200, 4, static_cast<std::uint32_t>(-20)}, {0, "maximum", Set::Text, 900, 204, 4, 900},
      {1, "password", Set::Combo, 2, 104, 1, 2}, {1, "differentWrite", Set::Check, 0, 228, 4, 1},
      {2, "fontColor", Set::Check, 0, 144, 4, 1}, {2, "backColor", Set::Check, 0, 160, 4, 1},
      {3, "hide", Set::Check, 0, 107, 1, 1}, {4, "move", Set::Check, 0, 106, 1, 1},
      {5, "writeEnable", Set::Check, 0, 176, 4, 1}},
     {},
     0,
     {{184, 188}, {124, 117}, {152, 156}, {168, 172}, {120, 116}, {80, 76}, {256, 260}},
     {{284, 2}, {308, 2}, {332, 2}, {356, 1}, {384, 1}},
     32},
};

TEST_F(ControlSheetDialogTest, EveryPageWidgetReachesItsBlockOffset)
{
    for (const KindCase& c : kKindCases) {
        SCOPED_TRACE(c.kind);
        CDrawObj* obj = addObject({100, 100, 180, 150}, c.kind);
        // Two pictures, and the state texts for the kinds that show them; the radio's
        // defaults are their own test.
        obj->m_strFiles.assign(c.texts.empty() ? 2 : 4, std::string());
        const std::vector<std::string> filesBefore = obj->m_strFiles;
        const LogFont fontBefore = obj->m_logfont;
        // Use flags and the fields the rows set start from values they change.
        for (const FieldRow& row : c.rows)
            blockWriteU(obj->m_Params, row.offset, row.width, row.how == Set::Uncheck ? 1 : 0);
        blockWriteI32(obj->m_Params, 400, 1);  // no limit: "限值" clear
        auto before = obj->m_Params;
        doc->TakeUndoSnapshot();
        view->SelectShape(obj);
        openSheet(*obj, [&](CMyPropertySheet& sheet) {
            // The font first: the number's picture font row disables its button.
            if (c.fontTab >= 0)
                find<QPushButton>(sheet, c.fontTab, "font")->click();
            for (const FieldRow& row : c.rows)
                apply(sheet.tabs()->widget(row.tab), row);
            for (const TextRow& t : c.texts)
                find<QLineEdit>(sheet, t.tab, t.widget)->setText(u8q(t.text));
            press(sheet, QDialogButtonBox::Ok);
        });
        EXPECT_TRUE(pageMessages.isEmpty()) << pageMessages.join(u'|').toStdString();
        // Every other byte stays: the rows' fields and the refreshed references aside.
        auto expected = before;
        for (const FieldRow& row : c.rows)
            blockWriteU(expected, row.offset, row.width, row.expected);
        for (const auto& [offset, width] : c.groupWidths)
            blockWriteU(expected, offset, 4, width);
        if (c.fontColorAt >= 0)  // the scripted colour dialog turns the colour it is given
            blockWriteU(expected, c.fontColorAt, 4, blockReadU(before, c.fontColorAt, 4) ^ 0x00102030u);
        for (const auto& [address, type] : c.references) {
            blockWriteI32(expected, address, blockReadI32(obj->m_Params, address));
            expected[static_cast<std::size_t>(type)] = obj->m_Params[static_cast<std::size_t>(type)];
        }
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(obj->m_Params[i], expected[i]) << "byte " << i;
        std::vector<std::string> files = filesBefore;
        std::string name;
        for (const TextRow& t : c.texts)
            (t.entry < 0 ? name : files[static_cast<std::size_t>(t.entry)]) = fromQString(u8q(t.text)).value_or("?");
        EXPECT_EQ(obj->m_strFiles, files);
        if (!name.empty()) {
            EXPECT_EQ(obj->m_strName, name);
        }
        if (c.fontTab >= 0) {
            EXPECT_EQ(std::abs(obj->m_logfont.lfHeight), kScriptedFontPixels);
            EXPECT_GE(obj->m_logfont.lfWeight, 600);
        } else {
            EXPECT_EQ(obj->m_logfont.lfHeight, fontBefore.lfHeight);
        }
        EXPECT_TRUE(doc->IsModified());
        ASSERT_TRUE(doc->Undo());
        EXPECT_EQ(doc->m_objects.back()->m_Params, before);
        clearObjects();
        doc->TakeUndoSnapshot();
    }
}

TEST_F(ControlSheetDialogTest, OkWithoutChangesAndCancelLeaveOddBlocksAsTheyWere)
{
    project->SetSettingI32(settings::kProtocol1, 5);
    for (ShapeKind kind : {ShapeKind::Button, ShapeKind::RealTimeNumber, ShapeKind::Indicator, ShapeKind::BitSwitch, ShapeKind::RadioButton}) {
        for (bool ok : {true, false}) {
            SCOPED_TRACE(testing::Message() << kind << (ok ? " OK" : " Cancel"));
            CDrawObj* obj = addObject({100, 100, 180, 150}, kind);
            for (std::size_t i = 0; i < obj->m_Params.size(); ++i)
                obj->m_Params[i] = static_cast<std::uint8_t>(i * 29 + KindCode(kind));
            // A flag of 7, an index past the table, a target past the list, a stored
            // element type past its family's list.
            obj->m_Params[30] = 7;
            blockWriteI32(obj->m_Params, 16, -1);
            blockWriteI32(obj->m_Params, 76, 1);
            blockWriteI32(obj->m_Params, 80, 9);
            obj->m_strFiles.clear();  // the radio's empty list too
            if (kind == ShapeKind::RealTimeNumber) {  // digits and decimals the check accepts
                blockWriteI32(obj->m_Params, 68, 6);
                blockWriteI32(obj->m_Params, 72, 2);
            }
            // The references' cached addresses as a stored project holds them: OK follows
            // them from their indices.
            refreshVarRefs(kind, obj->m_Params, resolverFor(&project->m_varTable));
            const std::string before = bytesOf(*obj);
            const HmiVarTable table = project->m_varTable;
            doc->SetModifiedFlag(false);
            project->SetModifiedFlag(false);
            const std::string projectFile = projectFileBytes();
            ASSERT_FALSE(projectFile.empty());
            view->SelectShape(obj);
            openSheet(*obj, [&](CMyPropertySheet& sheet) {
                if (!ok) {
                    // Change something on every page first, and a PLC link whose hidden
                    // variable OK would create.
                    toggleEveryCheck(sheet);
                    linkHideToPlc(sheet, kind);
                }
                closeSheet(sheet, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
            });
            if (ok && kind == ShapeKind::RadioButton) {
                // OK stores the default pictures (when the base folder has them); the block
                // is left alone while it has none.
                EXPECT_TRUE(obj->m_strFiles.empty());
            }
            EXPECT_EQ(bytesOf(*obj), before);
            EXPECT_EQ(project->m_varTable.name, table.name);
            EXPECT_EQ(project->m_varTable.address, table.address);
            EXPECT_EQ(projectFileBytes(), projectFile);
            EXPECT_FALSE(project->IsModified());
            if (!ok) {
                EXPECT_FALSE(doc->IsModified());
            }
            clearObjects();
        }
    }
}

struct BadInput {
    const char* what;
    ShapeKind kind;
    std::function<void(CMyPropertySheet&)> act;
    const char8_t* message;  // on the page, or through the application's prompts; none: accepted
    bool appPrompt = false;
    std::vector<std::string> files = {};  // the object's string list, when the case needs one
};

TEST_F(ControlSheetDialogTest, BadInputKeepsTheSheetOpenAndStoresNothing)
{
    project->SetSettingI32(settings::kProtocol1, 5);
    auto group = [](CMyPropertySheet& s, int tab, const char* name) {
        return s.tabs()->widget(tab)->findChild<AddressGroupWidget*>(QString::fromLatin1(name));
    };
    auto plcRead = [group](CMyPropertySheet& s) {
        AddressGroupWidget* g = group(s, 1, "read");
        g->target()->setCurrentIndex(1);
        return g;
    };
    auto edit = [](CMyPropertySheet& s, int tab, const char* name, const char* text) {
        s.tabs()->widget(tab)->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
    };
    // An existing HEX file beside the project folder, and one inside it.
    std::ofstream(app->m_strProjectDir.parent_path() / "elsewhere.hex") << ":00000001FF\n";
    std::filesystem::create_directories(app->m_strProjectDir / "code");
    std::ofstream(app->m_strProjectDir / "code" / "u.hex") << ":00000001FF\n";
    const std::vector<std::string> userCode = {"", "", "", kUserCodeAction};
    auto withFile = [&](const char* file) {
        std::vector<std::string> files = userCode;
        files.emplace_back(file);
        return files;
    };
    const BadInput cases[] = {
        {"accepted: the hide link alone", ShapeKind::BitSwitch, [](CMyPropertySheet&) {}, nullptr},
        {"accepted: a user code file inside the project", ShapeKind::Button, [](CMyPropertySheet&) {}, nullptr, false,
         withFile("\\code\\u.hex")},
        {"text in an event value", ShapeKind::Button, [edit](CMyPropertySheet& s) { edit(s, 1, "pressValue", "abc"); },
         u8"请填入一个正整数。"},
        {"event value 256", ShapeKind::Button, [edit](CMyPropertySheet& s) { edit(s, 1, "leaveValue", "256"); },
         u8"请填入一个在0和255之间的整数。"},
        {"text in the station", ShapeKind::BitSwitch, [plcRead](CMyPropertySheet& s) { plcRead(s)->station()->setText(QStringLiteral("1x")); },
         u8"请填入一个正整数。"},
        {"station 256", ShapeKind::BitSwitch, [plcRead](CMyPropertySheet& s) { plcRead(s)->station()->setText(QStringLiteral("256")); },
         u8"请填入一个在0和255之间的整数。"},
        {"text in the element number", ShapeKind::BitSwitch,
         [plcRead](CMyPropertySheet& s) {
             AddressGroupWidget* g = plcRead(s);
             g->elementType()->setCurrentIndex(2);  // "M"
             g->elementNumber()->setText(QStringLiteral("1o"));
         },
         u8"请填入一个正整数。"},
        {"element 65536", ShapeKind::BitSwitch,
         [plcRead](CMyPropertySheet& s) {
             AddressGroupWidget* g = plcRead(s);
             g->elementType()->setCurrentIndex(2);  // "M"
             g->elementNumber()->setText(QStringLiteral("65536"));
         },
         u8"请填入一个在0和65535之间的整数。"},
        {"text in the bit", ShapeKind::Indicator,
         [group](CMyPropertySheet& s) {
             AddressGroupWidget* g = group(s, 1, "read");
             g->target()->setCurrentIndex(0);
             g->bit()->setText(QStringLiteral("b"));
         },
         u8"请填入一个正整数。"},
        {"bit 32", ShapeKind::Indicator,
         [group](CMyPropertySheet& s) {
             AddressGroupWidget* g = group(s, 1, "read");
             g->target()->setCurrentIndex(0);
             g->bit()->setText(QStringLiteral("32"));
         },
         u8"请填入一个在0和31之间的整数。"},
        {"radio value not an integer", ShapeKind::RadioButton, [edit](CMyPropertySheet& s) { edit(s, 1, "value", "1.5"); },
         u8"请键入一个整数。"},
        {"text in the digits", ShapeKind::RealTimeNumber, [edit](CMyPropertySheet& s) { edit(s, 0, "digits", "8a"); },
         u8"请填入一个正整数。"},
        {"text in the minimum", ShapeKind::RealTimeNumber, [edit](CMyPropertySheet& s) { edit(s, 0, "minimum", "-x"); },
         u8"请键入一个整数。"},
        {"minimum above the maximum", ShapeKind::RealTimeNumber,
         [edit](CMyPropertySheet& s) {
             edit(s, 0, "minimum", "10");
             edit(s, 0, "maximum", "9");
         },
         u8"“最小值”：请填入一个在-2147483648和9之间的整数。"},
        {"accepted: minimum equal to the maximum", ShapeKind::RealTimeNumber,
         [edit](CMyPropertySheet& s) {
             edit(s, 0, "minimum", "9");
             edit(s, 0, "maximum", "9");
         },
         nullptr},
        {"digits 5, decimals 5", ShapeKind::RealTimeNumber,
         [edit](CMyPropertySheet& s) {
             edit(s, 0, "digits", "5");
             edit(s, 0, "decimals", "5");
         },
         u8"“小数位”不能大于“总位数”", true},
        {"digits 0, decimals past the text", ShapeKind::RealTimeNumber,
         [edit](CMyPropertySheet& s) {
             edit(s, 0, "digits", "0");
             edit(s, 0, "decimals", "200");
         },
         u8"“小数位”不能大于“总位数”", true},
        {"button text GBK cannot hold", ShapeKind::Button,
         [](CMyPropertySheet& s) { s.tabs()->widget(0)->findChild<QLineEdit*>(QStringLiteral("text"))->setText(QString::fromUtf8(u8"按钮\U0001F600")); },
         u8"内容中有无法保存的字符。"},
        {"missing user code file", ShapeKind::Button, [](CMyPropertySheet&) {}, u8"用户代码文件\r\n“", true, withFile("\\nofile.hex")},
        {"HEX file outside the project", ShapeKind::Button, [](CMyPropertySheet&) {}, u8"用户代码文件\r\n“", true,
         withFile("\\..\\elsewhere.hex")},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.what);
        CDrawObj* obj = addObject({100, 100, 180, 150}, c.kind);
        obj->m_strFiles = c.files.empty() ? std::vector<std::string>(2) : c.files;
        const std::string before = bytesOf(*obj);
        const std::size_t rows = project->m_varTable.size();
        pageMessages.clear();
        prompts.messages.clear();
        bool stayedOpen = false;
        view->SelectShape(obj);
        openSheet(*obj, [&](CMyPropertySheet& sheet) {
            // A valid PLC link on the hide page: its hidden variable is made only once every
            // check passed.
            linkHideToPlc(sheet, c.kind);
            c.act(sheet);
            press(sheet, QDialogButtonBox::Ok);
            stayedOpen = sheet.isVisible();
            if (stayedOpen)
                press(sheet, QDialogButtonBox::Cancel);
        });
        if (!c.message) {
            EXPECT_FALSE(stayedOpen) << pageMessages.join(u'|').toStdString();
            EXPECT_NE(bytesOf(*obj), before);
            EXPECT_EQ(project->m_varTable.size(), rows + 1);
            EXPECT_EQ(project->m_varTable.name.back(), "m_PlcCom1SlaveAdr1MB1");
            if (!c.files.empty()) {
                EXPECT_EQ(obj->m_strFiles, c.files);
            }
        } else {
            EXPECT_TRUE(stayedOpen);
            const QString expected = u8q(c.message);
            if (c.appPrompt) {
                ASSERT_FALSE(prompts.messages.empty());
                EXPECT_TRUE(toQString(prompts.messages.front()).startsWith(expected)) << toQString(prompts.messages.front()).toStdString();
            } else {
                EXPECT_EQ(pageMessages.value(0), expected);
            }
            EXPECT_EQ(bytesOf(*obj), before);
            EXPECT_EQ(project->m_varTable.size(), rows);
        }
        clearObjects();
        // The accepted cases made the hidden variable; the next case starts without it.
        if (const std::optional<int> row = findVarRow(project->m_varTable, "m_PlcCom1SlaveAdr1MB1"))
            project->m_varTable.EraseRow(static_cast<std::size_t>(*row));
    }
}

TEST_F(ControlSheetDialogTest, UserCodeFileOutsideTheProjectIsRefusedOnChoosing)
{
    CDrawObj* button = addObject({100, 100, 180, 150}, ShapeKind::Button);
    button->m_strFiles = {"", "", "", kUserCodeAction};
    const std::filesystem::path inside = app->m_strProjectDir / "code" / "u.hex";
    std::filesystem::create_directories(inside.parent_path());
    std::ofstream(inside) << ":00000001FF\n";
    view->SelectShape(button);
    openSheet(*button, [&](CMyPropertySheet& sheet) {
        auto* choose = find<QPushButton>(sheet, 1, "chooseUserCode");
        auto* file = find<QLineEdit>(sheet, 1, "userCodeFile");
        EXPECT_TRUE(choose->isVisibleTo(sheet.tabs()->widget(1)));
        chosenFile = QString::fromStdU16String((dir.path().parent_path() / "elsewhere.hex").u16string());
        choose->click();
        ASSERT_EQ(pageMessages.size(), 1);
        EXPECT_TRUE(pageMessages[0].startsWith(u8q(u8"请先将该51单片机的工程拷贝到下面目录下：\r\n“")));
        EXPECT_TRUE(file->text().isEmpty());
        chosenFile = QString::fromStdU16String(inside.u16string());
        choose->click();
        EXPECT_EQ(file->text(), QStringLiteral("\\code\\u.hex"));
        press(sheet, QDialogButtonBox::Ok);
    });
    // The list had no file entry: it grows to hold it.
    EXPECT_EQ(button->m_strFiles, (std::vector<std::string>{"", "", "", kUserCodeAction, "\\code\\u.hex"}));
}

TEST_F(ControlSheetDialogTest, BitSwitchOnMitsubishiMCreatesOneSharedHiddenVariable)
{
    project->SetSettingI32(settings::kProtocol2, 5);
    project->SetSettingI32(settings::kNoAutoAddressAdjust, 0);
    // The program's header writers, as its start installs them.
    const HeaderWriters savedWriters = GetHeaderWriters();
    InstallVarHeaderWriters();
    struct RestoreWriters {
        HeaderWriters saved;
        ~RestoreWriters() { SetHeaderWriters(saved); }
    } restore{savedWriters};
    const std::filesystem::path header = app->m_strProjectDir / "HmiVar.h";
    std::filesystem::remove(header);
    CDrawObj* first = addObject({100, 100, 180, 150}, ShapeKind::BitSwitch);
    CDrawObj* second = addObject({300, 100, 380, 150}, ShapeKind::BitSwitch);
    const std::size_t rows = project->m_varTable.size();
    auto link = [&](CDrawObj* obj, int element) {
        view->SelectShape(obj);
        openSheet(*obj, [&](CMyPropertySheet& sheet) {
            auto* read = find<AddressGroupWidget>(sheet, 1, "read");
            EXPECT_EQ(read->target()->count(), 2);
            read->target()->setCurrentIndex(1);
            read->elementType()->setCurrentIndex(2);  // "M"
            read->station()->setText(QStringLiteral("1"));
            read->elementNumber()->setText(QString::number(element));
            EXPECT_FALSE(read->bit()->isEnabled());
            EXPECT_EQ(read->bit()->text(), QString::number(element & 7));
            EXPECT_EQ(read->variable()->currentText(), QStringLiteral("m_PlcCom2SlaveAdr1MB1"));
            EXPECT_FALSE(read->variable()->isEnabled());
            press(sheet, QDialogButtonBox::Ok);
        });
    };
    link(first, 10);
    ASSERT_EQ(project->m_varTable.size(), rows + 1);
    EXPECT_EQ(project->m_varTable.name.back(), "m_PlcCom2SlaveAdr1MB1");
    EXPECT_EQ(project->m_varTable.type.back(), "unsigned char");
    EXPECT_EQ(first->m_Params[25], 2);
    EXPECT_EQ(blockReadI32(first->m_Params, 16), static_cast<int>(rows));
    std::int32_t address = -1;
    std::uint8_t type = 0;
    GetVariableAddress(*app, static_cast<int>(rows), address, type);
    EXPECT_EQ(blockReadI32(first->m_Params, 20), address);  // the reference follows the table
    EXPECT_FALSE(project->IsModified());                      // saved
    // The addresses are laid out again: the table holds the layout of its types.
    const VarLayout layout = LayOutVarAddresses(project->m_varTable.type, {});
    for (std::size_t i = 0; i < project->m_varTable.size(); ++i)
        EXPECT_EQ(project->m_varTable.address[i], std::to_string(layout.addresses[i])) << project->m_varTable.name[i];
    // The project file holds the variable at that address, and the header names it.
    CDrawDoc saved;
    DocumentError error;
    ASSERT_TRUE(saved.OnOpenDocument(project->GetPathName(), &error)) << error.messageGbk;
    EXPECT_EQ(saved.m_varTable.name, project->m_varTable.name);
    EXPECT_EQ(saved.m_varTable.address, project->m_varTable.address);
    std::ifstream in(header, std::ios::binary);
    const std::string headerText{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(headerText.find("m_PlcCom2SlaveAdr1MB1"), std::string::npos) << headerText;

    link(second, 11);
    EXPECT_EQ(project->m_varTable.size(), rows + 1);
    EXPECT_EQ(blockReadI32(second->m_Params, 16), static_cast<int>(rows));
    EXPECT_EQ(second->m_Params[25], 3);
}

TEST_F(ControlSheetDialogTest, WriteGroupAndPictureFontFollowTheirChecks)
{
    CDrawObj* number = addObject({100, 100, 180, 150}, ShapeKind::RealTimeNumber);
    number->m_strFiles.clear();
    blockWriteI32(number->m_Params, 228, 0);
    const std::filesystem::path pic = dir.path() / "p7.bmp";
    std::ofstream(pic) << "BM";
    view->SelectShape(number);
    openSheet(*number, [&](CMyPropertySheet& sheet) {
        QWidget* control = sheet.tabs()->widget(1);
        auto* write = find<AddressGroupWidget>(sheet, 1, "write");
        EXPECT_FALSE(write->target()->isVisibleTo(control));
        find<QCheckBox>(sheet, 1, "differentWrite")->setChecked(true);
        EXPECT_TRUE(write->target()->isVisibleTo(control));

        QWidget* shape = sheet.tabs()->widget(0);
        auto* fontButton = find<QPushButton>(sheet, 0, "font");
        auto* pictureFontButton = find<QPushButton>(sheet, 0, "pictureFontButton");
        find<QCheckBox>(sheet, 0, "pictureFont")->setChecked(true);
        EXPECT_FALSE(fontButton->isEnabled());
        EXPECT_TRUE(pictureFontButton->isEnabled());
        auto* byteOrder = find<QComboBox>(sheet, 0, "byteOrder");
        EXPECT_FALSE(byteOrder->isVisibleTo(shape));
        // "无边框" is a plain border of width 0.
        find<QComboBox>(sheet, 0, "borderType")->setCurrentIndex(2);
        EXPECT_EQ(find<QComboBox>(sheet, 0, "borderType")->currentIndex(), 0);
        EXPECT_EQ(find<QLineEdit>(sheet, 0, "borderWidth")->text(), QStringLiteral("0"));

        dialogScript = [&](QDialog& d) {
            auto* font = dynamic_cast<CDlgPicFont*>(&d);
            EXPECT_NE(font, nullptr);
            if (!font)
                return false;
            font->list()->clearSelection();
            pageMessages.clear();
            font->ChangeSelected();
            EXPECT_EQ(pageMessages.value(0), u8q(u8"请先选中需修改的符号"));
            font->list()->selectRow(7);
            chosenFile = QString::fromStdU16String(pic.u16string());
            font->ChangeSelected();
            EXPECT_EQ(font->list()->item(7, 1)->text(), QStringLiteral("p7.bmp"));
            return true;
        };
        pictureFontButton->click();
        press(sheet, QDialogButtonBox::Ok);
    });
    ASSERT_EQ(number->m_strFiles.size(), 14u);
    EXPECT_EQ(number->m_strFiles[7], "\\UserPicture\\p7.bmp");
    EXPECT_EQ(blockReadI32(number->m_Params, 228), 1);
    EXPECT_EQ(blockReadI32(number->m_Params, 136), 1);
    EXPECT_EQ(blockReadI32(number->m_Params, 40), 0);
}

TEST_F(ControlSheetDialogTest, RadioModeShowsThePicturesAndOkStoresTheDefaults)
{
    std::filesystem::create_directories(dir.path() / "images" / "sys");
    for (const char* name : {"Radio_ON.bmp", "Radio_OFF.bmp"})
        std::ofstream(dir.path() / "images" / "sys" / name) << "BM";
    CDrawObj* radio = addObject({100, 100, 180, 150}, ShapeKind::RadioButton);
    radio->m_strFiles.clear();
    blockWriteI32(radio->m_Params, 60, 0);
    view->SelectShape(radio);
    openSheet(*radio, [&](CMyPropertySheet& sheet) {
        QWidget* shape = sheet.tabs()->widget(0);
        auto* picture = find<QWidget>(sheet, 0, "pictureOn");
        EXPECT_FALSE(picture->isVisibleTo(shape));
        find<QComboBox>(sheet, 0, "mode")->setCurrentIndex(1);
        EXPECT_TRUE(picture->isVisibleTo(shape));
        EXPECT_TRUE(picture->findChild<QLineEdit*>()->text().endsWith(QStringLiteral("Radio_ON.bmp")));
        press(sheet, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(radio->m_strFiles, (std::vector<std::string>{"\\UserPicture\\Radio_ON.bmp", "\\UserPicture\\Radio_OFF.bmp"}));
    EXPECT_EQ(blockReadU(radio->m_Params, 32, 4), 0xFFFFFFu);
    EXPECT_EQ(blockReadI32(radio->m_Params, 60), 1);
}

TEST_F(ControlSheetDialogTest, OkRepaintsTheViewAndOneUndoRestoresIt)
{
    CDrawObj* number = addObject({100, 100, 220, 140}, ShapeKind::RealTimeNumber);
    blockWriteI32(number->m_Params, 52, 0);  // background drawn
    blockWriteI32(number->m_Params, 56, 0x00FFFFFF);
    doc->TakeUndoSnapshot();
    // The inside of the control, clear of the selection handles.
    const QRect inside(106, 106, 108, 28);
    auto countRed = [](const QImage& image) {
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
        return red;
    };
    const QImage before = shown().copy(inside);
    openSheet(*number, [&](CMyPropertySheet& sheet) {
        find<ColorButton>(sheet, 0, "backColor")->setColor(0x000000FF);
        press(sheet, QDialogButtonBox::Ok);
    });
    const QImage after = shown().copy(inside);
    EXPECT_LT(countRed(before), inside.width() * inside.height() / 4);  // the digits only
    EXPECT_GT(countRed(after), inside.width() * inside.height() / 2);
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(shown().copy(inside), before);
}

TEST_F(ControlSheetDialogTest, EachSwitchPreviewIsPaintedByItself)
{
    namespace fs = std::filesystem;
    fs::create_directories(app->m_strProjectDir / "UserPicture");
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdU16String((app->m_strProjectDir / "UserPicture" / "off.bmp").u16string()), "BMP"));
    CDrawObj* sw = addObject({100, 100, 180, 150}, ShapeKind::BitSwitch);
    sw->m_strFiles = {"\\UserPicture\\missing.bmp", "\\UserPicture\\off.bmp"};
    view->SelectShape(sw);
    openSheet(*sw, [&](CMyPropertySheet& sheet) {
        auto* on = find<QLabel>(sheet, 0, "previewOn");
        auto* off = find<QLabel>(sheet, 0, "previewOff");
        EXPECT_TRUE(on->pixmap().isNull());
        EXPECT_FALSE(off->pixmap().isNull());
        press(sheet, QDialogButtonBox::Cancel);
    });
}

TEST_F(ControlSheetDialogTest, NewUserBindsTwoButtonsThatSurviveSaveAndReopen)
{
    project->SetSettingI32(settings::kProtocol1, 3);  // "Modbus RTU Master" on port 1
    project->SetSettingI32(settings::kNoAutoAddressAdjust, 0);
    int buttonShape = -1;
    for (const ToolShapeDef& t : toolShapes())
        if (t.kind == ShapeKind::Button)
            buttonShape = t.shape;
    ASSERT_GE(buttonShape, 0);
    auto drawButton = [&](Point from, Point to) {
        CEditTool::s_nCurShape = buttonShape;
        drag(from, to);
        return doc->m_objects.back().get();
    };
    auto chooseAction = [&](CMyPropertySheet& sheet, const char* actionGbk) {
        auto* action = find<QComboBox>(sheet, 1, "action");
        action->setCurrentIndex(action->findText(toQString(actionGbk)));
        EXPECT_EQ(action->currentText(), toQString(actionGbk));
        return find<AddressGroupWidget>(sheet, 1, "operated");
    };

    CDrawObj* plcButton = drawButton({100, 100}, {200, 150});
    ASSERT_EQ(plcButton->Kind(), ShapeKind::Button);
    openSheet(*plcButton, [&](CMyPropertySheet& sheet) {
        AddressGroupWidget* g = chooseAction(sheet, kOperateVariableAction);
        g->target()->setCurrentIndex(1);
        g->station()->setText(QStringLiteral("1"));
        g->elementType()->setCurrentIndex(g->elementType()->findText(u8q(u8"功能码:0x3(读保持寄存器)")));
        g->elementNumber()->setText(QStringLiteral("100"));
        EXPECT_EQ(g->variable()->currentText(), QStringLiteral("m_PlcCom1SlaveAdr1VW100"));
        press(sheet, QDialogButtonBox::Ok);
    });
    const std::optional<int> row = findVarRow(project->m_varTable, "m_PlcCom1SlaveAdr1VW100");
    ASSERT_TRUE(row);
    EXPECT_EQ(project->m_varTable.type[static_cast<std::size_t>(*row)], "unsigned short");

    CDrawObj* varButton = drawButton({300, 100}, {400, 150});
    const int chosen = static_cast<int>(project->m_varTable.size()) - 1;
    openSheet(*varButton, [&](CMyPropertySheet& sheet) {
        AddressGroupWidget* g = chooseAction(sheet, kOperateVariableAction);
        g->target()->setCurrentIndex(0);
        g->variable()->setCurrentIndex(chosen);
        press(sheet, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(blockReadI32(varButton->m_Params, 128), chosen);
    const std::string chosenName = project->m_varTable.name[static_cast<std::size_t>(chosen)];

    ASSERT_TRUE(doc->DoFileSave());
    const std::filesystem::path hmi = project->GetPathName();
    view.reset();
    app->CloseAllDocuments();
    ASSERT_TRUE(app->OpenProjectFile(hmi));
    CDrawDoc* reopened = app->FindDocByTitle("win0.drw");
    ASSERT_NE(reopened, nullptr);
    ASSERT_EQ(reopened->m_objects.size(), 2u);
    const CDrawObj& a = *reopened->m_objects[0];
    const CDrawObj& b = *reopened->m_objects[1];
    const HmiVarTable& table = app->ProjectDoc()->m_varTable;
    EXPECT_EQ(table.name.at(static_cast<std::size_t>(blockReadI32(a.m_Params, 128))), "m_PlcCom1SlaveAdr1VW100");
    EXPECT_EQ(blockReadI32(a.m_Params, 228), 1);    // port 1
    EXPECT_EQ(blockReadI32(a.m_Params, 236), 1);    // station
    EXPECT_EQ(blockReadI32(a.m_Params, 240), 100);  // element
    EXPECT_EQ(a.m_strFiles.at(3), kOperateVariableAction);
    EXPECT_EQ(table.name.at(static_cast<std::size_t>(blockReadI32(b.m_Params, 128))), chosenName);
    EXPECT_EQ(b.m_strFiles.at(3), kOperateVariableAction);
}

} // namespace
} // namespace qv::test
