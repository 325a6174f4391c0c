#include "app/layout/layout_commands.h"

#include "app/commands/command_actions.h"
#include "app/edit/edit_commands.h"
#include "app/view/draw_view.h"
#include "app/view/view_geometry.h"
#include "app/view/view_painter.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/blocks/table_block.h"
#include "model/shape/shape_kind.h"
#include "platform/picture/picture.h"
#include "platform/surface/bmp_file.h"
#include "platform/text/gbk.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <algorithm>

namespace qv::layout {
namespace {

// Calculators looked for on the desktop, first found is started.
constexpr const char* kCalculators[] = {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"};

CDrawDoc* editableDoc(const CDrawView& view) { return edit::ViewTakesEdits(view) ? view.GetDocument() : nullptr; }

// Every edit of the family ends the same way: one undo step, modified, the whole view redrawn.
void finishEdit(CDrawDoc& doc)
{
    doc.SnapshotAndSetModified();
    doc.UpdateAllViews(nullptr, 0);
}

// Writes the new rectangles of the selection; true when any changed.
template <class NewRect> bool moveSelection(CDrawView& view, NewRect newRect)
{
    bool changed = false;
    for (CDrawObj* obj : view.m_selList) {
        const Rect before = obj->m_rcPosition;
        const Rect target = newRect(before.normalized());
        const Rect kept = view.KeepRectInWindow(target, target);
        if (kept != before) {
            obj->m_rcPosition = kept;
            changed = true;
        }
    }
    return changed;
}

std::optional<std::filesystem::path> askForBitmapFile(QWidget* parent)
{
    // The default suffix makes the overwrite question name the file that is written.
    QFileDialog dialog(parent, QString(), QString(), QString::fromUtf8(u8"图片(*.bmp)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

Size desktopSize(const CDrawView& view)
{
    QScreen* screen = view.screen() != nullptr ? view.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const double dpr = screen->devicePixelRatio();
    return {static_cast<int>(screen->size().width() * dpr), static_cast<int>(screen->size().height() * dpr)};
}

void startCalculator(CDrawView* view)
{
    for (const char* name : kCalculators) {
        const QString program = QStandardPaths::findExecutable(QString::fromUtf8(name));
        if (!program.isEmpty() && QProcess::startDetached(program, {}))
            return;
    }
    if (view != nullptr)
        view->App().Prompt().ShowMessage("找不到计算器程序", UiPrompts::Icon::Warning);
}

} // namespace

bool StackSelection(CDrawView& view, StackMove move)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr || view.m_selList.size() != 1)
        return false;
    CDrawObj* ref = view.m_selList.front();
    auto& list = doc->m_objects;
    const auto it = std::find_if(list.begin(), list.end(), [ref](const auto& o) { return o.get() == ref; });
    if (it == list.end())
        return false;
    const auto at = static_cast<std::size_t>(it - list.begin());
    std::size_t to = at;
    switch (move) {
    case StackMove::Backward: to = at == 0 ? 0 : at - 1; break;
    case StackMove::Forward: to = std::min(at + 1, list.size() - 1); break;
    case StackMove::ToBack: to = 0; break;
    case StackMove::ToFront: to = list.size() - 1; break;
    }
    if (to == at)
        return false;
    auto taken = std::move(list[at]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(to), std::move(taken));
    // The order is saved with the window, so it is a change like any other: without the
    // modified flag closing would drop it silently.
    doc->SnapshotAndSetModified();
    view.InvalidateObject(ref);
    return true;
}

bool AlignSelection(CDrawView& view, AlignMode mode)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr || view.m_selList.empty())
        return false;
    const Rect ref = view.m_selList.front()->m_rcPosition.normalized();
    const Rect window = view.WindowAreaRect();
    moveSelection(view, [&](const Rect& r) { return alignedRect(mode, r, ref, window); });
    finishEdit(*doc);
    return true;
}

bool PlaceInTableCells(CDrawView& view, CellMode mode)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr || view.m_selList.size() != 1 || view.m_selList.front()->Kind() != ShapeKind::Table)
        return false;
    const CDrawObj& table = *view.m_selList.front();
    const auto grid = tableGrid(table.m_rcPosition.normalized(), table.Param(blocks::table::kLineWidth),
                                table.Param(blocks::table::kRows), table.Param(blocks::table::kColumns));
    if (!grid)
        return false; // no rows, no columns or no room: there are no cells to place into
    for (auto& obj : doc->m_objects) {
        const Rect r = obj->m_rcPosition.normalized();
        if (const auto cell = grid->cellHolding(r))
            obj->m_rcPosition = placedInCell(mode, r, *cell);
    }
    finishEdit(*doc);
    return true;
}

