// The main window as the user sees it: bars, panes, banner, menus, full screen, closing
// while busy and the file walk.
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/palette_bar.h"
#include "app/mainframe/prog_status_bar.h"
#include "compiler/compile/compile_command.h"
#include "platform/qt/qtext.h"
#include "tests/app/mainframe_fixture.h"

#include <QAction>
#include <QMdiArea>
#include <QPointer>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <QToolBar>
#include <QToolButton>
#include <set>

namespace qv::test {
namespace {

QString u(const char8_t* text) { return QString::fromUtf8(text); }

QStringList menuTitles(QMenuBar* bar)
{
    QStringList titles;
    for (QAction* a : bar->actions())
        titles << a->text();
    return titles;
}

using MainFrameWindow = MainFrameFixture;

// Records which buttons the maximised window's controls in the menu bar draw.
class ControlsRecorder : public QProxyStyle {
public:
    ControlsRecorder() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        if (control == CC_MdiControls)
            drawn = option->subControls;
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    mutable QStyle::SubControls drawn;
};

TEST_F(MainFrameWindow, ShowsFourToolbarsTwoBarsPanesAndBanner)
{
    // Toolbars in their rows: standard then layout on the first, drawing then controls below.
    struct Bar { int resource; const char8_t* title; bool secondRow; };
    const Bar bars[] = {{128, u8"标准工具栏", false}, {143, u8"布局栏", false},
                        {130, u8"绘图栏", true}, {144, u8"控件栏", true}};
    for (const Bar& b : bars) {
        QToolBar* tb = frame->toolbar(b.resource);
        ASSERT_NE(tb, nullptr) << b.resource;
        EXPECT_EQ(tb->windowTitle(), u(b.title));
        EXPECT_TRUE(tb->isVisible());
        EXPECT_EQ(frame->toolBarArea(tb), Qt::TopToolBarArea);
        EXPECT_EQ(frame->toolBarBreak(tb), b.resource == 130) << b.resource;
        EXPECT_FALSE(tb->actions().isEmpty());
    }
    EXPECT_LT(frame->toolbar(128)->geometry().top() + 1, frame->toolbar(130)->geometry().top());
    EXPECT_LT(frame->toolbar(128)->geometry().left(), frame->toolbar(143)->geometry().left());

    EXPECT_EQ(frame->projectBar()->windowTitle(), u(u8"工程管理栏"));
    EXPECT_EQ(frame->dockWidgetArea(frame->projectBar()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame->outputBar()->windowTitle(), u(u8"输出"));
    EXPECT_EQ(frame->dockWidgetArea(frame->outputBar()), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(frame->projectBar()->isVisible());
    EXPECT_TRUE(frame->outputBar()->isVisible());

    CProgStatusBar* status = frame->progStatusBar();
    EXPECT_EQ(status->PaneText(CProgStatusBar::SerialPort1), u(u8"串口1未连接"));
    EXPECT_EQ(status->PaneText(CProgStatusBar::SerialPort2), u(u8"串口2未连接"));
    EXPECT_FALSE(status->progress()->isVisible());

    EXPECT_EQ(frame->outputBar()->text(),
              QStringLiteral("- - - - - - - - - - - -  Quorvane:    V3.2    Release  - - - - - - - - - - - -\n"));
    EXPECT_EQ(frame->outputBar()->text().trimmed(), toQString(compile::compileBanner()).trimmed())
        << "the frame shows the compile's own banner, with the image's version";
    EXPECT_FALSE(frame->palette()->isVisible());
    EXPECT_EQ(frame->palette()->windowTitle(), u(u8"常用工具"));
}

TEST_F(MainFrameWindow, MenusSwapAsDocumentsOpenAndClose)
{
    EXPECT_EQ(frame->menuBarId(), 128);
    EXPECT_EQ(menuTitles(frame->menuBar()), (QStringList{u(u8"文件(&F)"), u(u8"查看(&V)"), u(u8"帮助(&H)")}));

    CSplitFrame* project = open("demo.hmi", true);
    EXPECT_EQ(frame->menuBarId(), 129);
    EXPECT_TRUE(menuTitles(frame->menuBar()).contains(u(u8"硬件(&H)")));
    EXPECT_TRUE(project->isMaximized());
    // The document frame has no close box: only closing its document closes it.
    EXPECT_FALSE(project->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(project->close());
    // Maximised, its buttons sit in the menu bar: restore and minimise, no close button.
    QWidget* controls = frame->menuBar()->cornerWidget(Qt::TopRightCorner);
    ASSERT_NE(controls, nullptr);
    ControlsRecorder recorder;
    controls->setStyle(&recorder);
    controls->grab();
    EXPECT_TRUE(recorder.drawn & QStyle::SC_MdiNormalButton);
    EXPECT_FALSE(recorder.drawn & QStyle::SC_MdiCloseButton);
    EXPECT_FALSE(project->windowFlags() & Qt::WindowSystemMenuHint);
    controls->setStyle(nullptr);

    frame->RemoveDocumentWindow(project->info().document);
    EXPECT_TRUE(waitFor([&] { return frame->mdiArea()->subWindowList().isEmpty(); }));
    EXPECT_EQ(frame->menuBarId(), 128);
}

TEST_F(MainFrameWindow, ViewTogglesHideShowAndCheckTheBars)
{
    QAction* output = frame->commands().action(cmd::ViewOutputBar);
    QAction* drawing = frame->commands().action(cmd::ViewDrawingBar);
    ASSERT_TRUE(output && drawing);
    EXPECT_TRUE(output->isChecked());
    output->trigger();
    drawing->trigger();
    EXPECT_FALSE(frame->outputBar()->isVisible());
    EXPECT_FALSE(frame->toolbar(130)->isVisible());
    EXPECT_FALSE(output->isChecked());
    EXPECT_FALSE(drawing->isChecked());
    output->trigger();
    EXPECT_TRUE(frame->outputBar()->isVisible());
    EXPECT_TRUE(output->isChecked());
}

TEST_F(MainFrameWindow, FullScreenHidesTheBarsShowsThePaletteAndShiftEscRestores)
{
    open("demo.hmi", true);
    open("a.drw");
    frame->toolbar(144)->hide(); // a bar hidden before stays hidden after
    ASSERT_TRUE(waitFor([&] { return frame->isVisible(); }));
    const QRect before = frame->geometry();

    bool saved = false;
    host.modified = true;
    frame->commands().bind(cmd::ProjectSave, [&] { saved = true; });
    frame->RefreshCommands();

    ASSERT_TRUE(frame->commands().trigger(cmd::FullScreen));
    EXPECT_TRUE(frame->IsFullScreen());
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_FALSE(frame->menuBar()->isVisible());
    EXPECT_FALSE(frame->statusBar()->isVisible());
    EXPECT_FALSE(frame->projectBar()->isVisible());
    EXPECT_FALSE(frame->outputBar()->isVisible());
    for (QToolBar* tb : frame->toolbars())
        EXPECT_FALSE(tb->isVisible()) << tb->windowTitle().toStdString();
    EXPECT_TRUE(frame->palette()->isVisible());
    EXPECT_EQ(frame->palette()->buttons().size(), 3);
    EXPECT_EQ(host.fitted, std::vector<std::string>{"a.drw"});
    EXPECT_FALSE(frame->ActiveDocumentWindow()->captionVisible());

    // Shortcuts work with the menu bar hidden.
    QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(saved);

    QTest::keyClick(frame.get(), Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(frame->IsFullScreen());
    ASSERT_TRUE(waitFor([&] { return frame->geometry() == before; }));
    EXPECT_TRUE(frame->menuBar()->isVisible());
    EXPECT_TRUE(frame->statusBar()->isVisible());
    EXPECT_TRUE(frame->projectBar()->isVisible());
    EXPECT_TRUE(frame->outputBar()->isVisible());
    EXPECT_TRUE(frame->toolbar(128)->isVisible());
    EXPECT_FALSE(frame->toolbar(144)->isVisible());
    EXPECT_FALSE(frame->palette()->isVisible());
    EXPECT_TRUE(frame->ActiveDocumentWindow()->captionVisible());
    EXPECT_EQ(host.restored, std::vector<std::string>{"a.drw"});

    // Entered as the simulation does (bars off): no palette; entering twice toggles back.
    host.showBars = false;
    frame->OnFullScreen();
    EXPECT_TRUE(frame->IsFullScreen());
    EXPECT_FALSE(frame->palette()->isVisible());
    frame->OnFullScreen();
    EXPECT_FALSE(frame->IsFullScreen());
}

TEST_F(MainFrameWindow, CloseIsRefusedWithAReasonWhileCompiling)
{
    QAction* exit = frame->commands().action(cmd::Exit);
    host.compiling = true;
    frame->RefreshCommands();
    EXPECT_FALSE(exit->isEnabled());
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->progStatusBar()->PaneText(CProgStatusBar::Message).contains(u(u8"编译")));

    // A worker greys the close box from its own thread; it holds until the worker says so.
    host.compiling = false;
    std::thread([&] { frame->EnableCloseBox(false); }).join();
    frame->DrainReports();
    EXPECT_FALSE(frame->close());
    std::thread([&] { frame->EnableCloseBox(true); }).join();
    frame->DrainReports();
    EXPECT_TRUE(exit->isEnabled());
    EXPECT_TRUE(frame->close());
}

TEST_F(MainFrameWindow, NextFileWalksToTheSimulatorAndPreviousWalksBack)
{
    host.lists = {{"a.drw", "b.drw"}, {"x.dlg"}};
    CSplitFrame* project = open("demo.hmi", true);
    for (const char* t : {"a.drw", "b.drw", "x.dlg"})
        open(t);
    open(kSimulatorTitle, false, true);
    frame->ActivateDocumentWindow(project);
    frame->OnFullScreen();

    std::vector<std::string> walked;
    for (int i = 0; i < 5; ++i) {
        frame->OnNextFile();
        walked.push_back(frame->ActiveDocumentWindow()->info().title);
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"a.drw", "b.drw", "x.dlg", kSimulatorTitle, kSimulatorTitle}));
    EXPECT_FALSE(frame->ActiveDocumentWindow()->captionVisible());

    walked.clear();
    for (int i = 0; i < 5; ++i) {
        frame->OnPrevFile();
        walked.push_back(frame->ActiveDocumentWindow()->info().title);
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"x.dlg", "b.drw", "a.drw", "demo.hmi", "demo.hmi"}));
    EXPECT_EQ(host.switches, 10);
    frame->LeaveFullScreen();
}

TEST_F(MainFrameWindow, NextFileToAWindowThatIsNotOpenSaysSo)
{
    host.lists = {{"a.drw", "gone.drw"}, {}};
    open("demo.hmi", true);
    CSplitFrame* a = open("a.drw");
    frame->OnNextFile();
    EXPECT_EQ(frame->ActiveDocumentWindow(), a);
    EXPECT_TRUE(frame->progStatusBar()->PaneText(CProgStatusBar::Message).contains(QStringLiteral("gone.drw")));
}

TEST_F(MainFrameWindow, OutputLogTakesNoTyping)
{
    COutputEdit* edit = frame->outputBar()->edit();
    const QString before = edit->toPlainText();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->toPlainText(), before);
    EXPECT_EQ(edit->contextMenuPolicy(), Qt::NoContextMenu);
    frame->AppendText("line 1\r\n");
    EXPECT_EQ(edit->toPlainText(), before + QStringLiteral("line 1\n"));
    frame->ClearText();
    EXPECT_TRUE(edit->toPlainText().isEmpty());
}

} // namespace
} // namespace qv::test

