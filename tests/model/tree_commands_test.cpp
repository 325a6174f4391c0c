// The project tree's commands on a real project opened through the open sequence: every
// change keeps the tree, the project document and its file, the "window" folder and the open
// documents in step, and refused input changes none of them.
#include "model/app/emulator_flags.h"
#include "model/tree/system_windows.h"
#include "model/tree/tree_menus.h"
#include "tests/model/tree_fixture.h"

using namespace qv;
using namespace qv::test;
using Dialogs = ScriptedDialogs;

namespace {

std::string readBytes(const fs::path& file)
{
    std::string bytes;
    readWholeFile(file, bytes);
    return bytes;
}

} // namespace

TEST_F(TreeFixture, OpeningAProjectFillsTheTree)
{
    openWith({"win0.drw"}, {"pop.dlg"});
    EXPECT_EQ(model->RootText(), "工程‘demo’");
    EXPECT_EQ(itemTexts(WindowKind::Screen), std::vector<std::string>{"0:win0.drw"});
    EXPECT_EQ(itemTexts(WindowKind::SubWindow), std::vector<std::string>{"0:pop.dlg"});
    ASSERT_TRUE(model->HasSimulator());
    const auto items = model->Items();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(model->ItemText(items[0]), "工程‘demo’");
    EXPECT_EQ(model->ItemText(items[1]), "画面");
    EXPECT_EQ(model->ItemText(items[3]), "子窗口");
    EXPECT_EQ(model->ItemText(items[5]), "模拟LCD/VGA显示屏");
    expectInStep();

    app->CloseAllDocuments();
    EXPECT_EQ(model->RootText(), "工程");
    EXPECT_EQ(model->Items().size(), 1u) << "closing the project leaves the bare root";
}

TEST_F(TreeFixture, NewRenameAndDeleteKeepEverythingInStep)
{
    openWith({"win0.drw"});

    dialogs.screen = {Dialogs::screenNamed("second")};
    commands->Run(tree_cmd::NewScreen);
    EXPECT_EQ(dialogs.screenSeen.at(0).name, "WindowName");
    EXPECT_EQ(dialogs.screenSeen.at(0).width, 800u);
    EXPECT_EQ(itemTexts(WindowKind::Screen), (std::vector<std::string>{"0:win0.drw", "1:second.drw"}));
    EXPECT_EQ(model->Selected(), (TreeItemRef{TreeItemKind::Screen, 1}));
    expectInStep();

    dialogs.sub = {Dialogs::subNamed("pop", 400, 200, 0, 0, true)};
    commands->Run(tree_cmd::NewSubWindow);
    EXPECT_EQ(dialogs.subSeen.at(0).name, "DialogName");
    EXPECT_EQ(dialogs.subSeen.at(0).width, 400u);
    EXPECT_EQ(dialogs.subSeen.at(0).x, 200u);
    expectInStep();
    CDrawDoc* pop = app->FindDocByTitle("pop.dlg");
    ASSERT_NE(pop, nullptr);
    EXPECT_EQ(pop->m_ptWindowOrigin, (Point{200, 140})) << "centred";
    ASSERT_EQ(pop->m_objects.size(), 1u);
    const CDrawObj& face = *pop->m_objects.front();
    EXPECT_EQ(face.Kind(), ShapeKind::Picture);
    EXPECT_EQ(face.m_rcPosition, (Rect{38 + 200, 38 + 140, 38 + 600, 38 + 340}));
    EXPECT_EQ(face.m_strFiles, std::vector<std::string>{"\\UserPicture\\Dialog.bmp"});
    EXPECT_EQ(readBytes(projectDir() / "UserPicture" / "Dialog.bmp"), "dialog face");

    select(WindowKind::Screen, "second.drw");
    dialogs.screen = {Dialogs::screenNamed("renamed")};
    commands->Run(tree_cmd::ScreenProperties);
    EXPECT_EQ(itemTexts(WindowKind::Screen), (std::vector<std::string>{"0:win0.drw", "1:renamed.drw"}));
    EXPECT_FALSE(fs::exists(windowDir() / "second.drw"));
    EXPECT_FALSE(isOpen("second.drw"));
    expectInStep();

    select(WindowKind::Screen, "win0.drw");
    commands->Run(tree_cmd::DeleteScreen);
    EXPECT_EQ(itemTexts(WindowKind::Screen), std::vector<std::string>{"0:renamed.drw"});
    EXPECT_FALSE(isOpen("win0.drw"));
    EXPECT_TRUE(fs::exists(windowDir() / "win0.drw")) << "a deleted window's file stays for a later import";
    expectInStep();
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(TreeFixture, DeletingTheSecondOfThreeScreensRenumbersTheThird)
{
    openWith({"a.drw", "b.drw", "c.drw"});
    select(WindowKind::Screen, "b.drw");
    commands->Run(tree_cmd::DeleteScreen);
    EXPECT_EQ(itemTexts(WindowKind::Screen), (std::vector<std::string>{"0:a.drw", "1:c.drw"}));
    EXPECT_EQ(model->Selected().kind, TreeItemKind::ScreensFolder);
    expectInStep();
}

TEST_F(TreeFixture, SevenSystemSubWindowsCannotBeDeleted)
{
    std::vector<std::string> subs(kUndeletableSubWindows.begin(), kUndeletableSubWindows.end());
    subs.push_back("注销确认.dlg");
    openWith({"win0.drw"}, subs);
    for (std::string_view name : kUndeletableSubWindows) {
        prompts.messages.clear();
        select(WindowKind::SubWindow, std::string(name));
        commands->Run(tree_cmd::DeleteSubWindow);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{"禁止删除<" + std::string(name) + ">"});
        EXPECT_GE(model->FindWindow(WindowKind::SubWindow, std::string(name)), 0);
    }
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"禁止删除<串口2无响应.dlg>"});

    // Drawn as system, but an ordinary window as far as deleting goes.
    select(WindowKind::SubWindow, "注销确认.dlg");
    EXPECT_TRUE(model->IsSystemItem(model->Selected()));
    prompts.messages.clear();
    commands->Run(tree_cmd::DeleteSubWindow);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_LT(model->FindWindow(WindowKind::SubWindow, "注销确认.dlg"), 0);
    expectInStep();
}

