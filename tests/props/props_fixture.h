#pragma once
// An application with an open 800 x 480 project of one screen "win0.drw" whose window lies
// at (100, 50) inside the page margins (38, 38), so the window frame is (138, 88)-(938, 568).
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/kind_defaults.h"
#include "platform/archive/archive.h"
#include "tests/app/scripted_prompts.h"
#include "tests/app/small_project.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace qv::test {

class PropsFixture : public ::testing::Test {
protected:
    static constexpr int kX0 = 138;
    static constexpr int kY0 = 88;

    void SetUp() override
    {
        namespace fs = std::filesystem;
        fs::create_directories(dir.path() / "images");
        app = std::make_unique<CEditorApp>(dir.path());
        app->SetPrompt(&prompts);
        app->InitDocTemplates();
        const fs::path hmi = writeOneScreenProject(dir.path(), {100, 50});
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(app->OpenProjectFile(hmi));
        doc = app->FindDocByTitle("win0.drw");
        ASSERT_NE(doc, nullptr);
        doc->SetModifiedFlag(false);
    }

    void TearDown() override
    {
        app->CloseAllDocuments();
        app->SetPrompt(nullptr);
    }

    // A new object of `kind` with the creation defaults, owned by the screen.
    CDrawObj& addObject(ShapeKind kind, Rect position = {kX0 + 10, kY0 + 20, kX0 + 110, kY0 + 80})
    {
        auto obj = std::make_unique<CDrawRect>(position);
        obj->SetKind(kind);
        CDrawObj* added = doc->AddObject(std::move(obj));
        SetKindDefaults(*added, *app);
        return *added;
    }

    static std::string storedBytes(CDrawObj& obj)
    {
        archive::ArchiveWriter ar;
        obj.Serialize(ar);
        return ar.TakeBytes();
    }

    TempDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<CEditorApp> app;
    CDrawDoc* doc = nullptr;
};

} // namespace qv::test
