// The profile's recent files, the about box and the non-interactive prompts.
#include "app/about/about_dlg.h"
#include "app/startup/profile.h"
#include "app/startup/qt_prompt.h"
#include "tests/app/qt_app.h"
#include "tests/fixtures/temp_dir.h"

#include <QSettings>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

TEST(RecentFiles, KeepsTheNewestFourAndSurvivesARestart)
{
    qv::test::TempDir dir;
    const QString file = QString::fromStdString((dir / "profile.ini").string());
    struct Step {
        enum { Add, Remove } op;
        const char* path;
        QStringList expected;
    };
    const Step steps[] = {
        {Step::Add, "/p/a.hmi", {q("/p/a.hmi")}},
        {Step::Add, "/p/b.hmi", {q("/p/b.hmi"), q("/p/a.hmi")}},
        {Step::Add, "/p/a.hmi", {q("/p/a.hmi"), q("/p/b.hmi")}}, // moves up, no duplicate
        {Step::Add, "/p/c.hmi", {q("/p/c.hmi"), q("/p/a.hmi"), q("/p/b.hmi")}},
        {Step::Add, "/p/d.hmi", {q("/p/d.hmi"), q("/p/c.hmi"), q("/p/a.hmi"), q("/p/b.hmi")}},
        {Step::Add, "/p/e.hmi", {q("/p/e.hmi"), q("/p/d.hmi"), q("/p/c.hmi"), q("/p/a.hmi")}}, // oldest dropped
        {Step::Remove, "/p/d.hmi", {q("/p/e.hmi"), q("/p/c.hmi"), q("/p/a.hmi")}},
        {Step::Remove, "/p/none.hmi", {q("/p/e.hmi"), q("/p/c.hmi"), q("/p/a.hmi")}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.path);
        {
            QSettings settings(file, QSettings::IniFormat);
            qv::RecentFileList list(settings);
            if (s.op == Step::Add)
                list.add(q(s.path));
            else
                list.remove(q(s.path));
            EXPECT_EQ(list.entries(), s.expected);
        }
        QSettings reread(file, QSettings::IniFormat); // a later start sees the same list
        EXPECT_EQ(qv::RecentFileList(reread).entries(), s.expected);
    }
}

TEST(RecentFiles, TheProfileLivesUnderZenvaro)
{
    const auto settings = qv::openProfile();
    EXPECT_EQ(settings->organizationName(), q("Zenvaro"));
    EXPECT_EQ(settings->applicationName(), q("Quorvane"));
    EXPECT_TRUE(settings->fileName().contains(q("Zenvaro"))) << settings->fileName().toStdString();
}

TEST(AboutBox, ShowsVersionThreePointTwo)
{
    qv::test::qtApp();
    qv::CAboutDlg dlg;
    EXPECT_EQ(dlg.shownVersion(), QString::fromUtf8(u8"Quorvane V3.2 版"));
}

TEST(QtPrompt, DoesNotWaitForAClickWhenNonInteractive)
{
    qv::test::qtApp();
    ::setenv("QV_NONINTERACTIVE", "1", 1);
    qv::QtPrompt prompt;
    prompt.ShowMessage("找不到系统文件夹images", qv::UiPrompts::Icon::Error);
    EXPECT_FALSE(prompt.AskYesNo("将改动保存到 a.drw？"));
    EXPECT_FALSE(prompt.ChooseColor(0x00FFFF00).has_value());
}

} // namespace