TEST_F(TreeFixture, BadNamesAreRefusedAndNothingIsCreated)
{
    openWith({"win0.drw"}, {"pop.dlg"});
    // A deleted screen's file left in the folder must not be overwritten by a new window.
    saveWindowFile(windowDir() / "old.drw", 800, 480, {}, 3);
    const std::string oldBytes = readBytes(windowDir() / "old.drw");
    const auto filesBefore = windowFiles();

    struct Case {
        const char* what;
        std::string name;
        std::string message;
    };
    const Case cases[] = {
        {"empty", "", "名字不能为空!"},
        {"backslash", "..\\x", "名字中不能含有“\\”、“/”或“:”!"},
        {"slash", "a/b", "名字中不能含有“\\”、“/”或“:”!"},
        {"colon", "c:x", "名字中不能含有“\\”、“/”或“:”!"},
        {"parent", "..", "名字中不能含有“..”!"},
        {"listed screen", "win0", "画面“win0.drw”已存在!!!"},
        {"file of a deleted screen", "old", "工程的window目录中已有文件“old.drw”,请换一个名字"},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        dialogs.screen = {Dialogs::screenNamed(c.name)};  // then the dialog is cancelled
        commands->Run(tree_cmd::NewScreen);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message}) << c.what;
        EXPECT_EQ(dialogs.screen.size(), 0u);
    }
    EXPECT_EQ(dialogs.screenSeen.size(), 2 * std::size(cases)) << "each refusal shows the dialog again";

    select(WindowKind::Screen, "win0.drw");
    for (const Case& c : cases) {
        if (c.name == "win0")
            continue;
        prompts.messages.clear();
        dialogs.screen = {Dialogs::screenNamed(c.name)};
        commands->Run(tree_cmd::ScreenProperties);
        ASSERT_EQ(prompts.messages.size(), 1u) << c.what;
    }
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"工程的window目录中已有文件“old.drw”,修改名字失败"});

    EXPECT_EQ(windowFiles(), filesBefore);
    EXPECT_EQ(readBytes(windowDir() / "old.drw"), oldBytes);
    EXPECT_EQ(itemTexts(WindowKind::Screen), std::vector<std::string>{"0:win0.drw"});
    expectInStep();
}

