// The header roads of CEditorApp: delete the user-code files the new addresses invalidate,
// then have the installed writers regenerate the headers from the project's table.
#include "model/app/header_writers.h"

#include "model/app/editor_app.h"
#include "model/project/file_copies.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <system_error>

namespace qv {

namespace {

HeaderWriters g_writers;

constexpr const char* kUserCodeHex = "\\MC8051\\MC8051.HEX";
constexpr const char* kSavedVars = "\\NandFlash\\VarToFlash.vtf";

// The file may be missing, or stored with other letter case by the 8051 tool chain.
void deleteProjectFile(const std::filesystem::path& projectDir, const char* stored)
{
    if (auto file = resolveStoredPath(projectDir, stored)) {
        std::error_code ec;
        std::filesystem::remove(*file, ec);
    }
}

void reportWriteFailure(CEditorApp& app, const std::string& errorUtf8)
{
    app.m_reports.appendText(std::string("无法写入头文件：") + utf8ToGbk(errorUtf8).value_or(errorUtf8) + "\r\n");
}

} // namespace

void SetHeaderWriters(const HeaderWriters& writers) { g_writers = writers; }

const HeaderWriters& GetHeaderWriters() { return g_writers; }

void WriteVariableHeaders(CEditorApp& app, bool deleteSavedVars)
{
    const CDrawDoc* project = app.ProjectDoc();
    // Without a project there is no folder: an empty path would write beside the program.
    if (!project || app.m_strProjectDir.empty())
        return;
    deleteProjectFile(app.m_strProjectDir, kUserCodeHex);
    if (deleteSavedVars)
        deleteProjectFile(app.m_strProjectDir, kSavedVars);
    if (g_writers.writeSysVar) {
        std::string error;
        if (!g_writers.writeSysVar(app.m_strProjectDir, project->m_varTable, GetVariableMemorySize(app) / 2, &error))
            reportWriteFailure(app, error);
    }
    app.WriteHmiVarHeader();
}

void CEditorApp::WriteSysVarHeader() { WriteVariableHeaders(*this, true); }

void CEditorApp::WriteHmiVarHeader()
{
    const CDrawDoc* project = ProjectDoc();
    if (!project || m_strProjectDir.empty() || !g_writers.writeHmiVar)
        return;
    std::string error;
    if (!g_writers.writeHmiVar(m_strProjectDir, project->m_varTable, &error))
        reportWriteFailure(*this, error);
}

} // namespace qv
