#pragma once
// A base folder with the pictures the tree copies, a saved project opened through the real
// open sequence, the tree model following the application, and scripted dialogs, host and
// prompts. `expectInStep` checks that the tree, the project document's lists, the project
// file on disk, the "window" folder and the open documents all agree.
#include "model/app/editor_app.h"
#include "model/tree/project_tree_commands.h"
#include "platform/files/atomic_file.h"
#include "platform/text/gbk.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qv::test {

namespace fs = std::filesystem;

// A GBK name as a host path part.
inline fs::path hostName(std::string_view gbk) { return fs::path(gbkToUtf8(gbk).value()); }

class TreePrompts : public UiPrompts {
public:
    void ShowMessage(std::string_view textGbk, Icon) override { messages.emplace_back(textGbk); }
    bool AskYesNo(std::string_view) override { return false; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
    std::vector<std::string> messages;
};

class ScriptedDialogs : public WindowDialogs {
public:
    using ScreenStep = std::function<bool(ScreenDialogValues&)>;
    using SubStep = std::function<bool(SubWindowDialogValues&)>;

    bool EditScreen(ScreenDialogValues& v) override
    {
        screenSeen.push_back(v);
        if (screen.empty())
            return false;
        const ScreenStep step = screen.front();
        screen.pop_front();
        return step(v);
    }
    bool EditSubWindow(SubWindowDialogValues& v) override
    {
        subSeen.push_back(v);
        if (sub.empty())
            return false;
        const SubStep step = sub.front();
        sub.pop_front();
        return step(v);
    }
    std::optional<fs::path> ChooseWindowFile(WindowKind kind) override
    {
        fileKinds.push_back(kind);
        if (files.empty())
            return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }

    // Steps that type a name and press OK.
    static ScreenStep screenNamed(std::string gbk)
    {
        return [gbk](ScreenDialogValues& v) { v.name = gbk; return true; };
    }
    static SubStep subNamed(std::string gbk, unsigned w, unsigned h, unsigned x, unsigned y, bool centred)
    {
        return [=](SubWindowDialogValues& v) {
            v.name = gbk;
            v.width = w;
            v.height = h;
            v.x = x;
            v.y = y;
            v.centred = centred ? 1 : 0;
            return true;
        };
    }

    std::deque<ScreenStep> screen;
    std::deque<SubStep> sub;
    std::deque<std::optional<fs::path>> files;
    std::vector<ScreenDialogValues> screenSeen;
    std::vector<SubWindowDialogValues> subSeen;
    std::vector<WindowKind> fileKinds;
};

class RecordingTreeHost : public ProjectTreeHost {
public:
    void ActivateDocument(CDrawDoc& doc) override { activated.push_back(doc.GetTitle()); }
    bool FocusViewIsRunMode() const override { return runMode; }
    void ProjectProperties() override { ++projectProperties; }
    std::vector<std::string> activated;
    bool runMode = false;
    int projectProperties = 0;
};

// Writes `bytes`, making the folders on the way.
inline bool writeFile(const fs::path& file, std::string_view bytes)
{
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    return writeFileAtomically(file, bytes);
}

// Saves a window document of the given size and origin with `objects` rectangles.
inline void saveWindowFile(const fs::path& file, int width, int height, Point origin = {}, int objects = 0)
{
    fs::create_directories(file.parent_path());
    CDrawDoc doc;
    doc.m_nWindowWidth = width;
    doc.m_nWindowHeight = height;
    doc.m_ptWindowOrigin = origin;
    for (int i = 0; i < objects; ++i)
        doc.AddObject(std::make_unique<CDrawRect>(Rect{50 + 10 * i, 50, 90 + 10 * i, 80}));
    DocumentError error;
    ASSERT_TRUE(doc.OnSaveDocument(file, &error)) << error.messageGbk;
}

class TreeFixture : public ::testing::Test {
protected:
    TreeFixture()
    {
        fs::create_directories(base() / "images" / "sys");
        EXPECT_TRUE(writeFile(base() / "images" / "sys" / "Dialog.bmp", "dialog face"));
    }

    ~TreeFixture() override
    {
        commands.reset();
        model.reset();
        app.reset();
    }

    const fs::path& base() const { return dir_.path(); }
    fs::path projectDir() const { return base() / "demo"; }
    fs::path windowDir() const { return projectDir() / "window"; }