TEST_F(TreeFixture, SubWindowOutsideTheScreenIsRefusedAndNothingIsCreated)
{
    openWith({"win0.drw"});
    const auto filesBefore = windowFiles();
    struct Case {
        const char* what;
        Dialogs::SubStep step;
        const char* message;
    };
    const Case cases[] = {
        {"600 wide at 500", Dialogs::subNamed("w", 600, 100, 500, 0, false), "子窗口宽度超出显示器显示范围"},
        {"too low", Dialogs::subNamed("h", 100, 300, 0, 200, false), "子窗口高度超出显示器显示范围"},
        {"centred but wider", Dialogs::subNamed("c", 900, 100, 0, 0, true), "子窗口宽度超出显示器显示范围"},
        {"empty", Dialogs::subNamed("e", 0, 100, 0, 0, false), "子窗口宽度和高度必须大于0"},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        dialogs.sub = {c.step};
        commands->Run(tree_cmd::NewSubWindow);
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message}) << c.what;
    }
    EXPECT_EQ(dialogs.subSeen.size(), std::size(cases)) << "a placement refusal ends the command";
    EXPECT_EQ(windowFiles(), filesBefore);
    EXPECT_TRUE(model->Windows(WindowKind::SubWindow).empty());
    EXPECT_FALSE(fs::exists(projectDir() / "UserPicture" / "Dialog.bmp"));
    expectInStep();
}

TEST_F(TreeFixture, RenameSavesUnsavedEditsFirstAndRenamingToItsOwnNameDoesNothing)
{
    openWith({"win0.drw", "b.drw"});
    CDrawDoc* doc = app->FindDocByTitle("b.drw");
    ASSERT_NE(doc, nullptr);
    doc->AddObject(std::make_unique<CDrawRect>(Rect{60, 60, 120, 90}));
    doc->SetModifiedFlag();

    select(WindowKind::Screen, "b.drw");
    dialogs.screen = {Dialogs::screenNamed("b")};
    commands->Run(tree_cmd::ScreenProperties);
    EXPECT_EQ(dialogs.screenSeen.at(0).name, "b");
    EXPECT_EQ(app->FindDocByTitle("b.drw"), doc) << "an unchanged name leaves the document alone";

    dialogs.screen = {Dialogs::screenNamed("kept")};
    commands->Run(tree_cmd::ScreenProperties);
    CDrawDoc* renamed = app->FindDocByTitle("kept.drw");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->m_objects.size(), 1u) << "the edit made before the rename survives it";
    EXPECT_EQ(itemTexts(WindowKind::Screen), (std::vector<std::string>{"0:win0.drw", "1:kept.drw"}));
    EXPECT_EQ(model->Selected(), (TreeItemRef{TreeItemKind::Screen, 1}));
    expectInStep();
}

TEST_F(TreeFixture, RenameIsUndoneWhenTheProjectFileCannotBeSaved)
{
    openWith({"win0.drw", "b.drw"});
    const std::string hmiBytes = readBytes(projectDir() / "demo.hmi");
    // A folder in the project file's place: every save of it fails.
    fs::remove(projectDir() / "demo.hmi");
    fs::create_directory(projectDir() / "demo.hmi");

    select(WindowKind::Screen, "b.drw");
    dialogs.screen = {Dialogs::screenNamed("moved")};
    commands->Run(tree_cmd::ScreenProperties);
    EXPECT_FALSE(prompts.messages.empty()) << "the failed save is reported";
    EXPECT_TRUE(fs::exists(windowDir() / "b.drw")) << "the file is moved back";
    EXPECT_FALSE(fs::exists(windowDir() / "moved.drw"));
    EXPECT_EQ(itemTexts(WindowKind::Screen), (std::vector<std::string>{"0:win0.drw", "1:b.drw"}));
    EXPECT_EQ(namesOf(app->ProjectDoc()->m_screenNames), (std::vector<std::string>{"win0.drw", "b.drw"}));
    EXPECT_TRUE(isOpen("b.drw"));

    fs::remove(projectDir() / "demo.hmi");
    ASSERT_TRUE(writeFile(projectDir() / "demo.hmi", hmiBytes));
    expectInStep();
}

