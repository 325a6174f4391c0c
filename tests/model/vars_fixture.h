#pragma once
// An application with a new project (the 16 system rows) in a temporary folder, window
// documents opened on demand, and prompts that record what they were asked to show.
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/document/ui_prompts.h"
#include "model/vars/hmi_var_table.h"
#include "platform/text/gbk.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qv::test {

inline std::string gbkText(std::u8string_view utf8)
{
    return utf8ToGbk(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size())).value();
}

class RecordingPrompts : public UiPrompts {
public:
    void ShowMessage(std::string_view textGbk, Icon) override { messages.emplace_back(textGbk); }
    bool AskYesNo(std::string_view) override { return false; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
    std::vector<std::string> messages;
};

class ProjectFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<CEditorApp>(dir.path());
        app->SetPrompt(&prompts);
        app->InitDocTemplates();
        app->m_strProjectDir = dir.path();
        project = app->m_pProjectTemplate->OpenNewDocument("p");
        project->SetPathName(dir / "p.hmi");
        project->m_bIsProjectDoc = 1;
        project->InitSystemVariables();
    }

    // An open window document listed in the project (a screen unless `subWindow`).
    CDrawDoc* addWindow(const std::string& fileName, bool subWindow = false)
    {
        CDrawDoc* doc = app->m_pWindowTemplate->OpenNewDocument(fileName);
        doc->SetPathName(dir / "window" / gbkToUtf8(fileName).value());
        subWindow ? project->AddSubWindowName(fileName) : project->AddScreenName(fileName);
        return doc;
    }

    HmiVarTable& table() { return project->m_varTable; }
    std::size_t rowOf(const std::string& name) { return static_cast<std::size_t>(*findVarRow(table(), name)); }

    TempDir dir;
    RecordingPrompts prompts;
    std::unique_ptr<CEditorApp> app;
    CDrawDoc* project = nullptr;
};

} // namespace qv::test
