// The shipped base folder: every project, screen and sub-window file in it loads and saves
// to the same bytes, every picture the projects and the kind defaults name is there, and a
// first start on a copy of it opens the sample project.
#include "model/paint/paint_context.h"
#include "model/paint/paint_dispatch.h"
#include "model/params/var_refs.h"
#include "model/tree/system_windows.h"
#include "model/vars/hmi_var_table.h"
#include "platform/files/stored_path.h"
#include "tests/model/project_fixture.h"

namespace qv::test {
namespace {

fs::path shippedBase() { return sourceDir() / "base"; }

TEST(BaseFolder, EveryDocumentLoadsAndSavesByteIdentically)
{
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(shippedBase())) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".hmi" && ext != ".drw" && ext != ".dlg"))
            continue;
        SCOPED_TRACE(entry.path().string());
        std::string bytes;
        ASSERT_TRUE(readWholeFile(entry.path(), bytes));
        CDrawDoc doc;
        DocumentError error;
        ASSERT_TRUE(doc.LoadFromBytes(bytes, entry.path().filename().string(), &error)) << error.messageGbk;
        EXPECT_TRUE(doc.SerializeToBytes() == bytes) << "load-then-save changed the file";
        ++checked;
    }
    EXPECT_GE(checked, 9) << "two sample projects with their windows";
}

TEST(BaseFolder, SampleProjectsAreWhatANewProjectWouldBe)
{
    for (const fs::path project : {fs::path(u8"例子/示例工程/示例工程.hmi"), fs::path(u8"Examples/银行ATM取款机/银行ATM取款机.hmi")}) {
        SCOPED_TRACE(project.string());
        const fs::path file = shippedBase() / project;
        CDrawDoc doc;
        DocumentError error;
        ASSERT_TRUE(doc.OnOpenDocument(file, &error)) << error.messageGbk;
        std::vector<std::string> subWindows;
        for (const auto& entry : doc.m_subWindowNames)
            subWindows.push_back(entry->m_strName);
        for (std::string_view special : kUndeletableSubWindows) {
            EXPECT_NE(std::find(subWindows.begin(), subWindows.end(), special), subWindows.end()) << utf8(std::string(special));
            EXPECT_TRUE(fs::is_regular_file(file.parent_path() / "window" / utf8(std::string(special))));
        }
        // The user code's headers, written from the project's variables.
        for (const char* header : {"SysVar.h", "HmiVar.h", "HmiVarStruct.h"}) {
            std::string text;
            EXPECT_TRUE(readWholeFile(file.parent_path() / header, text) && !text.empty()) << header;
        }
    }
}

TEST(BaseFolder, HoldsEveryNamedSystemPictureAndSupportFolder)
{
    std::vector<std::string> stored = {"images\\sys\\switchON.bmp",   "images\\sys\\switchOFF.bmp",
                                       "images\\sys\\IndicatorON.bmp", "images\\sys\\IndicatorOFF.bmp",
                                       "images\\sys\\Radio_ON.bmp",   "images\\sys\\Radio_OFF.bmp",
                                       "images\\sys\\Fu.bmp",         "images\\sys\\Zheng.bmp",
                                       "images\\sys\\KongGe.bmp",     "images\\sys\\Point.bmp",
                                       "images\\sys\\Dialog.bmp",     "images\\sys\\up0.bmp",
                                       "images\\sys\\up1.bmp",        "images\\sys\\down0.bmp",
                                       "images\\sys\\down1.bmp"};
    for (int i = 0; i < 10; ++i)
        stored.push_back("images\\sys\\" + std::to_string(i) + ".bmp");
    for (int i = 1; i <= 6; ++i)
        stored.push_back("images\\sys\\PICGROUP00" + std::to_string(i) + ".jpg");
    for (int i = 0; i < 4; ++i)
        stored.push_back("images\\cur\\cur" + std::to_string(i) + ".bmp");
    for (const std::string& s : stored) {
        const auto file = resolveStoredPath(shippedBase(), s);
        ASSERT_TRUE(file) << s;
        std::string bytes;
        EXPECT_TRUE(readWholeFile(*file, bytes) && bytes.size() > 54) << s;
        EXPECT_TRUE(bytes.starts_with(file->extension() == ".jpg" ? "\xFF\xD8" : "BM")) << s;
    }
    for (const char* folder : {"Sound", "SpecialWindow", "hex/fpga"})
        EXPECT_TRUE(fs::is_directory(shippedBase() / "images" / folder)) << folder;
    EXPECT_FALSE(fs::exists(shippedBase() / "latest.txt")) << "a first start must find no latest project";
}