TEST_F(TreeFixture, DeletingAWindowKeepsItsUnsavedEditsInTheFile)
{
    openWith({"win0.drw", "b.drw"});
    CDrawDoc* doc = app->FindDocByTitle("b.drw");
    doc->AddObject(std::make_unique<CDrawRect>(Rect{60, 60, 120, 90}));
    doc->SetModifiedFlag();
    select(WindowKind::Screen, "b.drw");
    commands->Run(tree_cmd::DeleteScreen);
    CDrawDoc reread;
    DocumentError error;
    ASSERT_TRUE(reread.OnOpenDocument(windowDir() / "b.drw", &error));
    EXPECT_EQ(reread.m_objects.size(), 1u);
}

TEST_F(TreeFixture, ImportingASubWindowCopiesItWithItsPicturesAndOpensIt)
{
    // Another project's window with a picture of its own.
    const fs::path other = base() / "other";
    {
        CDrawDoc source;
        source.m_nWindowWidth = 300;
        source.m_nWindowHeight = 200;
        source.m_ptWindowOrigin = {100, 100};
        auto pic = std::make_unique<CDrawRect>(Rect{138, 138, 238, 238});
        pic->SetKind(ShapeKind::Picture);
        pic->m_strFiles = {"\\UserPicture\\logo.bmp", "\\UserPicture\\shared.bmp", "\\UserPicture\\missing.bmp"};
        source.AddObject(std::move(pic));
        fs::create_directories(other / "window");
        DocumentError error;
        ASSERT_TRUE(source.OnSaveDocument(other / "window" / "pop.dlg", &error));
        ASSERT_TRUE(writeFile(other / "UserPicture" / "logo.bmp", "logo"));
        ASSERT_TRUE(writeFile(other / "UserPicture" / "shared.bmp", "theirs"));
    }
    openWith({"win0.drw"});
    // A picture the project already has is kept.
    ASSERT_TRUE(writeFile(projectDir() / "UserPicture" / "shared.bmp", "mine"));

    dialogs.files = {other / "window" / "pop.dlg"};
    commands->Run(tree_cmd::ImportSubWindow);
    EXPECT_EQ(dialogs.fileKinds, std::vector<WindowKind>{WindowKind::SubWindow});
    EXPECT_EQ(readBytes(windowDir() / "pop.dlg"), readBytes(other / "window" / "pop.dlg"));
    EXPECT_EQ(readBytes(projectDir() / "UserPicture" / "logo.bmp"), "logo");
    EXPECT_EQ(readBytes(projectDir() / "UserPicture" / "shared.bmp"), "mine");
    EXPECT_TRUE(isOpen("pop.dlg"));
    EXPECT_EQ(itemTexts(WindowKind::SubWindow), std::vector<std::string>{"0:pop.dlg"});
    expectInStep();

    prompts.messages.clear();
    dialogs.files = {other / "window" / "pop.dlg"};
    commands->Run(tree_cmd::ImportSubWindow);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"子窗口“pop.dlg”已存在!!!"});
    EXPECT_EQ(model->Windows(WindowKind::SubWindow).size(), 1u);
}

TEST_F(TreeFixture, RefusedImportsChangeNothing)
{
    const fs::path other = base() / "other" / "window";
    fs::create_directories(other);
    ASSERT_TRUE(writeFile(other / "broken.drw", "not a document"));
    saveWindowFile(other / "huge.dlg", 900, 100);
    saveWindowFile(other / "old.drw", 800, 480);
    saveWindowFile(other / "wrong.dlg", 800, 480);
    openWith({"win0.drw"});
    saveWindowFile(windowDir() / "old.drw", 800, 480, {}, 2);
    const std::string staleBytes = readBytes(windowDir() / "old.drw");
    const auto filesBefore = windowFiles();

    struct Case {
        const char* what;
        int command;
        fs::path file;
    };
    const Case cases[] = {
        {"not a document", tree_cmd::ImportScreen, other / "broken.drw"},
        {"sub-window wider than the screen", tree_cmd::ImportSubWindow, other / "huge.dlg"},
        {"a file of that name is in the folder", tree_cmd::ImportScreen, other / "old.drw"},
        {"a sub-window offered as a screen", tree_cmd::ImportScreen, other / "wrong.dlg"},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        dialogs.files = {c.file};
        commands->Run(c.command);
        EXPECT_EQ(prompts.messages.size(), 1u) << c.what;
    }
    EXPECT_EQ(windowFiles(), filesBefore);
    EXPECT_EQ(readBytes(windowDir() / "old.drw"), staleBytes);
    EXPECT_EQ(itemTexts(WindowKind::Screen), std::vector<std::string>{"0:win0.drw"});
    expectInStep();
}

