#include "compiler/project/app_compile_input.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/atomic_file.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"

#include <future>
#include <gtest/gtest.h>

namespace qv::test {
namespace {

// A new project (its 16 system variables) with two open screens and one sub-window that the
// project lists but that is not open.
class AppProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<CEditorApp>(dir.path());
        app->InitDocTemplates();
        app->m_strProjectDir = dir.path();
        app->m_nResWidth = 1024;
        app->m_nResHeight = 600;
        project = app->m_pProjectTemplate->OpenNewDocument("p");
        project->m_bIsProjectDoc = 1;
        project->InitSystemVariables();
        for (const char* name : {"主画面.drw", "系统设置.drw"}) {
            app->m_pWindowTemplate->OpenNewDocument(name);
            project->m_screenNames.push_back(nameEntry(name));
        }
        project->m_subWindowNames.push_back(nameEntry("数字键盘.dlg"));
    }

    static std::unique_ptr<CDrawObj> nameEntry(const char* fileName)
    {
        auto entry = std::make_unique<CDrawObj>();
        entry->m_strName = fileName;
        return entry;
    }

    TempDir dir;
    std::unique_ptr<CEditorApp> app;
    CDrawDoc* project = nullptr;
};

TEST_F(AppProject, SnapshotTakesTheListsSettingsAndSystemVariables)
{
    project->m_ProjectSettings[70] = 1;
    project->m_serial[4] = 57600;
    auto in = compile::takeCompileInput(*app);
    ASSERT_TRUE(in.has_value());
    ASSERT_EQ(in->screens.size(), 2u);
    EXPECT_EQ(in->screens[1].fileName, "系统设置.drw");
    EXPECT_TRUE(in->screens[1].documentOpen);
    ASSERT_EQ(in->subWindows.size(), 1u);
    EXPECT_FALSE(in->subWindows[0].documentOpen);
    EXPECT_EQ(in->settings[70], 1);
    EXPECT_EQ(in->serialParameters[4], 57600);
    EXPECT_EQ(in->width, 1024);
    EXPECT_EQ(in->height, 600);
    EXPECT_EQ(in->variableExtent, static_cast<std::uint32_t>(GetVariableMemorySize(*app) / 2));
    EXPECT_EQ(in->variableMemory.size(), 0x10000u);
    for (int i = 0; i < 16; ++i) {
        std::int32_t address = -2;
        std::uint8_t type = 0;
        GetVariableAddress(*app, project->SettingI32(4 + 4 * i), address, type);
        EXPECT_EQ(in->systemVariableAddresses[i], address) << i;
        EXPECT_GE(address, 0);
    }
}

TEST_F(AppProject, AMissingWindowDocumentFailsTheCompileByNameUntilItIsOpen)
{
    CompileFixture f;
    f.input = *compile::takeCompileInput(*app);
    EXPECT_FALSE(f.compile().ok);
    EXPECT_NE(f.takeLog().find("找不到窗口文件数字键盘.dlg，编译工程失败\r\n"), std::string::npos);

    app->m_pWindowTemplate->OpenNewDocument("数字键盘.dlg");
    f.input = *compile::takeCompileInput(*app);
    ASSERT_TRUE(f.compile().ok) << f.takeLog();
    std::string image;
    ASSERT_TRUE(readWholeFile(dir.path() / "NandFlash" / "NandFlash.Zip", image));
    EXPECT_EQ(walkImage(image).error, "");
    EXPECT_EQ(walkImage(image).windowCount, 3);
    EXPECT_EQ(startMapU8(image, 0x070), 0);
    EXPECT_EQ(startMapU8(image, 0x071), 1);
    EXPECT_EQ(startMapU16(image, 0x03C), 1024);
}

// Reads each window only from the snapshot's copy, as the window compiler does. After the
// first window it lets the test edit the live documents, then goes on.
class CopyReadingCompiler : public compile::ScreenCompiler {
public:
    void compileCursors(compile::CompileContext& ctx) override
    {
        CDrawDoc copy;
        projectLoaded = copy.LoadFromBytes(ctx.input().projectBytes, "p.hmi", nullptr);
    }
    void compileWindow(compile::CompileContext&, const compile::WindowSource& w, compile::WindowKind) override
    {
        CDrawDoc copy;
        objects.push_back(copy.LoadFromBytes(w.storedBytes, w.fileName, nullptr)
                              ? static_cast<int>(copy.m_objects.size()) : -1);
        if (objects.size() == 1) {
            firstDone.set_value();
            edited.get_future().wait();
        }
    }

    bool projectLoaded = false;
    std::vector<int> objects;
    std::promise<void> firstDone;
    std::promise<void> edited;
};

TEST_F(AppProject, TheWorkerCompilesCopiesTakenAtTheStartWhileTheUserEdits)
{
    app->m_pWindowTemplate->OpenNewDocument("数字键盘.dlg");
    for (const char* name : {"主画面.drw", "系统设置.drw", "数字键盘.dlg"})
        app->FindDocByTitle(name)->AddObject(std::make_unique<CDrawRect>(Rect{40, 40, 90, 90}));
    auto in = compile::takeCompileInput(*app);
    ASSERT_TRUE(in.has_value());
    for (const auto* list : {&in->screens, &in->subWindows})
        for (const compile::WindowSource& w : *list) {
            CDrawDoc reloaded;
            ASSERT_TRUE(reloaded.LoadFromBytes(w.storedBytes, w.fileName, nullptr)) << w.fileName;
            EXPECT_EQ(reloaded.SerializeToBytes(), w.storedBytes) << "the copy is the stored form";
        }

    CompileFixture f;
    f.input = std::move(*in);
    CopyReadingCompiler screens;
    f.services.screens = &screens;
    compile::CompileThread thread;
    ASSERT_TRUE(thread.start(f.input, f.services));
    screens.firstDone.get_future().wait();
    // The user goes on editing while the worker runs: more objects here, fewer there.
    app->FindDocByTitle("系统设置.drw")->AddObject(std::make_unique<CDrawRect>(Rect{1, 1, 9, 9}));
    CDrawDoc* pad = app->FindDocByTitle("数字键盘.dlg");
    pad->RemoveObject(pad->m_objects.front().get());
    screens.edited.set_value();
    thread.join();

    ASSERT_TRUE(thread.outcome().has_value());
    EXPECT_TRUE(thread.outcome()->ok) << f.takeLog();
    EXPECT_TRUE(screens.projectLoaded);
    EXPECT_EQ(screens.objects, (std::vector<int>{1, 1, 1})) << "the windows as they were when the compile began";
}

} // namespace
} // namespace qv::test