// The controls the sample screens' texts promise: buttons that open the named windows, and
// numbers and bit switches bound to the named variables.
TEST(BaseFolder, SampleWindowsHoldTheControlsTheirTextsPromise)
{
    struct ControlCase {
        const char8_t* project;  // below the base folder
        const char* window;      // GBK
        ShapeKind kind;
        const char* target;      // GBK: the window a button opens, or the variable shown
    };
    const ControlCase cases[] = {
        {u8"例子/示例工程", "win0.drw", ShapeKind::Button, "参数.drw"},
        {u8"例子/示例工程", "win0.drw", ShapeKind::RealTimeNumber, "温度"},
        {u8"例子/示例工程", "win0.drw", ShapeKind::RealTimeNumber, "压力"},
        {u8"例子/示例工程", "win0.drw", ShapeKind::BitSwitch, "水泵"},
        {u8"例子/示例工程", "参数.drw", ShapeKind::Button, "win0.drw"},
        {u8"Examples/银行ATM取款机", "win0.drw", ShapeKind::Button, "输入密码.drw"},
        {u8"Examples/银行ATM取款机", "输入密码.drw", ShapeKind::Button, "取款.drw"},
        {u8"Examples/银行ATM取款机", "取款.drw", ShapeKind::Button, "余额.dlg"},
        {u8"Examples/银行ATM取款机", "取款.drw", ShapeKind::Button, "win0.drw"},
        {u8"Examples/银行ATM取款机", "余额.dlg", ShapeKind::RealTimeNumber, "余额"},
    };
    constexpr std::size_t kButtonActionEntry = 3;
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(utf8(c.window) + " " + utf8(c.target));
        const fs::path folder = shippedBase() / fs::path(c.project);
        CDrawDoc project, window;
        DocumentError error;
        ASSERT_TRUE(project.OnOpenDocument(folder / (folder.filename().string() + ".hmi"), &error)) << error.messageGbk;
        ASSERT_TRUE(window.OnOpenDocument(folder / "window" / utf8(c.window), &error)) << error.messageGbk;
        bool found = false;
        for (const auto& obj : window.m_objects) {
            if (obj->Kind() != c.kind || !obj->m_bControl)
                continue;
            if (c.kind == ShapeKind::Button) {
                found = found || (obj->m_strFiles.size() > kButtonActionEntry && obj->m_strFiles[kButtonActionEntry] == c.target);
                continue;
            }
            const auto refs = fixedVarRefs(c.kind);
            ASSERT_FALSE(refs.empty());
            const std::int32_t row = obj->ParamI32(refs.front().index);
            if (row < 0 || static_cast<std::size_t>(row) >= project.m_varTable.size() || project.m_varTable.name[row] != c.target)
                continue;
            EXPECT_TRUE(isBindingValid(c.kind, obj->m_Params));
            EXPECT_EQ(obj->ParamI32(refs.front().address), varBindingOf(project.m_varTable, row).address);
            found = true;
        }
        EXPECT_TRUE(found);
        if (c.kind == ShapeKind::Button) {
            const auto& names = std::string_view(c.target).ends_with(".dlg") ? project.m_subWindowNames : project.m_screenNames;
            EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const auto& e) { return e->m_strName == c.target; }))
                << "the button opens a window of its project";
        }
    }
}

