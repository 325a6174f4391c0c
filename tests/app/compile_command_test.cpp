// The compile command on the real main window and a small project: the confirm dialog
// answered with real clicks, the worker on its own thread, its lines in the output bar, the
// close box refused while it runs, the abort command, and Cancel starting nothing. And a
// new user's first compile: every control drawn with its tool on a screen of the shipped
// sample project (the numeric input box on its keypad, the one place its tool is offered),
// saved and compiled through the commands, the image read back by a reader that knows only
// the image's layout.
#include "app/commands/menu_layout.h"
#include "app/compile/compile_runner.h"
#include "app/mainframe/docking_bars.h"
#include "app/shell/main_frame_setup.h"
#include "app/drawing_tools/tool_shapes.h"
#include "app/view/draw_view.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"
#include "model/document/draw_doc.h"
#include "model/vars/hmi_vars.h"
#include "platform/text/gbk.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/small_project.h"
#include "tests/compiler/image_reader.h"
#include "tests/fixtures/temp_dir.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

namespace qv::test {
namespace {

namespace fs = std::filesystem;
using cmd::Owner;

// Keeps the worker inside the compile (before the first window) until the test opens it.
class GatedScreenCompiler : public compile::ScreenCompiler {
public:
    void compileCursors(compile::CompileContext&) override
    {
        entered = true;
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return open_; });
    }
    void compileWindow(compile::CompileContext&, const compile::WindowSource&, compile::WindowKind) override {}
    void open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        cv_.notify_all();
    }

    std::atomic<bool> entered{false};

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool open_ = false;
};

// Prompts that also note whether each message was shown on the GUI thread.
class ThreadNotingPrompts : public ScriptedPrompts {
public:
    void ShowMessage(std::string_view textGbk, Icon icon) override
    {
        onGuiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
        ScriptedPrompts::ShowMessage(textGbk, icon);
    }
    std::vector<bool> onGuiThread;
};

QString utf8(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

class CompileCommand : public EditorWindowFixture<ThreadNotingPrompts> {
protected:
    CompileCommand()
    {
        for (const char* support : {"UsbDisk", "SDCard", "FDisk", "MC8051"})
            fs::create_directories(dir.path() / "images" / support);
        showMainWindow(1024, 700);
        runner = frame->findChild<CCompileRunner*>();
        MC8051StopRequest = 0;
    }
    ~CompileCommand() override
    {
        gate.open();
        if (runner)
            runner->WaitForWorker();
        closeMainWindow();
    }

    void openProject()
    {
        const fs::path hmi = writeSmallProject(dir.path());
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(app->OpenProjectFile(hmi));
        frame->DrainReports();
    }

    fs::path image() const { return dir.path() / "demo" / "NandFlash" / "NandFlash.Zip"; }

    // Answers the next compile-confirm dialog with a click on `button`, after `edit` (if any)
    // has changed its fields.
    void answerConfirm(QDialogButtonBox::StandardButton button, std::function<void(CDlgCompileConfirm&)> edit = {})
    {
        auto* timer = new QTimer(frame.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, button, edit] {
            CDlgCompileConfirm* dialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<CDlgCompileConfirm*>(w); d && d->isVisible())
                    dialog = d;
            if (dialog == nullptr)
                return;
            timer->stop();
            timer->deleteLater();
            ++dialogsAnswered;
            if (edit)
                edit(*dialog);
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(button), Qt::LeftButton);
        });
        timer->start();
    }

    bool triggerCompile()
    {
        frame->RefreshCommands();
        return frame->commands().trigger(cmd::CompileProject);
    }

    // What the close box would do now (the window stays open either way).
    bool closeAccepted()
    {
        QCloseEvent event;
        QApplication::sendEvent(frame.get(), &event);
        return event.isAccepted();
    }

    bool enabled(cmd::CommandKey key)
    {
        frame->RefreshCommands();
        return frame->commands().action(key)->isEnabled();
    }

    QString output() const { return frame->outputBar()->text(); }
    bool outputHas(const char8_t* line) const { return output().contains(utf8(line)); }

    CCompileRunner* runner = nullptr;
    GatedScreenCompiler gate;
    int dialogsAnswered = 0;
};