    // Saves "demo/demo.hmi" (800 x 480 unless told) with one file per window.
    fs::path makeProject(const std::vector<std::string>& screens, const std::vector<std::string>& subs, int width = 800,
                         int height = 480)
    {
        CDrawDoc project;
        project.m_nWindowWidth = width;
        project.m_nWindowHeight = height;
        for (const auto& s : screens) {
            project.m_screenNames.push_back(std::make_unique<CDrawObj>(s));
            saveWindowFile(windowDir() / hostName(s), width, height);
        }
        for (const auto& s : subs) {
            project.m_subWindowNames.push_back(std::make_unique<CDrawObj>(s));
            saveWindowFile(windowDir() / hostName(s), width / 2, height / 2, {width / 4, height / 4});
        }
        const fs::path file = projectDir() / "demo.hmi";
        DocumentError error;
        EXPECT_TRUE(project.OnSaveDocument(file, &error)) << error.messageGbk;
        return file;
    }

    void openProject(const fs::path& hmi)
    {
        app = std::make_unique<CEditorApp>(base());
        app->SetPrompt(&prompts);
        app->InitDocTemplates();
        model = std::make_unique<ProjectTreeModel>(app.get());
        commands = std::make_unique<ProjectTreeCommands>(*app, *model, dialogs, host);
        ASSERT_TRUE(app->OpenProjectFile(hmi));
        prompts.messages.clear();
    }

    // Opens a project with these windows.
    void openWith(const std::vector<std::string>& screens, const std::vector<std::string>& subs = {})
    {
        openProject(makeProject(screens, subs));
    }

    std::vector<std::string> itemTexts(WindowKind kind) const
    {
        std::vector<std::string> out;
        const TreeItemKind k = kind == WindowKind::Screen ? TreeItemKind::Screen : TreeItemKind::SubWindow;
        for (int i = 0; i < static_cast<int>(tm().Windows(kind).size()); ++i)
            out.push_back(tm().ItemText({k, i}));
        return out;
    }

    static std::vector<std::string> namesOf(const ObjectList& list)
    {
        std::vector<std::string> out;
        for (const auto& e : list)
            out.push_back(e->m_strName);
        return out;
    }

    std::vector<std::string> windowFiles() const
    {
        std::vector<std::string> out;
        std::error_code ec;
        for (fs::directory_iterator it(windowDir(), ec), end; !ec && it != end; it.increment(ec))
            out.push_back(utf8ToGbk(it->path().filename().string()).value());
        std::sort(out.begin(), out.end());
        return out;
    }

    std::vector<std::string> openTitles() const
    {
        std::vector<std::string> out;
        for (const auto& d : app->m_pWindowTemplate->Documents())
            out.push_back(d->GetTitle());
        return out;
    }

    bool isOpen(const std::string& title) const
    {
        const auto t = openTitles();
        return std::find(t.begin(), t.end(), title) != t.end();
    }

    void select(WindowKind kind, const std::string& name)
    {
        const int i = tm().FindWindow(kind, name);
        ASSERT_GE(i, 0) << gbkToUtf8Lossy(name);
        tm().Select({kind == WindowKind::Screen ? TreeItemKind::Screen : TreeItemKind::SubWindow, i});
    }

    // Tree, project document, project file, window folder and open documents agree.
    void expectInStep()
    {
        CDrawDoc* project = app->ProjectDoc();
        ASSERT_NE(project, nullptr);
        EXPECT_EQ(tm().Windows(WindowKind::Screen), namesOf(project->m_screenNames));
        EXPECT_EQ(tm().Windows(WindowKind::SubWindow), namesOf(project->m_subWindowNames));
        CDrawDoc saved;
        DocumentError error;
        ASSERT_TRUE(saved.OnOpenDocument(projectDir() / "demo.hmi", &error)) << error.messageGbk;
        EXPECT_EQ(namesOf(saved.m_screenNames), namesOf(project->m_screenNames));
        EXPECT_EQ(namesOf(saved.m_subWindowNames), namesOf(project->m_subWindowNames));
        const auto files = windowFiles();
        for (WindowKind kind : {WindowKind::Screen, WindowKind::SubWindow})
            for (const std::string& name : tm().Windows(kind)) {
                EXPECT_TRUE(std::find(files.begin(), files.end(), name) != files.end()) << gbkToUtf8Lossy(name);
                EXPECT_TRUE(isOpen(name)) << gbkToUtf8Lossy(name);
            }
    }

    // The tree content the checks read: the widget's when a test shows one, else `model`.
    ProjectTreeModel& tm() const { return shown ? *shown : *model; }

    ProjectTreeModel* shown = nullptr;
    TreePrompts prompts;
    ScriptedDialogs dialogs;
    RecordingTreeHost host;
    std::unique_ptr<CEditorApp> app;
    std::unique_ptr<ProjectTreeModel> model;
    std::unique_ptr<ProjectTreeCommands> commands;

private:
    TempDir dir_;
};

} // namespace qv::test