// Every text of the sample windows shows: drawn over what lies under it (the window's paper
// and the shapes before it), it changes pixels inside its box. Black text on a black fill,
// or a text in the colour of the fill under it, changes none.
TEST(BaseFolder, SampleTextsShowOnWhatTheyAreDrawnOver)
{
    int texts = 0;
    for (const fs::path project : {fs::path(u8"例子/示例工程"), fs::path(u8"Examples/银行ATM取款机")}) {
        for (const auto& entry : fs::directory_iterator(shippedBase() / project / "window")) {
            SCOPED_TRACE(entry.path().string());
            CDrawDoc doc;
            DocumentError error;
            ASSERT_TRUE(doc.OnOpenDocument(entry.path(), &error)) << error.messageGbk;
            for (std::size_t i = 0; i < doc.m_objects.size(); ++i) {
                CDrawObj& text = *doc.m_objects[i];
                if (text.Kind() != ShapeKind::Text || text.m_strName.empty())
                    continue;
                SCOPED_TRACE(utf8(text.m_strName));
                Surface under(1200, 800, doc.m_paperColor & 0x00FFFFFF);
                PaintAllOnce(std::span(doc.m_objects).first(i), {under}, PaintContext{});
                Surface over = under;
                PaintObject(text, {over}, 0, PaintContext{});
                const Rect box = text.m_rcPosition.normalized().intersected(under.bounds());
                int changed = 0;
                for (int y = box.top; y < box.bottom; ++y)
                    for (int x = box.left; x < box.right; ++x)
                        changed += under.getPixel(x, y) != over.getPixel(x, y);
                EXPECT_GT(changed, box.width() * box.height() / 100) << "the text does not show";
                ++texts;
            }
        }
    }
    EXPECT_GE(texts, 10);
}

// A placeholder in a project folder, or in a support folder copied into every project, would
// go to the panel with the download (FDisk) or sit in the user's folders.
TEST(BaseFolder, NoPlaceholderReachesAProjectFolder)
{
    const fs::path samples[] = {shippedBase() / fs::path(u8"例子/示例工程"), shippedBase() / fs::path(u8"Examples/银行ATM取款机")};
    for (const char* support : {"MC8051", "UsbDisk", "SDCard", "FDisk"})
        EXPECT_FALSE(fs::exists(shippedBase() / "images" / support / ".keep")) << support;
    for (const fs::path& project : samples) {
        ASSERT_TRUE(fs::is_directory(project)) << project;
        for (const auto& entry : fs::recursive_directory_iterator(project))
            EXPECT_NE(entry.path().filename(), ".keep") << entry.path();
    }
}

class FirstStart : public ProjectTest {};

// A base folder without the panel's disk folders (git keeps no empty folder): opening a
// project makes them empty, without a word.
TEST_F(FirstStart, ABaseFolderWithoutTheDiskFoldersGivesEmptyOnes)
{
    fs::remove_all(base() / "images");
    fs::create_directories(base() / "images");
    fs::copy(shippedBase() / fs::path(u8"例子"), base() / fs::path(u8"例子"), fs::copy_options::recursive);
    const fs::path project = base() / fs::path(u8"例子/示例工程");
    ASSERT_TRUE(app->OpenProjectFile(project / fs::path(u8"示例工程.hmi")));
    EXPECT_TRUE(prompts.messages.empty());
    for (const char* support : {"MC8051", "UsbDisk", "SDCard", "FDisk"}) {
        EXPECT_TRUE(fs::is_directory(project / support)) << support;
        EXPECT_TRUE(fs::is_empty(project / support)) << support;
    }
    std::string output;
    app->m_reports.drain([&](Report& r) {
        if (const auto* t = std::get_if<ReportText>(&r))
            output += t->gbk;
    });
    EXPECT_EQ(output, "") << "no failed copy reported";
}

TEST_F(FirstStart, OpensTheSampleProjectWithItsWindowsAndVariables)
{
    // What the run script does: a copy of the shipped base folder, once.
    fs::copy(shippedBase(), base(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    ASSERT_TRUE(app->OpenLatestProject(3));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(app->m_strProjectPath, base() / utf8("例子") / utf8("示例工程") / utf8("示例工程.hmi"));
    EXPECT_GT(app->ProjectDoc()->m_varTable.size(), 16u) << "user variables besides the system ones";
    EXPECT_FALSE(app->ProjectDoc()->m_subWindowNames.empty());
    for (const auto& list : {&app->ProjectDoc()->m_screenNames, &app->ProjectDoc()->m_subWindowNames})
        for (const auto& entry : *list) {
            const CDrawDoc* doc = app->FindWindowDocByFileName(entry->m_strName);
            ASSERT_NE(doc, nullptr) << utf8(entry->m_strName);
            EXPECT_FALSE(doc->m_objects.empty()) << utf8(entry->m_strName);
        }

    // Mode 4 opens the second sample.
    app->CloseAllDocuments();
    ASSERT_TRUE(app->OpenLatestProject(4));
    EXPECT_EQ(app->m_strProjectName, "银行ATM取款机");
    EXPECT_EQ(app->m_nResWidth, 640);
}

} // namespace
} // namespace qv::test
