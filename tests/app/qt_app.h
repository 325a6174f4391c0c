#pragma once
// The one QApplication of a test process: made on first use and never destroyed. A
// function-static instance would be destroyed after Qt's own globals (the icon theme's
// among them) and crash at exit.
#include <QApplication>
#include <QCoreApplication>

namespace qv::test {

inline QApplication& qtApp()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace qv::test
