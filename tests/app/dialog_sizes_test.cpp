// Every property sheet and dialog fits a 1366 x 768 screen with its OK and Cancel in view
// (a long page scrolls inside the sheet), and the panel dialogs are wide enough for their
// titles and their buttons' texts. The sheets and settings dialogs open through the main
// window's commands; dialogs that need a panel or a page's data are made directly.
#include "app/drawing_tools/edit_tool.h"
#include "app/drawing_tools/tool_shapes.h"
#include "app/view/draw_view.h"
#include "device/ui/buzzer_test_dlg.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "device/ui/device_select_dlg.h"
#include "device/ui/download_option_dlg.h"
#include "device/ui/fpga_update_dlg.h"
#include "model/params/kind_defaults.h"
#include "props/ui/control_page_widgets.h"
#include "props/ui/data_control_page_widgets.h"
#include "props/ui/recipe_dialogs.h"
#include "config/ui/other_settings_dlg.h"
#include "config/ui/plc_map_dlg.h"
#include "config/ui/special_vars_dlg.h"
#include "config/ui/var_small_dialogs.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/modal_driver.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QPushButton>

#include <functional>
#include <memory>
#include <string>

namespace qv::test {
namespace {

// The smallest screen the program is used on, less the window manager's title bar and
// panel.
constexpr QSize kScreen(1366, 768);
constexpr QSize kDecoration(16, 60);

QString u(const char8_t* text) { return QString::fromUtf8(text); }

bool insideScrollArea(const QWidget* w, const QWidget* top)
{
    for (const QWidget* p = w->parentWidget(); p && p != top; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(p))
            return true;
    return false;
}

// Shown at its size hint, the dialog fits the screen, and OK and Cancel (where it has them)
// are shown whole inside it, outside any scrolled part.
void expectFitsTheScreen(QDialog& d, const std::string& name)
{
    SCOPED_TRACE(name);
    const QSize hint = d.sizeHint().expandedTo(d.minimumSizeHint());
    EXPECT_LE(hint.width(), kScreen.width() - kDecoration.width()) << "width " << hint.width();
    EXPECT_LE(hint.height(), kScreen.height() - kDecoration.height()) << "height " << hint.height();
    d.resize(hint);
    if (!d.isVisible())
        d.show();
    QCoreApplication::processEvents();
    for (QPushButton* b : d.findChildren<QPushButton*>()) {
        if (b->text() != u(u8"确定") && b->text() != u(u8"取消"))
            continue;
        SCOPED_TRACE(b->text().toStdString());
        EXPECT_TRUE(b->isVisible());
        EXPECT_FALSE(insideScrollArea(b, &d));
        EXPECT_TRUE(d.rect().contains(QRect(b->mapTo(&d, QPoint(0, 0)), b->size())))
            << "dialog " << d.width() << " x " << d.height() << ", button at " << b->mapTo(&d, QPoint(0, 0)).y();
    }
}

// The title fits beside the title bar's buttons and no button's text runs past its edge.
void expectTitleAndButtonsWhole(QDialog& d, const std::string& name)
{
    SCOPED_TRACE(name);
    d.show();
    QCoreApplication::processEvents();
    const QFontMetrics metrics(d.font());
    EXPECT_GE(d.width(), metrics.horizontalAdvance(d.windowTitle()) + 8 * metrics.height())
            << "the title is cut beside the title bar's icon and three buttons";
    for (QPushButton* b : d.findChildren<QPushButton*>()) {
        if (!b->isVisible())
            continue;
        SCOPED_TRACE(b->text().toStdString());
        EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text()) + b->fontMetrics().height());
    }
    d.hide();
}

class DialogSizes : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        showMainWindow(1100, 760);
        ASSERT_NO_FATAL_FAILURE(openProjectOf({"win0.drw"}, 320, 240));
        app->ProjectDoc()->SetSettingI32(settings::kNoAutoAddressAdjust, 1);
        frame->ActivateDocumentWindow(frame->FindDocumentWindow("win0.drw"));
        view = dynamic_cast<CDrawView*>(frame->FindDocumentWindow("win0.drw")->widget());
        ASSERT_NE(view, nullptr);
        CEditTool::s_nCurShape = 0;
    }
    void TearDown() override { closeMainWindow(); }

    // Runs the command and checks the modal dialog it opens, then cancels it.
    void openAndCheck(cmd::CommandKey key, const std::string& name)
    {
        bool shown = false;
        whenModal<QDialog>([&](QDialog& d) {
            shown = true;
            expectFitsTheScreen(d, name);
            d.reject();
        });
        frame->RefreshCommands();
        ASSERT_TRUE(frame->commands().trigger(key)) << name;
        EXPECT_TRUE(shown) << name;
    }

    CDrawView* view = nullptr;
};

