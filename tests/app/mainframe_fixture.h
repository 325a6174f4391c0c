#pragma once
// A main window on a scripted host: the tests set the busy flags and the project's window
// lists directly, and wait for the GUI thread to drain what workers posted.
#include "app/mainframe/main_frame.h"
#include "tests/app/qt_app.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace qv::test {

inline QApplication& guiApp() { return qtApp(); }

class ScriptedHost : public CMainFrameHost {
public:
    void FillAppState(cmd::ShellState& s) const override
    {
        s.compiling = compiling;
        s.downloading = downloading;
        s.anyDocumentModified = modified;
    }
    ProjectWindowLists WindowLists() const override { return lists; }
    void BeforeWindowSwitch() override { ++switches; }
    bool ShowBars() const override { return showBars; }
    void FitViewsToDesktop(const std::string& title) override { fitted.push_back(title); }
    void RestoreViewMargins(const std::string& title) override { restored.push_back(title); }

    bool compiling = false;
    bool downloading = false;
    bool modified = false;
    bool showBars = true;
    int switches = 0;
    ProjectWindowLists lists;
    std::vector<std::string> fitted;
    std::vector<std::string> restored;
};

// Processes events until `done` holds (or a generous time-out passes).
template <class Pred>
bool waitFor(Pred done, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class MainFrameFixture : public ::testing::Test {
protected:
    MainFrameFixture()
    {
        guiApp();
        frame = std::make_unique<CMainFrame>(&host);
        frame->setGeometry(40, 30, 760, 540);
        frame->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }

    // Opens a window frame as the project opener would, in the project's order.
    CSplitFrame* open(const std::string& title, bool isProject = false, bool runMode = false)
    {
        DocumentWindowInfo info;
        info.title = title;
        info.isProject = isProject;
        info.runMode = runMode;
        info.document = reinterpret_cast<const void*>(++nextDoc_);
        return frame->AddDocumentWindow(info);
    }

    ScriptedHost host;
    std::unique_ptr<CMainFrame> frame;

private:
    std::uintptr_t nextDoc_ = 0x1000;
};

} // namespace qv::test
