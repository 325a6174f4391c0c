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

} // namespace qv::test
