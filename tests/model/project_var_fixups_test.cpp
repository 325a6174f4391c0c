// After the variable table changed, every window of the project, open or not, has its
// references fixed and saved.
#include "tests/model/project_fixture.h"

namespace qv::test {
namespace {

class VarFixups : public ProjectTest {
protected:
    void SetUp() override
    {
        folder = newProject("p");
        for (const char* n : {"a", "b", "c"})
            app->ProjectDoc()->m_varTable.AppendRow(std::to_string(100 + 2 * (n[0] - 'a')), "unsigned short", n, "0", "");
        i = static_cast<int>(app->ProjectDoc()->m_varTable.size()) - 2; // "b"
        // Three windows: two open, one only on disk.
        for (const char* name : {"win0.drw", "second.drw", "pop.dlg"}) {
            CDrawDoc* doc = std::string(name) == "win0.drw" ? app->FindWindowDocByFileName(name)
                                                            : addWindow(name, std::string(name).ends_with(".dlg"));
            ASSERT_TRUE(doc->DoFileSave());
        }
        app->m_pWindowTemplate->CloseDocument(app->FindWindowDocByFileName("pop.dlg"));
        ASSERT_EQ(app->FindWindowDocByFileName("pop.dlg"), nullptr);
    }

    // The rows each window binds, in object order, as its file holds them.
    std::vector<std::int32_t> storedRows(const char* window)
    {
        std::vector<std::int32_t> rows;
        const auto doc = load(folder / "window" / window);
        for (const auto& obj : doc->m_objects)
            rows.push_back(boundRow(*obj));
        return rows;
    }

    fs::path folder;
    int i = 0; // the row the tests change
};

TEST_F(VarFixups, DeletingAVariableRenumbersEveryWindowFileAndTheSystemSlots)
{
    for (const char* name : {"win0.drw", "second.drw"}) {
        CDrawDoc* doc = app->FindWindowDocByFileName(name);
        for (std::int32_t row : {i - 1, i, i + 1, -1})
            doc->AddObject(numberBoundTo(row));
    }
    {
        auto closed = load(folder / "window" / "pop.dlg");
        for (std::int32_t row : {i - 1, i, i + 1, -1})
            closed->AddObject(numberBoundTo(row));
        DocumentError error;
        ASSERT_TRUE(closed->OnSaveDocument(folder / "window" / "pop.dlg", &error));
    }
    CDrawDoc* project = app->ProjectDoc();
    project->SetSettingI32(settings::kSysVarIndexFirst, i);
    project->SetSettingI32(settings::kSysVarIndexFirst + 4, i + 1);
    const std::int32_t untouched = project->SettingI32(settings::kSysVarIndexFirst + 8);
    project->m_varTable.EraseRow(static_cast<std::size_t>(i)); // what the variable manager does first

    EXPECT_TRUE(app->OnHmiVarDeleted(i));
    const std::vector<std::int32_t> expected{i - 1, -1, i, -1};
    for (const char* window : {"win0.drw", "second.drw", "pop.dlg"})
        EXPECT_EQ(storedRows(window), expected) << window;
    const auto stored = load(folder / "p.hmi");
    EXPECT_EQ(stored->SettingI32(settings::kSysVarIndexFirst), -1);
    EXPECT_EQ(stored->SettingI32(settings::kSysVarIndexFirst + 4), i);
    EXPECT_EQ(stored->SettingI32(settings::kSysVarIndexFirst + 8), untouched);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(VarFixups, EveryMemberReachesTheWindowsThatAreNotOpen)
{
    struct Case {
        const char* what;
        std::function<bool(CEditorApp&, int)> run;
        std::vector<std::int32_t> expected; // from the bindings {i - 1, i, i + 1}
    };
    const int r = i;
    const Case cases[] = {
        {"cleared", [](CEditorApp& a, int row) { return a.OnHmiVarsCleared(row); }, {-1, -1, -1}},
        {"moved up", [](CEditorApp& a, int row) { return a.OnHmiVarMoved(row); }, {r, r - 1, r + 1}},
        {"changed", [](CEditorApp& a, int row) { return a.OnHmiVarsChanged(row); }, {r - 1, r, r + 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto closed = load(folder / "window" / "pop.dlg");
        closed->m_objects.clear();
        for (std::int32_t row : {r - 1, r, r + 1})
            closed->AddObject(numberBoundTo(row));
        DocumentError error;
        ASSERT_TRUE(closed->OnSaveDocument(folder / "window" / "pop.dlg", &error));
        EXPECT_TRUE(c.run(*app, r));
        EXPECT_EQ(storedRows("pop.dlg"), c.expected);
    }
}

TEST_F(VarFixups, AWindowThatCannotBeLoadedIsNamedAndKeptAsItWas)
{
    writeText(folder / "window" / "pop.dlg", "damaged");
    EXPECT_FALSE(app->OnHmiVarDeleted(i));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("pop.dlg"), std::string::npos) << prompts.messages[0];
    EXPECT_EQ(readText(folder / "window" / "pop.dlg"), "damaged");
}

TEST_F(VarFixups, RefreshNamesListedWindowsThatAreNotOpen)
{
    app->RefreshVariableBindings("");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Error:UpDateVar pop.dlg"});
}

} // namespace
} // namespace qv::test
