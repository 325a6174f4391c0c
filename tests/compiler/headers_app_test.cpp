// The application's header roads on a real project: what a new project writes, which stale
// user-code files each road deletes, and that a header that cannot be written is reported.
#include "compiler/headers/var_header_files.h"
#include "compiler/headers/var_header_text.h"
#include "model/app/header_writers.h"
#include "model/vars/hmi_vars.h"
#include "tests/model/project_fixture.h"

#include <unistd.h>

namespace qv::test {
namespace {

class HeaderRoads : public ProjectTest {
protected:
    HeaderRoads() { InstallVarHeaderWriters(); }
    ~HeaderRoads() override { SetHeaderWriters({}); }

    std::vector<std::string> outputLines()
    {
        std::vector<std::string> lines;
        app->m_reports.drain([&](Report& r) {
            if (auto* text = std::get_if<ReportText>(&r))
                lines.push_back(text->gbk);
        });
        return lines;
    }

    void plantUserCodeFiles(const fs::path& folder)
    {
        writeText(folder / "MC8051" / "MC8051.hex", ":00000001FF\r\n"); // the tool chain's letter case
        writeText(folder / "NandFlash" / "VarToFlash.vtf", "saved");
    }
};

TEST_F(HeaderRoads, NewProjectGetsAllThreeHeaders)
{
    const fs::path folder = newProject("headers");
    const HmiVarTable& table = app->ProjectDoc()->m_varTable;
    EXPECT_EQ(readText(folder / "SysVar.h"), SysVarHeaderText(table, 28));
    EXPECT_EQ(readText(folder / "HmiVar.h"), HmiVarHeaderText(table));
    EXPECT_EQ(readText(folder / "HmiVarStruct.h"), HmiVarStructHeaderText(table));
}

TEST_F(HeaderRoads, EachRoadDeletesTheFilesItShould)
{
    struct Case {
        bool deleteSavedVars;
        bool savedVarsRemain;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        const fs::path folder = newProject(c.deleteSavedVars ? "app_road" : "manager_road");
        plantUserCodeFiles(folder);
        app->ProjectDoc()->m_varTable.AppendRow("28", "unsigned short", "m_Added", "5", "");
        c.deleteSavedVars ? app->WriteSysVarHeader() : WriteVariableHeaders(*app, false);
        EXPECT_FALSE(fs::exists(folder / "MC8051" / "MC8051.hex"));
        EXPECT_EQ(fs::exists(folder / "NandFlash" / "VarToFlash.vtf"), c.savedVarsRemain);
        EXPECT_NE(readText(folder / "HmiVar.h").find("#define   m_Added"), std::string::npos);
        EXPECT_TRUE(readText(folder / "SysVar.h").ends_with("m_UserAdr       32"));
        ASSERT_TRUE(app->OnProjectClose());
    }
}

TEST_F(HeaderRoads, WithoutAProjectNothingIsWrittenOrDeleted)
{
    const fs::path cwd = fs::current_path();
    ASSERT_EQ(::chdir(base().c_str()), 0);
    app->WriteSysVarHeader();
    app->WriteHmiVarHeader();
    EXPECT_FALSE(fs::exists(base() / "SysVar.h"));
    EXPECT_FALSE(fs::exists(base() / "HmiVar.h"));
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
}

TEST_F(HeaderRoads, AHeaderThatCannotBeWrittenIsReportedAndTheOthersStillWritten)
{
    const fs::path folder = newProject("blocked");
    outputLines();
    fs::remove(folder / "HmiVar.h");
    fs::create_directories(folder / "HmiVar.h" / "occupied"); // a folder where the file goes
    fs::remove(folder / "SysVar.h");
    app->WriteSysVarHeader();
    const auto lines = outputLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("无法写入头文件：")) << lines[0];
    EXPECT_TRUE(fs::exists(folder / "SysVar.h"));
}

} // namespace
} // namespace qv::test