TEST_F(TreeFixture, SpecialSubWindowsComeFromTheBaseFolderWithTheirPictures)
{
    const fs::path special = base() / "images" / "SpecialWindow";
    for (std::string_view name : kUndeletableSubWindows)
        saveWindowFile(special / hostName(name), 200, 100, {0, 0}, 1);
    // One too large for a 320 x 240 screen: it is shrunk to fit and centred.
    saveWindowFile(special / hostName("系统键盘.dlg"), 640, 240, {0, 0}, 1);
    ASSERT_TRUE(writeFile(special / "images" / "key.bmp", "key"));
    openProject(makeProject({"win0.drw"}, {"数字键盘.dlg"}, 320, 240));

    commands->Run(tree_cmd::ImportSpecialSubWindows);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"特殊子窗口“数字键盘.dlg”已存在!!!"});
    EXPECT_EQ(model->Windows(WindowKind::SubWindow),
              (std::vector<std::string>{"数字键盘.dlg", "系统键盘.dlg", "系统登陆.dlg", "权限警告.dlg", "密码错误.dlg",
                                        "串口1无响应.dlg", "串口2无响应.dlg"}));
    EXPECT_EQ(readBytes(projectDir() / "UserPicture" / "key.bmp"), "key");
    expectInStep();

    CDrawDoc* keyboard = app->FindDocByTitle("系统键盘.dlg");
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->m_nWindowWidth, 320);
    EXPECT_EQ(keyboard->m_nWindowHeight, 120);
    EXPECT_EQ(keyboard->m_ptWindowOrigin, (Point{0, 60}));
    CDrawDoc* login = app->FindDocByTitle("系统登陆.dlg");
    EXPECT_EQ(login->m_ptWindowOrigin, (Point{0, 0})) << "a window that fits keeps its place";

    prompts.messages.clear();
    commands->Run(tree_cmd::ImportSpecialSubWindows);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("特殊子窗口“串口2无响应.dlg”已存在!!!"), std::string::npos)
        << "one message names every window already there";
    EXPECT_EQ(model->Windows(WindowKind::SubWindow).size(), 7u);
}

TEST_F(TreeFixture, SpecialSubWindowImportKeepsADifferentFileOfThatName)
{
    const fs::path special = base() / "images" / "SpecialWindow";
    for (std::string_view name : kUndeletableSubWindows)
        saveWindowFile(special / hostName(name), 200, 100, {0, 0}, 1);
    openWith({"win0.drw"});
    // A deleted window's only copy, a folder of that name, and a file equal to the shipped one.
    saveWindowFile(windowDir() / hostName("系统键盘.dlg"), 300, 200, {10, 10}, 2);
    fs::create_directory(windowDir() / hostName("系统登陆.dlg"));
    ASSERT_TRUE(fs::copy_file(special / hostName("数字键盘.dlg"), windowDir() / hostName("数字键盘.dlg")));
    const std::string keptBytes = readBytes(windowDir() / hostName("系统键盘.dlg"));

    commands->Run(tree_cmd::ImportSpecialSubWindows);
    ASSERT_EQ(prompts.messages.size(), 1u) << "one report names every window kept out";
    const auto subs = model->Windows(WindowKind::SubWindow);
    for (const char* kept : {"系统键盘.dlg", "系统登陆.dlg"}) {
        EXPECT_NE(prompts.messages[0].find(kept), std::string::npos) << gbkToUtf8Lossy(kept);
        EXPECT_EQ(std::count(subs.begin(), subs.end(), kept), 0) << "not listed over what it does not own";
    }
    EXPECT_EQ(readBytes(windowDir() / hostName("系统键盘.dlg")), keptBytes);
    EXPECT_TRUE(fs::is_directory(windowDir() / hostName("系统登陆.dlg")));
    EXPECT_EQ(std::count(subs.begin(), subs.end(), "数字键盘.dlg"), 1) << "the same bytes are taken as they are";
    EXPECT_EQ(subs.size(), kUndeletableSubWindows.size() - 2);
    expectInStep();
}

