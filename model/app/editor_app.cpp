#include "model/app/editor_app.h"

#include "model/app/app_environment.h"
#include "model/app/emulator_flags.h"
#include "model/app/folder_copy.h"
#include "model/document/online_link.h"
#include "model/project/drive_folders.h"
#include "model/project/file_copies.h"
#include "model/project/project_texts.h"
#include "model/project/resolution_range.h"
#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/files/temp_file.h"
#include "platform/text/gbk.h"

#include <atomic>
#include <cstdio>
#include <system_error>

namespace qv {

namespace {

std::atomic<CEditorApp*> g_currentApp{nullptr};

// Until the Qt side attaches its prompts: the text goes to stderr, questions get No.
class StderrPrompts : public UiPrompts {
public:
    void ShowMessage(std::string_view textGbk, Icon) override
    {
        std::fprintf(stderr, "%s\n", gbkToUtf8Lossy(textGbk).c_str());
    }
    bool AskYesNo(std::string_view textGbk) override
    {
        ShowMessage(textGbk, Icon::Warning);
        return false;
    }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
};

StderrPrompts g_stderrPrompts;

// Drops the window items: used while no project tree is attached.
class NoProjectTree : public ProjectTreeSink {
public:
    void AddScreenItem(std::string_view) override {}
    void AddSubWindowItem(std::string_view) override {}
};

bool isFile(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

// The first line of "latest.txt" (the program writes it without a line end).
std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

} // namespace

CEditorApp* GetEditorApp() { return g_currentApp.load(); }

CEditorApp::CEditorApp(std::filesystem::path baseDir)
    : m_baseDir(std::move(baseDir)), m_environment(std::make_unique<AppDocumentEnvironment>(*this))
{
    MC8051StopRequest = 0;
    MC8051Running = 0;
    setDocumentEnvironment(m_environment.get());
    SetApplicationByteSink(&m_serialSink);
    g_currentApp = this;
}

CEditorApp::~CEditorApp()
{
    // Closing the documents stops their serial ports, so no monitor thread reaches the sink
    // after it is removed.
    m_docManager.CloseAllDocuments();
    if (ApplicationByteSink() == &m_serialSink)
        SetApplicationByteSink(nullptr);
    if (&documentEnvironment() == m_environment.get())
        setDocumentEnvironment(nullptr);
    CEditorApp* self = this;
    g_currentApp.compare_exchange_strong(self, nullptr);
}

void CEditorApp::InitDocTemplates()
{
    if (!m_pProjectTemplate) {
        m_pProjectTemplate = &m_docManager.AddDocTemplate();
        m_pWindowTemplate = &m_docManager.AddDocTemplate();
    }
    m_nResWidth = 1;
    m_nResHeight = 1;
}

VarReferenceOps& CEditorApp::GetVarReferenceOps() { return m_environment->References(); }

UiPrompts& CEditorApp::Prompt() const { return m_prompt ? *m_prompt : g_stderrPrompts; }

void CEditorApp::SetPrompt(UiPrompts* prompt) { m_prompt = prompt; }

std::optional<std::filesystem::path> CEditorApp::LatestProjectPath(int mode) const
{
    const auto sample = resolveStoredPath(m_baseDir, kSampleProject);
    std::optional<std::filesystem::path> wanted;
    if (mode == 3) {
        std::string text;
        if (readWholeFile(m_baseDir / kLatestFileName, text) && !firstLine(text).empty())
            wanted = std::filesystem::path(firstLine(text));
    } else if (mode == 4) {
        wanted = resolveStoredPath(m_baseDir, kExampleProject);
    } else {
        return std::nullopt;
    }
    if (wanted && isFile(*wanted))
        return wanted;
    if (sample && isFile(*sample))
        return sample;
    return std::nullopt;
}

namespace {

// Saves killed half-way leave their temporary files in the project folder and the folders
// right below it (windows, image, user code); the user code's record files may lie in any
// folder of its drives.
void RemoveStaleSaveTemporaries(const std::filesystem::path& projectDir)
{
    removeStaleTemporaries(projectDir, 1);
    for (const DriveFolder& drive : kDriveFolders)
        removeStaleTemporaries(projectDir, drive.folder, kDriveSweepDepth);
}

} // namespace

bool CEditorApp::OpenLatestProject(int mode)
{
    const auto path = LatestProjectPath(mode);
    return path && OpenProjectFile(*path);
}

bool CEditorApp::OpenProjectFile(const std::filesystem::path& hmiPath)
{
    if (!m_pProjectTemplate)
        InitDocTemplates();
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(hmiPath, ec);
    if (ec)
        path = hmiPath;

    const auto name = utf8ToGbk(path.stem().string());
    if (!name) {
        Prompt().ShowMessage("工程文件名含有GBK不能表示的字符，不能打开", UiPrompts::Icon::Error);
        return false;
    }

    DocumentError error;
    CDrawDoc* project = m_pProjectTemplate->OpenDocumentFile(path, &error);
    if (!project) {
        Prompt().ShowMessage(error.messageGbk, UiPrompts::Icon::Error);
        return false;
    }

    if (!IsProjectResolutionInRange(project->m_nWindowWidth, project->m_nWindowHeight)) {
        Prompt().ShowMessage(ProjectResolutionRefusal(path, project->m_nWindowWidth, project->m_nWindowHeight),
                             UiPrompts::Icon::Error);
        m_pProjectTemplate->CloseDocument(project);
        return false;
    }

    // The paths change only once the project document stands, so a file that does not load
    // leaves the application as it was.
    m_strProjectDir = path.parent_path();
    m_strProjectName = *name;
    RemoveStaleSaveTemporaries(m_strProjectDir);
    m_nResWidth = project->m_nWindowWidth;
    m_nResHeight = project->m_nWindowHeight;
    project->m_bIsProjectDoc = 1;
    project->UpdateViewExtents();

    // Every window file that fails is named in one message instead of one box each.
    std::vector<std::string> failures;
    m_windowFailures = &failures;
    NoProjectTree noTree;
    project->FillProjectTree(m_treeSink ? *m_treeSink : noTree);
    m_windowFailures = nullptr;
    if (!failures.empty()) {
        std::string text;
        for (const auto& f : failures)
            text += (text.empty() ? "" : "\n") + f;
        Prompt().ShowMessage(text, UiPrompts::Icon::Warning);
    }

    m_pWindowTemplate->OpenNewDocument(kSimulatorTitle);
    m_bLoadSavedVars = 1;
    RebuildSimulation();
    WriteLatestProject(path);
    m_strProjectPath = path;
    project->ConnectSerialPort1();
    CopyMC8051Folder();
    if (onProjectOpened)
        onProjectOpened(path);
    return true;
}

bool CEditorApp::WriteLatestProject(const std::filesystem::path& hmiPath)
{
    std::string error;
    if (writeFileAtomically(m_baseDir / kLatestFileName, hmiPath.string(), &error))
        return true;
    ReportLine(std::string(project::text::kCannotWriteLatest) + pathForMessage(m_baseDir / kLatestFileName) + " " + error);
    return false;
}

void CEditorApp::ReportLine(std::string textGbk) { m_reports.appendText(std::move(textGbk) + "\r\n"); }

ProjectDialogs& CEditorApp::Dialogs() const
{
    static CancellingProjectDialogs cancelling;
    return m_projectDialogs ? *m_projectDialogs : cancelling;
}

void CEditorApp::CloseAllDocuments()
{
    const bool hadProject = ProjectDoc() != nullptr;
    // The user code prints to the project's ports and reads its folder: it ends first.
    if (m_simulation) {
        m_simulation->StopUserCode();
        m_simulation->ReleaseProjectPorts();
    }
    m_docManager.CloseAllDocuments();
    // Without a project no port is linked: both port panes return to their idle texts.
    if (hadProject)
        for (int port : {1, 2})
            m_reports.post(ReportStatus{port, SerialPortIdleText(port)});
}

namespace {

// Copies images/<name> into the project unless something of that name is there already
// (a folder, or a file the copy must not replace); an empty folder where the base folder has
// none to copy. A failed copy is reported.
bool copySupportFolder(CEditorApp& app, const std::filesystem::path& projectDir, const char* name)
{
    const std::filesystem::path to = projectDir / name;
    if (entryExists(to))
        return true;
    std::error_code ec;
    if (!entryExists(app.BaseDir() / "images" / name)) {
        std::filesystem::create_directory(to, ec);
        if (!ec)
            return true;
    }
    if (CopyFolderTree(app.BaseDir() / "images" / name, to) == 0)
        return true;
    app.m_reports.appendText(std::string(project::text::kCannotCopyFolder) + pathForMessage(app.BaseDir() / "images" / name) +
                             " -> " + pathForMessage(to) + "\r\n");
    return false;
}

} // namespace

int CEditorApp::CopySpecialDisks()
{
    for (const char* disk : {"UsbDisk", "SDCard", "FDisk"})
        copySupportFolder(*this, m_strProjectDir, disk);
    return 1;
}

int CEditorApp::CopyMC8051Folder()
{
    CopySpecialDisks();
    return copySupportFolder(*this, m_strProjectDir, "MC8051") ? 0 : 1;
}

CDrawDoc* CEditorApp::ProjectDoc() const
{
    return m_pProjectTemplate ? m_pProjectTemplate->FirstDocument() : nullptr;
}

CDrawDoc* CEditorApp::FindDocByTitle(const std::string& title) const { return m_docManager.FindDocumentByTitle(title); }

CDrawDoc* CEditorApp::FindCurrentScreenDoc() const { return FindDocByTitle(m_strSimScreen); }
CDrawDoc* CEditorApp::FindCurrentSubWindowDoc() const { return FindDocByTitle(m_strSimSubWindow); }
CDrawDoc* CEditorApp::FindSystemSubWindowDoc() const { return FindDocByTitle(m_strSimSysWindow); }

CDrawDoc* CEditorApp::FindWindowDocByFileName(const std::string& fileName) const
{
    if (!m_pWindowTemplate)
        return nullptr;
    const auto host = gbkToUtf8(fileName);
    return host ? m_pWindowTemplate->FindByFileName(std::filesystem::path(*host)) : nullptr;
}

std::string FileNameOfPath(const std::string& gbkPath)
{
    const auto parts = splitGbk(gbkPath, '\\');
    return parts.empty() ? std::string() : parts.back();
}

CDrawDoc* FindDocumentByTitle(const std::string& title)
{
    CEditorApp* app = GetEditorApp();
    return app ? app->FindDocByTitle(title) : nullptr;
}

} // namespace qv
