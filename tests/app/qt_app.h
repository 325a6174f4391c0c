#pragma once
// One QApplication for the widget tests of a test process.
#include <QApplication>

namespace qv::test {

inline QApplication& qtApp()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

} // namespace qv::test