TEST_F(CompileCommand, OkCompilesTheProjectWhileTheCloseBoxIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(openProject());
    ASSERT_NE(runner, nullptr);
    runner->SetScreenCompiler(&gate);
    CDrawDoc* project = app->ProjectDoc();
    ASSERT_EQ(project->SettingI32(compile::opt::BuzzerCoefficient), 0);

    // The stored coefficient 0 is offered as 15; the FLASH size is changed in the dialog.
    int offeredBuzzer = 0;
    answerConfirm(QDialogButtonBox::Ok, [&](CDlgCompileConfirm& d) {
        offeredBuzzer = d.buzzerSpin()->value();
        d.flashSizeCombo()->setCurrentIndex(1);
    });
    ASSERT_TRUE(triggerCompile());
    EXPECT_EQ(dialogsAnswered, 1);
    EXPECT_EQ(offeredBuzzer, 15);
    ASSERT_EQ(runner->LastStart(), compile::CompileStart::Started);
    EXPECT_EQ(MC8051StopRequest.load(), 1);
    EXPECT_EQ(frame->ActiveDocumentWindow(), frame->ProjectDocumentWindow());

    // While the worker runs: busy, close refused, compile greyed, abort offered.
    ASSERT_TRUE(waitFor([&] { return gate.entered.load(); }));
    EXPECT_EQ(app->m_bCompiling.load(), 1);
    ASSERT_TRUE(waitFor([&] { return outputHas(u8"启动编译器编译工程"); }));
    EXPECT_FALSE(closeAccepted());
    EXPECT_FALSE(enabled(cmd::CompileProject));
    EXPECT_TRUE(enabled(cmd::AbortCompile));
    EXPECT_FALSE(fs::exists(image()));

    gate.open();
    ASSERT_TRUE(waitFor([&] { return app->m_bCompiling.load() == 0 && outputHas(u8"编译工程成功"); }));
    runner->WaitForWorker();
    ASSERT_TRUE(waitFor([&] { return closeAccepted(); })) << "the close box comes back after the compile";
    EXPECT_TRUE(enabled(cmd::CompileProject));
    EXPECT_FALSE(enabled(cmd::AbortCompile));

    // The image: header area plus the appended blocks, three windows in its table.
    ASSERT_TRUE(fs::exists(image()));
    EXPECT_GE(fs::file_size(image()), 0x200000u);
    std::ifstream in(image(), std::ios::binary);
    unsigned char count[2] = {};
    in.seekg(0x22);
    in.read(reinterpret_cast<char*>(count), 2);
    EXPECT_EQ(count[0] | (count[1] << 8), 3);
    std::vector<fs::path> left;
    for (const auto& e : fs::directory_iterator(image().parent_path()))
        left.push_back(e.path().filename());
    EXPECT_EQ(left, std::vector<fs::path>{"NandFlash.Zip"}) << "no staged file stays beside the image";

    // The log, once per compile, banner first.
    const QString text = output();
    const QString banner = CMainFrame::BannerLine().trimmed();
    EXPECT_EQ(text.count(banner), 1) << text.toStdString();
    EXPECT_TRUE(text.startsWith(banner)) << text.toStdString();
    const char8_t* lines[] = {u8"启动编译器编译工程", u8"编译文件win0.drw", u8"编译文件win1.drw",
                              u8"编译文件sub0.dlg", u8"链接生成NandFlash.Zip", u8"编译工程成功(编译时间:0分"};
    qsizetype at = 0;
    for (const char8_t* line : lines) {
        const qsizetype found = text.indexOf(utf8(line), at);
        EXPECT_GE(found, at) << reinterpret_cast<const char*>(line) << " in order";
        at = std::max(at, found);
    }

    // The confirmed options went into the project and were saved with it.
    EXPECT_EQ(project->m_ProjectSettings[compile::opt::FlashSizeCode], 1);
    EXPECT_EQ(project->SettingI32(compile::opt::BuzzerCoefficient), 15);
    EXPECT_FALSE(project->IsModified());
    CDrawDoc reloaded;
    DocumentError error;
    ASSERT_TRUE(reloaded.OnOpenDocument(dir.path() / "demo" / "demo.hmi", &error)) << error.messageGbk;
    EXPECT_EQ(reloaded.m_ProjectSettings[compile::opt::FlashSizeCode], 1);
    EXPECT_EQ(reloaded.SettingI32(compile::opt::BuzzerCoefficient), 15);
}

