#pragma once
// A base folder with "images" and its support folders, an application on it, prompts that
// record every message and project dialogs whose answers the test scripts.
#include "model/app/editor_app.h"
#include "model/params/block_bytes.h"
#include "model/params/var_refs.h"
#include "model/project/project_dialogs.h"
#include "platform/files/atomic_file.h"
#include "platform/text/gbk.h"
#include "tests/app/scripted_prompts.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace qv::test {

namespace fs = std::filesystem;

class ScriptedProjectDialogs : public ProjectDialogs {
public:
    std::optional<NewProjectChoice> NewProject(const fs::path& preset) override
    {
        presetLocations.push_back(preset);
        return take(newProjects);
    }
    std::optional<fs::path> ChooseProjectFile() override { return take(files); }
    std::optional<fs::path> ChooseFolder(std::string_view title) override
    {
        folderTitles.emplace_back(title);
        return take(folders);
    }
    SaveChoice AskSaveProject() override
    {
        ++saveQuestions;
        return take(saveChoices).value_or(Cancel);
    }

    std::deque<std::optional<NewProjectChoice>> newProjects;
    std::deque<std::optional<fs::path>> files;
    std::deque<std::optional<fs::path>> folders;
    std::deque<SaveChoice> saveChoices;
    std::vector<fs::path> presetLocations;
    std::vector<std::string> folderTitles;
    int saveQuestions = 0;

private:
    template <class T>
    static std::optional<T> take(std::deque<std::optional<T>>& q)
    {
        if (q.empty())
            return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
    template <class T>
    static std::optional<T> take(std::deque<T>& q)
    {
        if (q.empty())
            return std::nullopt;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

inline std::string readText(const fs::path& file)
{
    std::string text;
    readWholeFile(file, text);
    return text;
}

inline void writeText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(writeFileAtomically(file, text));
}

// The titles of a template's documents, in opening order.
inline std::vector<std::string> documentTitles(const DocTemplate& t)
{
    std::vector<std::string> out;
    for (const auto& d : t.Documents())
        out.push_back(d->GetTitle());
    return out;
}

inline std::string utf8(std::string_view gbk) { return gbkToUtf8(gbk).value(); }

// The value reference of a real-time number control.
inline const VarRefField& numberValueRef() { return fixedVarRefs(ShapeKind::RealTimeNumber).front(); }

inline std::unique_ptr<CDrawRect> numberBoundTo(std::int32_t row, Rect position = {100, 100, 160, 130})
{
    auto obj = std::make_unique<CDrawRect>(position);
    obj->SetKind(ShapeKind::RealTimeNumber);
    blockWriteI32(obj->m_Params, numberValueRef().index, row);
    return obj;
}

inline std::int32_t boundRow(const CDrawObj& obj) { return blockReadI32(obj.m_Params, numberValueRef().index); }

class ProjectTest : public ::testing::Test {
protected:
    ProjectTest()
    {
        for (const char* sub : {"MC8051", "UsbDisk", "SDCard", "FDisk"})
            writeText(base() / "images" / sub / "marker.txt", sub);
        app = std::make_unique<CEditorApp>(base());
        app->SetPrompt(&prompts);
        app->SetProjectDialogs(&dialogs);
        app->InitDocTemplates();
    }

    const fs::path& base() const { return dir_.path(); }

    // Makes a project through the new-project command; its folder is base()/<nameUtf8>.
    fs::path newProject(const std::string& nameGbk, int width = 800, int height = 480)
    {
        dialogs.newProjects.push_back(NewProjectChoice{base(), nameGbk, width, height});
        EXPECT_TRUE(app->OnFileNewProject());
        return base() / utf8(nameGbk);
    }

    // A window listed in the open project, saved to its file and left open.
    CDrawDoc* addWindow(const std::string& fileNameGbk, bool subWindow = false)
    {
        CDrawDoc* doc = app->m_pWindowTemplate->OpenNewDocument(fileNameGbk);
        EXPECT_TRUE(doc->SaveToWindowFolder());
        subWindow ? app->ProjectDoc()->AddSubWindowName(fileNameGbk) : app->ProjectDoc()->AddScreenName(fileNameGbk);
        return doc;
    }

    // The stored document at `file`, loaded afresh.
    std::unique_ptr<CDrawDoc> load(const fs::path& file)
    {
        auto doc = std::make_unique<CDrawDoc>();
        DocumentError error;
        EXPECT_TRUE(doc->OnOpenDocument(file, &error)) << error.messageGbk;
        return doc;
    }

    ScriptedPrompts prompts;
    ScriptedProjectDialogs dialogs;
    std::unique_ptr<CEditorApp> app;

private:
    TempDir dir_;
};

} // namespace qv::test