TEST_F(TreeFixture, SubWindowPropertiesMoveTheWindowAndItsObjects)
{
    openWith({"win0.drw"}, {"pop.dlg", "系统键盘.dlg"});
    CDrawDoc* pop = app->FindDocByTitle("pop.dlg");
    ASSERT_NE(pop, nullptr);
    ASSERT_EQ(pop->m_ptWindowOrigin, (Point{200, 120}));
    pop->AddObject(std::make_unique<CDrawRect>(Rect{38 + 200, 38 + 120, 38 + 300, 38 + 170}));

    select(WindowKind::SubWindow, "pop.dlg");
    dialogs.sub = {[](SubWindowDialogValues& v) {
        v.x = 0;
        v.y = 0;
        v.width = 800;
        v.height = 480;
        v.modeless = 1;
        return true;
    }};
    commands->Run(tree_cmd::SubWindowProperties);
    const SubWindowDialogValues& shown = dialogs.subSeen.at(0);
    EXPECT_EQ(shown.name, "pop");
    EXPECT_EQ(shown.width, 400u);
    EXPECT_EQ(shown.system, 0);
    EXPECT_EQ(pop->m_ptWindowOrigin, (Point{0, 0}));
    EXPECT_EQ(pop->m_nWindowWidth, 800);
    EXPECT_EQ(pop->m_objects.front()->m_rcPosition, (Rect{38, 38, 38 + 200, 38 + 100})) << "moved and doubled";
    EXPECT_EQ(pop->m_ProjectSettings[window_settings::kModelessByte], 1);
    EXPECT_FALSE(pop->IsModified()) << "saved";

    // A system sub-window keeps its name and its third layer.
    select(WindowKind::SubWindow, "系统键盘.dlg");
    dialogs.sub = {Dialogs::subNamed("keys", 100, 100, 0, 0, false)};
    prompts.messages.clear();
    commands->Run(tree_cmd::SubWindowProperties);
    EXPECT_EQ(dialogs.subSeen.at(1).system, 1);
    EXPECT_EQ(dialogs.subSeen.at(1).thirdLayer, 1);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"禁止修改<系统键盘.dlg>的名字"});
    EXPECT_GE(model->FindWindow(WindowKind::SubWindow, "系统键盘.dlg"), 0);
    expectInStep();
}

TEST_F(TreeFixture, ClickingAnItemActivatesOrOpensItsDocument)
{
    openWith({"win0.drw", "b.drw"});
    app->m_pWindowTemplate->CloseDocument(app->FindDocByTitle("b.drw"));
    MC8051StopRequest = 0;

    commands->Open({TreeItemKind::Screen, 0});
    commands->Open({TreeItemKind::Screen, 1});
    app->m_bLoadSavedVars = 0;
    app->m_nTimer0Period = 0;
    commands->Open({TreeItemKind::Simulator, -1});
    // The simulator item asks for a start, which its rebuild serves (timer 0 back at 50 ms).
    EXPECT_EQ(app->m_bLoadSavedVars.load(), 0);
    EXPECT_EQ(app->m_nTimer0Period.load(), 50);
    EXPECT_EQ(MC8051StopRequest.load(), 1);
    commands->Open({TreeItemKind::ScreensFolder, -1});
    EXPECT_EQ(host.activated, (std::vector<std::string>{"win0.drw", "b.drw", "模拟LCD/VGA显示屏"}));
    EXPECT_TRUE(isOpen("b.drw"));

    commands->Open({TreeItemKind::Root, -1});
    ASSERT_EQ(host.activated.size(), 4u);
    EXPECT_EQ(app->ProjectDoc()->GetTitle(), utf8ToGbk((projectDir() / "demo.hmi").string()).value());

    host.activated.clear();
    host.runMode = true;
    commands->Open({TreeItemKind::Simulator, -1});
    app->m_bCompiling = 1;
    commands->Open({TreeItemKind::Screen, 0});
    dialogs.screen = {Dialogs::screenNamed("x")};
    commands->Run(tree_cmd::NewScreen);
    app->m_bCompiling = 0;
    EXPECT_TRUE(host.activated.empty()) << "the simulator while it shows, anything while compiling";
    EXPECT_TRUE(dialogs.screenSeen.empty());
}