TEST_F(CompileCommand, CancelStartsNothing)
{
    ASSERT_NO_FATAL_FAILURE(openProject());
    const auto settingsBefore = app->ProjectDoc()->m_ProjectSettings;
    const QString outputBefore = output();

    answerConfirm(QDialogButtonBox::Cancel, [](CDlgCompileConfirm& d) { d.flashSizeCombo()->setCurrentIndex(2); });
    ASSERT_TRUE(triggerCompile());
    EXPECT_EQ(dialogsAnswered, 1);
    EXPECT_EQ(runner->LastStart(), compile::CompileStart::Cancelled);
    // Had a worker started, it ends here and its reports wait in the queue: drain them all.
    runner->WaitForWorker();
    QCoreApplication::processEvents();
    frame->DrainReports();
    EXPECT_EQ(app->m_bCompiling.load(), 0);
    EXPECT_EQ(MC8051StopRequest.load(), 0);
    EXPECT_FALSE(fs::exists(image().parent_path()));
    EXPECT_EQ(output().toStdString(), outputBefore.toStdString());
    EXPECT_EQ(app->ProjectDoc()->m_ProjectSettings, settingsBefore);
    EXPECT_FALSE(app->ProjectDoc()->IsModified());
}

// A first compile leaves an image; the second is aborted through the menu command: its
// image is gone, the log says so and the message box shows on the GUI thread.
TEST_F(CompileCommand, AbortCommandEndsTheCompileAndLeavesNoImage)
{
    ASSERT_NO_FATAL_FAILURE(openProject());
    answerConfirm(QDialogButtonBox::Ok);
    ASSERT_TRUE(triggerCompile());
    ASSERT_TRUE(waitFor([&] { return app->m_bCompiling.load() == 0 && outputHas(u8"编译工程成功"); }));
    runner->WaitForWorker();
    ASSERT_TRUE(fs::exists(image()));

    runner->SetScreenCompiler(&gate);
    answerConfirm(QDialogButtonBox::Ok);
    ASSERT_TRUE(triggerCompile());
    ASSERT_TRUE(waitFor([&] { return gate.entered.load(); }));
    // The clear reaches the bar through the report queue, so it may land after the gate.
    EXPECT_TRUE(waitFor([&] { return !outputHas(u8"编译工程成功"); }))
        << "the output bar was cleared for the new compile";
    ASSERT_TRUE(frame->commands().trigger(cmd::AbortCompile));
    EXPECT_EQ(app->m_bAbort.load(), 1);
    gate.open();
    ASSERT_TRUE(waitFor([&] { return !prompts.messages.empty(); }));
    runner->WaitForWorker();

    EXPECT_EQ(app->m_bCompiling.load(), 0);
    EXPECT_TRUE(outputHas(u8"用户执行取消编译!!!"));
    EXPECT_EQ(output().count(CMainFrame::BannerLine().trimmed()), 1);
    ASSERT_EQ(prompts.messages, std::vector<std::string>{"取消编译成功!!!"});
    EXPECT_EQ(prompts.onGuiThread, std::vector<bool>{true});
    EXPECT_FALSE(fs::exists(image()));
    ASSERT_TRUE(waitFor([&] { return closeAccepted(); }));
}

TEST_F(CompileCommand, WithoutAProjectTheCommandSaysSoAndShowsNoDialog)
{
    answerConfirm(QDialogButtonBox::Ok);
    ASSERT_TRUE(triggerCompile());
    EXPECT_EQ(runner->LastStart(), compile::CompileStart::NoProject);
    EXPECT_EQ(dialogsAnswered, 0);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"没有打开的工程，不能编译"});
    EXPECT_EQ(app->m_bCompiling.load(), 0);
}