TEST_F(DialogSizes, EveryControlsPropertySheetFitsTheScreen)
{
    for (const ToolShapeDef& tool : toolShapes()) {
        if (!tool.kind)
            continue;
        CDrawDoc* doc = view->GetDocument();
        auto made = std::make_unique<CDrawRect>(Rect{100, 100, 220, 180});
        made->SetKind(*tool.kind);
        CDrawObj* obj = doc->AddObject(std::move(made));
        SetKindDefaults(*obj, *app);
        view->SelectShape(obj);
        openAndCheck(cmd::Properties, "sheet of kind " + std::to_string(KindCode(*tool.kind)));
        view->SelectShape(nullptr);
        doc->RemoveObject(obj);
    }
}

TEST_F(DialogSizes, EverySettingsDialogFitsTheScreen)
{
    struct Entry {
        cmd::CommandKey key;
        const char* name;
    };
    const Entry entries[] = {
        {cmd::SystemSettings, "system settings"},  {cmd::ProjectProperties, "project properties"},
        {cmd::HmiVariables, "HMI variables"},    {cmd::SerialDebug, "serial debugging"},
        {cmd::About, "about"},            {cmd::FileNewProject, "new project"},
        {cmd::CompileProject, "compile options"},  {cmd::TreeNewScreen, "new screen"},
        {cmd::RecipeManager, "recipes"},
    };
    for (const Entry& e : entries)
        openAndCheck(e.key, e.name);
}

TEST_F(DialogSizes, DialogsMadeDirectlyFitAndShowTheirTitlesAndButtonsWhole)
{
    UsbDeviceList devices;
    CurveRecord curve{};
    const std::vector<std::string> names{"m_a", "m_b"};
    const std::function<std::unique_ptr<QDialog>()> makers[] = {
        [&] { return std::make_unique<CDlgDeviceSelect>(devices, frame.get()); },
        [&] { return std::make_unique<CDlgBuzzerTest>([](int) {}, frame.get()); },
        [&] { return std::make_unique<CDlgCurveProp>(curve, names, frame.get()); },
        [&] { return std::make_unique<CDlgFillStyle>(0, 0, 0, frame.get()); },
        [&] { return std::make_unique<CDlgZiFuBatch>(frame.get()); },
        [&] { return std::make_unique<CDlgPicFont>(std::array<PictureSlot, kPictureFontSymbols>{}, 0, 0, frame.get()); },
        [&] { return std::make_unique<CDlgPeiFangParam>(frame.get()); },
        [&] { return std::make_unique<CHmiVarDlg>(HmiVarInput{}, true, frame.get()); },
        [&] { return std::make_unique<CDlgPassword>(frame.get()); },
        [&] { return std::make_unique<CDlgVarName>(frame.get()); },
        [&] { return std::make_unique<CDlgOtherSet>(1, 0, settings_page::OtherSettings{}, frame.get()); },
        [&] { return std::make_unique<CDlgHmiVarCopySet>(settings_page::CopySettings{}, 64, frame.get()); },
        [&] { return std::make_unique<CDlgSysVarGuanLianSet>(app->ProjectDoc()->m_varTable, special_vars::SpecialVarsPage{}, frame.get()); },
        [&] { return std::make_unique<CDlgPlcMapEdit>(1, plcmap::MappingEdit{}, frame.get()); },
        [&] { return std::make_unique<CDlgDownloadOption>(device::DownloadOptionValues{}, devices, [] {}, QString(), frame.get()); },
        [&] { return std::make_unique<CDlgCompileConfirm>(frame.get()); },
        [&] { return std::make_unique<CDlgFpgaUpdate>(FpgaUpdateServices{}, frame.get()); },
    };
    int i = 0;
    for (const auto& make : makers) {
        const auto d = make();
        const std::string name = std::to_string(i++) + " " + d->windowTitle().toStdString();
        expectFitsTheScreen(*d, name);
        if (i <= 2)  // the panel dialogs
            expectTitleAndButtonsWhole(*d, name);
    }
}

} // namespace
} // namespace qv::test
