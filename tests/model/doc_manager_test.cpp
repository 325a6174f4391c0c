// The documents found by file name and by path: the index kept with the document list
// answers as a search of the list in opening order would, through opening, path changes,
// saves and closing.
#include "model/app/doc_manager.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qv {
namespace {

namespace fs = std::filesystem;

// What the look-up must answer: the first document in opening order whose path ends in `name`.
CDrawDoc* searched(const DocTemplate& tmpl, const fs::path& name)
{
    for (const auto& doc : tmpl.Documents())
        if (!doc->GetPathName().empty() && doc->GetPathName().filename() == name)
            return doc.get();
    return nullptr;
}

TEST(DocumentIndex, FindsByFileNameAsTheListInOpeningOrderThroughEveryChange)
{
    DocManager manager;
    DocTemplate& tmpl = manager.AddDocTemplate();
    CDrawDoc* a = tmpl.OpenNewDocument("a");
    CDrawDoc* b = tmpl.OpenNewDocument("b");
    CDrawDoc* c = tmpl.OpenNewDocument("c");
    tmpl.OpenNewDocument("no path");
    const std::vector<fs::path> names{"x.drw", "y.drw", "z.dlg", "", "one"};

    struct Step {
        const char* what;
        CDrawDoc* doc;
        fs::path path; // empty: close the document
    };
    const std::vector<Step> steps{
        {"first named", c, "/p/window/x.drw"},
        {"an older one takes the same name in another folder", a, "/q/x.drw"},
        {"a path without file name", b, "/p/window/"},
        {"the older one renamed away", a, "/q/y.drw"},
        {"renamed back", a, "/q/x.drw"},
        {"a one-part path", b, "one"},
        {"the first of the two closed", a, {}},
        {"the other renamed", c, "/p/window/z.dlg"},
        {"the last closed", c, {}},
    };
    for (const Step& step : steps) {
        if (step.path.empty())
            ASSERT_TRUE(tmpl.CloseDocument(step.doc));
        else
            step.doc->SetPathName(step.path);
        for (const fs::path& name : names)
            EXPECT_EQ(tmpl.FindByFileName(name), searched(tmpl, name)) << step.what << ": " << name;
    }
    EXPECT_EQ(tmpl.FindByFileName("one"), b);
    EXPECT_EQ(tmpl.FindByFileName("x.drw"), nullptr);
}

// A file already open gives its document again however it is named: another spelling of
// the path, a link to it, or its path after the document saved it (a new file there).
TEST(DocumentIndex, AFileAlreadyOpenGivesItsDocumentAgain)
{
    test::TempDir dir;
    fs::create_directories(dir / "window");
    DocumentError error;
    for (const char* name : {"a.drw", "b.drw"}) {
        CDrawDoc window;
        ASSERT_TRUE(window.OnSaveDocument(dir / "window" / name, &error)) << error.messageGbk;
    }
    fs::create_symlink(dir / "window" / "a.drw", dir / "link.drw");

    DocManager manager;
    DocTemplate& tmpl = manager.AddDocTemplate();
    CDrawDoc* a = tmpl.OpenDocumentFile(dir / "window" / "a.drw", &error);
    ASSERT_NE(a, nullptr) << error.messageGbk;
    ASSERT_TRUE(a->DoFileSave());
    const struct {
        fs::path file;
        bool same;
    } cases[] = {
        {dir / "window" / "a.drw", true},
        {dir / "window" / "." / ".." / "window" / "a.drw", true},
        {dir / "link.drw", true},
        {dir / "window" / "b.drw", false},
    };
    for (const auto& c : cases) {
        CDrawDoc* doc = tmpl.OpenDocumentFile(c.file, &error);
        ASSERT_NE(doc, nullptr) << c.file;
        EXPECT_EQ(doc == a, c.same) << c.file;
    }
    EXPECT_EQ(tmpl.Documents().size(), 2u);
    EXPECT_EQ(tmpl.FindByFileName("b.drw"), tmpl.Documents().back().get());
}

} // namespace
} // namespace qv