// The item type each control tool's control compiles to (0 for what the panel gets no item
// of: the table is drawn on the window's picture) and the window it is drawn on: the numeric
// input tool is offered in the keypad windows only, so its box goes on the sample's keypad.
struct ToolItem {
    int command;
    std::uint8_t itemType;
    const char8_t* window;
};
constexpr const char8_t* kScreen = u8"win0.drw";
constexpr const char8_t* kKeypad = u8"数字键盘.dlg";
constexpr ToolItem kToolItems[] = {
    {cmd::ToolButton.key.id, 2, kScreen},
    {cmd::ToolDynamicPicture.key.id, 4, kScreen},
    {cmd::ToolNumber.key.id, 3, kScreen},
    {cmd::ToolNumericInput.key.id, 5, kKeypad},
    {cmd::ToolCurve.key.id, 6, kScreen},
    {cmd::ToolLight.key.id, 8, kScreen},
    {cmd::ToolBitSwitch.key.id, 9, kScreen},
    {cmd::ToolRadio.key.id, 10, kScreen},
    {cmd::ToolProgress.key.id, 7, kScreen},
    {cmd::ToolTable.key.id, 0, kScreen},
    {cmd::ToolCharacter.key.id, 13, kScreen},
    {cmd::ToolArea.key.id, 12, kScreen},
};

std::uint32_t le(const std::string& s, std::size_t at, int width)
{
    std::uint32_t v = 0;
    for (int i = 0; i < width; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(s.at(at + i))) << (8 * i);
    return v;
}

// The image's window table holds the screens, then the sub-windows, each in the project's
// order.
int imageWindowIndex(const CDrawDoc& project, const std::string& nameGbk)
{
    int index = 0;
    for (const ObjectList* list : {&project.m_screenNames, &project.m_subWindowNames})
        for (const auto& entry : *list) {
            if (entry->m_strName == nameGbk)
                return index;
            ++index;
        }
    return -1;
}

