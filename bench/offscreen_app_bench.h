#pragma once
// The one QApplication of an editor benchmark program, offscreen unless the environment
// says otherwise.
#include <QApplication>

#include <string>

namespace qv::bench {

inline QApplication& offscreenApplication(const char* programName)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static std::string name = programName;
    static char* argv[] = {name.data(), nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace qv::bench
