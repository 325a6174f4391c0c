#pragma once
// A small project on disk for the window tests: 320 x 240, screens "win0.drw" and
// "win1.drw", sub-window "sub0.dlg", each window file present and empty.
#include "model/document/draw_doc.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace qv::test {

// Writes "<parent>/demo/demo.hmi" and its window files; returns the project file.
inline std::filesystem::path writeSmallProject(const std::filesystem::path& parent)
{
    const std::filesystem::path folder = parent / "demo";
    std::filesystem::create_directories(folder / "window");
    CDrawDoc project;
    project.m_nWindowWidth = 320;
    project.m_nWindowHeight = 240;
    for (const char* s : {"win0.drw", "win1.drw"})
        project.AddScreenName(s);
    project.AddSubWindowName("sub0.dlg");
    DocumentError error;
    EXPECT_TRUE(project.OnSaveDocument(folder / "demo.hmi", &error)) << error.messageGbk;
    for (const char* w : {"win0.drw", "win1.drw", "sub0.dlg"}) {
        CDrawDoc window;
        EXPECT_TRUE(window.OnSaveDocument(folder / "window" / w, &error)) << error.messageGbk;
    }
    return folder / "demo.hmi";
}

// Writes "<parent>/demo/demo.hmi": an 800 x 480 project of one screen "win0.drw" with the
// system variables, the window placed at `origin`; returns the project file.
inline std::filesystem::path writeOneScreenProject(const std::filesystem::path& parent, Point origin = {0, 0})
{
    const std::filesystem::path folder = parent / "demo";
    std::filesystem::create_directories(folder / "window");
    DocumentError error;
    CDrawDoc project;
    project.m_nWindowWidth = 800;
    project.m_nWindowHeight = 480;
    project.InitSystemVariables();
    project.m_screenNames.push_back(std::make_unique<CDrawObj>(std::string("win0.drw")));
    EXPECT_TRUE(project.OnSaveDocument(folder / "demo.hmi", &error)) << error.messageGbk;
    CDrawDoc window;
    window.m_nWindowWidth = 800;
    window.m_nWindowHeight = 480;
    window.m_ptWindowOrigin = origin;
    EXPECT_TRUE(window.OnSaveDocument(folder / "window" / "win0.drw", &error)) << error.messageGbk;
    return folder / "demo.hmi";
}

} // namespace qv::test