TEST_F(CompileCommand, EveryControlDrawnOnTheSampleProjectCompilesToAnImageThatReadsClean)
{
    // The program's base folder as shipped (the tools copy their default pictures from it),
    // with the sample project copied beside it.
    const fs::path base = sourceDir() / "base";
    fs::copy(base / "images", dir.path() / "images", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const fs::path sample = dir.path() / "sample";
    fs::copy(base / fs::path(u8"例子") / fs::path(u8"示例工程"), sample, fs::copy_options::recursive);
    ASSERT_TRUE(app->OpenProjectFile(sample / fs::path(u8"示例工程.hmi")));
    frame->DrainReports();
    // Room for the whole screen in the view, so no drag scrolls it.
    frame->resize(1800, 1400);

    // Each control is dragged out with its tool, picked through the command the controls
    // bar and menu send, on its window: in a free band of the screen, over the keypad's entry
    // box on the keypad.
    struct Drawn {
        std::string window;
        const CDrawObj* control;
        std::uint8_t itemType;
        Rect rect;
        Point margins;
    };
    std::vector<Drawn> drawn;
    std::map<std::string, int> placed;   // controls drawn so far per window
    std::map<std::string, CDrawDoc*> docs;
    for (const ToolItem& t : kToolItems) {
        SCOPED_TRACE(t.command);
        // Titles and the project's window names are GBK.
        const std::string windowName = utf8ToGbk(reinterpret_cast<const char*>(t.window)).value_or(std::string());
        CSplitFrame* window = frame->FindDocumentWindow(windowName);
        ASSERT_NE(window, nullptr) << reinterpret_cast<const char*>(t.window);
        frame->ActivateDocumentWindow(window);
        auto* view = dynamic_cast<CDrawView*>(window->widget());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->viewport()));
        ASSERT_TRUE(waitFor([&] { return view->IsActive(); }));
        CDrawDoc* doc = view->GetDocument();
        const std::size_t before = doc->m_objects.size();
        docs[windowName] = doc;

        frame->RefreshCommands();
        ASSERT_TRUE(frame->commands().trigger({Owner::View, t.command}));
        const int c = placed[windowName]++;
        const Point corner{doc->m_nMarginX + doc->m_ptWindowOrigin.x, doc->m_nMarginY + doc->m_ptWindowOrigin.y};
        const Point band = t.window == kKeypad ? Point{12, 12} : Point{20, 250};
        const Point from{corner.x + band.x + (c % 4) * 120, corner.y + band.y + (c / 4) * 75};
        const Point to{from.x + 100, from.y + 60};
        const qreal dpr = view->devicePixelRatioF();
        const auto client = [&](Point docPoint) {
            const Point p = view->DocToClientPoint(docPoint);
            return QPoint(int(p.x / dpr), int(p.y / dpr));
        };
        QWidget* port = view->viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, client(from));
        QTest::mouseMove(port, client({from.x + 50, from.y + 30}));
        QTest::mouseMove(port, client(to));
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, client(to));
        ASSERT_EQ(doc->m_objects.size(), before + 1);
        const CDrawObj* made = doc->m_objects.back().get();
        EXPECT_EQ(made->Kind(), toolShapeByCommand(t.command)->kind);
        drawn.push_back({windowName, made, t.itemType, made->m_rcPosition.normalized(), {doc->m_nMarginX, doc->m_nMarginY}});
    }
    for (const auto& [name, doc] : docs)
        ASSERT_TRUE(doc->IsModified()) << gbkToUtf8Lossy(name);

    // Saved with the project's save command, then compiled through the menu.
    frame->RefreshCommands();
    ASSERT_TRUE(frame->commands().trigger(cmd::ProjectSave));
    for (const auto& [name, doc] : docs)
        EXPECT_FALSE(doc->IsModified()) << gbkToUtf8Lossy(name);
    answerConfirm(QDialogButtonBox::Ok);
    ASSERT_TRUE(triggerCompile());
    ASSERT_EQ(runner->LastStart(), compile::CompileStart::Started);
    ASSERT_TRUE(waitFor([&] { return app->m_bCompiling.load() == 0; }, 120000));
    runner->WaitForWorker();
    frame->DrainReports();
    ASSERT_TRUE(outputHas(u8"编译工程成功")) << output().toStdString();
    EXPECT_EQ(prompts.messages, std::vector<std::string>{}) << "no box interrupts a new user's first compile";

    std::ifstream in(sample / "NandFlash" / "NandFlash.Zip", std::ios::binary);
    ASSERT_TRUE(in.good());
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const ReadImage read = readImage(bytes);
    ASSERT_EQ(read.error, "");

    // Each drawn control is an item of its type at its place on the panel, in its window's
    // record.
    for (const Drawn& d : drawn) {
        SCOPED_TRACE(d.control->Kind());
        if (d.itemType == 0)
            continue;
        const int windowIndex = imageWindowIndex(*app->ProjectDoc(), d.window);
        ASSERT_GE(windowIndex, 0) << gbkToUtf8Lossy(d.window);
        ASSERT_LT(static_cast<std::size_t>(windowIndex), read.windows.size());
        const ReadWindow& record = read.windows[static_cast<std::size_t>(windowIndex)];
        const std::uint32_t x = d.rect.left - d.margins.x, y = d.rect.top - d.margins.y;
        const ReadItem* found = nullptr;
        for (const ReadItem& i : record.items)
            if (i.type == d.itemType && le(bytes, i.offset + 4, 2) == x && le(bytes, i.offset + 6, 2) == y)
                found = &i;
        ASSERT_NE(found, nullptr) << "no item of type " << int(d.itemType) << " at " << x << "," << y;
        EXPECT_EQ(le(bytes, found->offset + 8, 2), std::uint32_t(d.rect.right - d.rect.left));
        EXPECT_EQ(le(bytes, found->offset + 10, 2), std::uint32_t(d.rect.bottom - d.rect.top));
        if (d.itemType == 4) {
            // The dynamic picture's frame number comes from the variable its tool bound it
            // to, looked up in the project's table.
            std::int32_t address = -1;
            std::uint8_t type = 0;
            GetVariableAddress(*app, d.control->ParamI32(64), address, type);
            ASSERT_GE(address, 0);
            EXPECT_EQ(le(bytes, found->offset + 20, 4), std::uint32_t(address));
            EXPECT_EQ(le(bytes, found->offset + 16, 2), 6u) << "the tool's six default frames";
            EXPECT_EQ(found->pictures.size(), 6u);
        }
    }
}

} // namespace
} // namespace qv::test