namespace qv::test {
namespace {

// Closing one document window leaves the others maximised: whichever is on top fills the
// document area and names the frame's caption.
TEST_F(MainFrameWindow, ClosingOneWindowKeepsTheOthersMaximised)
{
    open("project.hmi", true);
    open("a.drw");
    open("b.drw");
    ASSERT_TRUE(waitFor([&] { return frame->ActiveDocumentWindow() == frame->FindDocumentWindow("b.drw"); }));
    QPointer<CSplitFrame> closing = frame->FindDocumentWindow("b.drw");
    frame->RemoveDocumentWindow(closing->info().document);
    // The running program's loop deletes the closed window; here that is done by hand.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(closing.isNull());
    QCoreApplication::processEvents(); // what the frame does once the window is gone
    // Each of the two left, brought to the top in turn, is maximised and names the caption.
    std::set<std::string> seen;
    for (int round = 0; round < 2; ++round) {
        CSplitFrame* active = frame->ActiveDocumentWindow();
        ASSERT_NE(active, nullptr);
        seen.insert(active->info().title);
        EXPECT_TRUE(active->isMaximized()) << active->info().title;
        EXPECT_EQ(active->geometry(), frame->mdiArea()->viewport()->rect()) << active->info().title;
        EXPECT_TRUE(frame->windowTitle().contains(toQString(active->info().title)))
            << frame->windowTitle().toStdString() << " with " << active->info().title << " on top";
        frame->mdiArea()->activateNextSubWindow();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(seen, (std::set<std::string>{"project.hmi", "a.drw"}));
}

// The layout menu keeps the two centring commands under their parent item.
TEST_F(MainFrameWindow, LayoutMenuCentresUnderTheirParent)
{
    open("a.drw");
    QMenu* layout = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == u(u8"布局(&L)"))
            layout = a->menu();
    ASSERT_NE(layout, nullptr);
    QMenu* centre = nullptr;
    QStringList topLevel;
    for (QAction* a : layout->actions()) {
        topLevel << a->text();
        if (a->menu() != nullptr && a->text() == u(u8"居中于窗口"))
            centre = a->menu();
    }
    EXPECT_FALSE(topLevel.contains(u(u8"水平")));
    EXPECT_FALSE(topLevel.contains(u(u8"垂直")));
    ASSERT_NE(centre, nullptr) << topLevel.join(QLatin1Char(',')).toStdString();
    ASSERT_EQ(centre->actions().size(), 2);
    EXPECT_EQ(centre->actions()[0], frame->commands().action(cmd::CentreInWindowH));
    EXPECT_EQ(centre->actions()[1], frame->commands().action(cmd::CentreInWindowV));
    EXPECT_EQ(centre->actions()[0]->text(), u(u8"水平"));
}

} // namespace
} // namespace qv::test
