#pragma once
// The controls' sheets opened through the editing view with every page dialog scripted,
// and the table rows that set one widget of a page.
#include "model/params/block_bytes.h"
#include "model/vars/hmi_vars.h"
#include "platform/archive/archive.h"
#include "props/ui/address_group_widget.h"
#include "props/ui/page_seams.h"
#include "props/ui/property_page.h"
#include "tests/props/ui/sheet_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <fstream>
#include <iterator>

namespace qv::test {

inline QString u8q(const char8_t* s) { return QString::fromUtf8(s); }

// The pixel size of the font the scripted font dialog picks.
inline constexpr int kScriptedFontPixels = 21;

class ControlSheetDialogTest : public SheetDialogTest {
protected:
    void SetUp() override
    {
        SheetDialogTest::SetUp();
        project = app->ProjectDoc();
        ASSERT_NE(project, nullptr);
        // The adjustment lays the addresses out again (and refreshes cached addresses);
        // the byte checks want the pages' effect alone.
        project->SetSettingI32(settings::kNoAutoAddressAdjust, 1);
        PageDialogs scripted;
        scripted.message = [this](QWidget*, const QString& text) { pageMessages << text; };
        scripted.pickColor = [](QWidget*, ColorRef current) { return std::optional<ColorRef>(current ^ 0x00102030); };
        scripted.pickFont = [](QWidget*, const QFont&) {
            QFont font;
            font.setPixelSize(kScriptedFontPixels);
            font.setBold(true);
            return std::optional<QFont>(font);
        };
        scripted.pickOpenFile = [this](QWidget*, const QString&) { return chosenFile; };
        scripted.runDialog = [this](QDialog& d) { return dialogScript ? dialogScript(d) : false; };
        previous = SetPageDialogs(scripted);
    }
    void TearDown() override
    {
        SetPageDialogs(previous);
        SheetDialogTest::TearDown();
    }

    static std::string bytesOf(CDrawObj& obj)
    {
        archive::ArchiveWriter ar;
        obj.Serialize(ar);
        return ar.TakeBytes();
    }

    template <class W>
    static W* find(CMyPropertySheet& sheet, int tab, const char* name)
    {
        W* w = sheet.tabs()->widget(tab)->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << "tab " << tab << ' ' << name;
        return w;
    }

    // Opens the sheet of `obj` by a double click and runs `act` on it.
    void openSheet(CDrawObj& obj, std::function<void(CMyPropertySheet&)> act)
    {
        bool opened = false;
        whenSheetOpens([&](CMyPropertySheet& sheet) {
            opened = true;
            act(sheet);
        });
        const Rect r = obj.m_rcPosition.normalized();
        doubleClick({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        EXPECT_TRUE(opened);
    }

    // Links the hide page's group to "M" 10 of station 1 on port 1 (a Mitsubishi protocol set
    // there): OK would create its hidden variable m_PlcCom1SlaveAdr1MB1.
    static void linkHideToPlc(CMyPropertySheet& sheet, ShapeKind kind)
    {
        auto* hide = sheet.tabs()->widget(kind == ShapeKind::RealTimeNumber ? 3 : 2)->findChild<AddressGroupWidget*>(QStringLiteral("hide"));
        ASSERT_NE(hide, nullptr);
        hide->use()->setChecked(true);
        hide->target()->setCurrentIndex(1);
        hide->station()->setText(QStringLiteral("1"));
        hide->elementType()->setCurrentIndex(2);  // "M"
        hide->elementNumber()->setText(QStringLiteral("10"));
    }

    // Presses `button`, which must close the sheet; a sheet that refuses is a failure
    // naming what it said, and is cancelled.
    void closeSheet(CMyPropertySheet& sheet, QDialogButtonBox::StandardButton button)
    {
        press(sheet, button);
        if (!sheet.isVisible())
            return;
        ADD_FAILURE() << "the sheet refused: " << pageMessages.join(u'|').toStdString()
                      << (prompts.messages.empty() ? "" : prompts.messages.back());
        press(sheet, QDialogButtonBox::Cancel);
    }

    // Turns every check box of every page.
    static void toggleEveryCheck(CMyPropertySheet& sheet)
    {
        for (int t = 0; t < sheet.tabs()->count(); ++t)
            for (QCheckBox* check : sheet.tabs()->widget(t)->findChildren<QCheckBox*>())
                check->setChecked(!check->isChecked());
    }

    std::string projectFileBytes() const
    {
        std::ifstream in(project->GetPathName(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    void clearObjects()
    {
        while (!doc->m_objects.empty()) {
            CDrawObj* obj = doc->m_objects.back().get();
            view->DeselectShape(obj);
            doc->RemoveObject(obj);
        }
    }

    CDrawDoc* project = nullptr;
    PageDialogs previous;
    QStringList pageMessages;
    QString chosenFile;
    std::function<bool(QDialog&)> dialogScript;
};

// What a test sets on a page: a widget by name, and where its value must land.
enum class Set { Check, Uncheck, Combo, Text, Color, Radio };
struct FieldRow {
    int tab;
    const char* widget;
    Set how;
    int value;          // combo index, text as a number, radio index
    int offset, width;  // where it lands
    std::uint32_t expected;
};

inline void apply(QWidget* page, const FieldRow& row)
{
    const QString name = QString::fromLatin1(row.widget);
    switch (row.how) {
    case Set::Check:
    case Set::Uncheck:
        if (auto* c = page->findChild<QCheckBox*>(name))
            c->setChecked(row.how == Set::Check);
        else if (auto* g = page->findChild<AddressGroupWidget*>(name); g && g->use())
            g->use()->setChecked(row.how == Set::Check);  // a common page's use check
        else
            ADD_FAILURE() << row.widget;
        break;
    case Set::Combo:
        if (auto* c = page->findChild<QComboBox*>(name))
            c->setCurrentIndex(row.value);
        else
            ADD_FAILURE() << row.widget;
        break;
    case Set::Text:
        if (auto* e = page->findChild<QLineEdit*>(name))
            e->setText(QString::number(row.value));
        else
            ADD_FAILURE() << row.widget;
        break;
    case Set::Color:
        if (auto* b = page->findChild<ColorButton*>(name))
            b->setColor(static_cast<ColorRef>(row.value));
        else
            ADD_FAILURE() << row.widget;
        break;
    case Set::Radio:
        if (auto* box = page->findChild<QWidget*>(name)) {
            const auto radios = box->findChildren<QRadioButton*>();
            ASSERT_GT(radios.size(), row.value) << row.widget;
            radios[row.value]->setChecked(true);
        } else {
            ADD_FAILURE() << row.widget;
        }
        break;
    }
}

// As apply, but radios are clicked as a user's would be: the live groups set their member
// on a click.
inline void clickRadios(QWidget* page, const FieldRow& row)
{
    if (row.how != Set::Radio)
        return apply(page, row);
    auto* box = page->findChild<QWidget*>(QString::fromLatin1(row.widget));
    ASSERT_NE(box, nullptr) << row.widget;
    const auto radios = box->findChildren<QRadioButton*>();
    ASSERT_GT(radios.size(), row.value);
    radios[row.value]->click();
}

} // namespace qv::test