bool MoveSelectionByArrow(CDrawView& view, Arrow arrow, bool grow)
{
    CDrawDoc* doc = editableDoc(view);
    if (doc == nullptr)
        return false;
    // A key that moves nothing (nothing selected, everything at the edge) is no step to undo.
    if (!moveSelection(view, [&](const Rect& r) { return arrowStep(arrow, grow, r); }))
        return false;
    finishEdit(*doc);
    return true;
}

bool SaveSelectionAsBitmap(CDrawView& view, const std::filesystem::path& file, std::string* error)
{
    CDrawDoc* doc = view.GetDocument();
    if (doc == nullptr || view.m_selList.empty())
        return false;
    CEditorApp& app = view.App();
    const Point margins = view.PageMargins();
    RebaseObjects(*doc, margins);

    const Size resolution{app.m_nResWidth, app.m_nResHeight};
    ViewSurfaces surfaces;
    surfaces.EnsureSize(PaintBufferSize(resolution, margins, desktopSize(view)));
    const Rect device = DeviceRect(margins, resolution);
    surfaces.paint.fillRect(device, doc->m_paperColor);
    surfaces.work1.fillRect(device, doc->m_paperColor);

    // The union of the objects themselves, wherever they lie.
    Rect box = view.m_selList.front()->m_rcPosition.normalized();
    for (const CDrawObj* obj : view.m_selList) {
        const Rect r = obj->m_rcPosition.normalized();
        box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right), std::max(box.bottom, r.bottom)};
    }

    PaintContext ctx;
    ctx.varMem = &app.m_VarMem;
    ctx.projectDir = app.m_strProjectDir;
    ctx.margins = margins;
    ctx.loadPicture = [](const std::filesystem::path& picture) { return loadPictureFile(picture); };
    const PaintSurfaces dcs = surfaces.surfaces();
    for (int pass : {0, 1})
        for (CDrawObj* obj : view.m_selList)
            PaintObject(*obj, dcs, pass, ctx);
    return SaveBitmapFile(surfaces.paint, box, file, error);
}

void SaveSelectionAsBitmapCommand(CDrawView& view, const LayoutServices& services)
{
    if (view.GetDocument() == nullptr || view.m_selList.empty())
        return;
    auto file = services.chooseBitmapFile ? services.chooseBitmapFile() : askForBitmapFile(services.dialogParent);
    if (!file)
        return;
    // A name typed without an extension still makes a bitmap a viewer recognises.
    if (!file->has_extension())
        *file += ".bmp";
    std::string error;
    if (SaveSelectionAsBitmap(view, *file, &error))
        return;
    std::string message = "保存位图失败：";
    const std::u8string name = file->u8string();
    message += utf8ToGbk(std::string(name.begin(), name.end())).value_or(std::string());
    if (!error.empty()) {
        message += "\r\n";
        message += error;
    }
    view.App().Prompt().ShowMessage(message, UiPrompts::Icon::Error);
}

void BindLayoutCommands(cmd::CommandActions& actions, std::function<CDrawView*()> activeView, LayoutServices services)
{
    using cmd::CommandKey;
    using cmd::Owner;
    const auto onView = [&actions, activeView](int id, std::function<void(CDrawView&)> run) {
        actions.bind(CommandKey{Owner::View, id}, [activeView, run = std::move(run)] {
            if (CDrawView* view = activeView ? activeView() : nullptr)
                run(*view);
        });
    };
    for (StackMove move : {StackMove::Backward, StackMove::Forward, StackMove::ToBack, StackMove::ToFront})
        onView(static_cast<int>(move), [move](CDrawView& v) { StackSelection(v, move); });
    for (const AlignCommandDef& def : alignCommands())
        onView(def.commandId, [mode = def.mode](CDrawView& v) { AlignSelection(v, mode); });
    for (const CellCommandDef& def : cellCommands())
        onView(def.commandId, [mode = def.mode](CDrawView& v) { PlaceInTableCells(v, mode); });
    onView(cmd::SaveAsBitmap.key.id, [services](CDrawView& v) {
        if (edit::ViewTakesEdits(v))
            SaveSelectionAsBitmapCommand(v, services);
    });
    if (services.voiceAssistant)
        actions.bind(cmd::VoiceAssistant, services.voiceAssistant);
    if (services.recipeManager)
        actions.bind(cmd::RecipeManager, services.recipeManager);
    // The calculator needs no view: it is always offered.
    actions.bind(cmd::Calculator, [activeView, calculator = services.calculator] {
        if (calculator)
            calculator();
        else
            startCalculator(activeView ? activeView() : nullptr);
    });
}

} // namespace qv::layout
