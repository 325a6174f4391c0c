// New, open, close, save and save-as of a project: CEditorApp's project commands.
#include "model/app/editor_app.h"

#include "model/app/folder_copy.h"
#include "model/project/file_copies.h"
#include "model/project/project_texts.h"
#include "model/project/recent_project.h"
#include "model/project/resolution_range.h"
#include "model/tree/window_names.h"
#include "platform/text/gbk.h"

#include <system_error>
#include <vector>

namespace qv {

namespace fs = std::filesystem;
namespace txt = project::text;

namespace {

// The folders a new project gets besides its own.
constexpr const char* kNewProjectFolders[] = {"window", "UserPicture", "NandFlash", "UserCode"};

bool samePath(const fs::path& a, const fs::path& b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    return fs::absolute(a, ec).lexically_normal() == fs::absolute(b, ec).lexically_normal();
}

std::string inQuotes(std::string_view gbk) { return "\"" + std::string(gbk) + "\""; }

} // namespace

int CEditorApp::PromptSaveProject()
{
    m_nSaveChoice = m_docManager.AnyDocumentModified() ? Dialogs().AskSaveProject() : ProjectDialogs::DontSave;
    return m_nSaveChoice;
}

bool CEditorApp::SaveModifiedDocuments()
{
    bool ok = true;
    for (CDrawDoc* doc : m_docManager.AllDocuments())
        if (doc->IsModified() && doc->GetTitle() != kSimulatorTitle)
            ok = doc->DoFileSave() && ok;
    return ok;
}

bool CEditorApp::SaveAllDocumentsAndResetUndo()
{
    bool ok = true;
    for (CDrawDoc* doc : m_docManager.AllDocuments()) {
        if (doc->GetTitle() == kSimulatorTitle)
            continue;
        ok = doc->DoFileSave() && ok;
        doc->m_nUndoDepth = -1;
        doc->m_nUndoSlot = -1;
        doc->m_nRedoCount = 0;
        doc->m_nSnapshotLock = 0;
        doc->TakeUndoSnapshot();
    }
    return ok;
}

bool CEditorApp::SaveBeforeClosing()
{
    switch (PromptSaveProject()) {
    case ProjectDialogs::Cancel:
        return false;
    case ProjectDialogs::Save:
        return SaveModifiedDocuments();
    default:
        return true;
    }
}

std::optional<NewProjectChoice> CEditorApp::AskNewProject()
{
    auto choice = Dialogs().NewProject(m_baseDir);
    if (!choice)
        return std::nullopt;
    if (auto why = CheckWindowName(choice->nameGbk)) {
        Prompt().ShowMessage(*why, UiPrompts::Icon::Warning);
        return std::nullopt;
    }
    if (choice->width <= 0 || choice->height <= 0) {
        Prompt().ShowMessage("分辨率的宽度和高度必须大于0", UiPrompts::Icon::Warning);
        return std::nullopt;
    }
    const auto nameUtf8 = gbkToUtf8(choice->nameGbk);
    if (!nameUtf8) {
        Prompt().ShowMessage(std::string(txt::kNameNotGbk) + choice->nameGbk, UiPrompts::Icon::Warning);
        return std::nullopt;
    }
    // Anything of that name (a folder of any kind, a file, a link) is never written over.
    if (entryExists(choice->location / *nameUtf8)) {
        Prompt().ShowMessage(txt::kProjectExists, UiPrompts::Icon::Warning);
        return std::nullopt;
    }
    return choice;
}

bool CEditorApp::OnFileNewProject()
{
    // Reached with a project open only by a caller that skipped the menus: never leave two
    // projects open.
    if (!m_docManager.AllDocuments().empty())
        return OnProjectNew();
    const auto choice = AskNewProject();
    return choice && CreateProject(choice->location / *gbkToUtf8(choice->nameGbk), choice->nameGbk, choice->width,
                                   choice->height);
}

bool CEditorApp::OnProjectNew()
{
    if (!SaveBeforeClosing())
        return false;
    const auto choice = AskNewProject();
    if (!choice)
        return false;
    CloseAllDocuments();
    return CreateProject(choice->location / *gbkToUtf8(choice->nameGbk), choice->nameGbk, choice->width,
                         choice->height);
}

bool CEditorApp::CreateProject(const fs::path& folder, const std::string& nameGbk, int width, int height)
{
    if (!m_pProjectTemplate)
        InitDocTemplates();
    // Every folder is made before any document exists, so a refused folder leaves nothing open.
    // A failure takes back the folders made here (and only those), so a retry is not refused
    // as an existing project.
    std::vector<fs::path> made;
    for (const fs::path& dir : {folder, folder / kNewProjectFolders[0], folder / kNewProjectFolders[1],
                                folder / kNewProjectFolders[2], folder / kNewProjectFolders[3]}) {
        std::error_code ec;
        if (!createFoldersRecording(dir, made, ec)) {
            Prompt().ShowMessage(std::string(txt::kCannotCreateFolder) + pathForMessage(dir) + " " + ec.message(),
                                 UiPrompts::Icon::Error);
            removeMadeFolders(made);
            return false;
        }
    }
    m_strProjectDir = folder;
    m_strProjectName = nameGbk;
    m_nResWidth = width;
    m_nResHeight = height;

    const fs::path file = folder / (*gbkToUtf8(nameGbk) + std::string(txt::kProjectExtension));
    CDrawDoc* project = m_pProjectTemplate->OpenNewDocument(nameGbk + std::string(txt::kProjectExtension));
    project->m_nWindowWidth = width;
    project->m_nWindowHeight = height;
    project->m_bIsProjectDoc = 1;
    project->UpdateViewExtents();
    project->InitSystemVariables();
    DocumentError error;
    if (!project->OnSaveDocument(file, &error)) {
        Prompt().ShowMessage(error.messageGbk, UiPrompts::Icon::Error);
        CloseAllDocuments();
        removeMadeFolders(made);
        m_strProjectDir.clear();
        m_strProjectName.clear();
        return false;
    }

    RebuildSimulation();
    m_pWindowTemplate->OpenNewDocument(kSimulatorTitle);
    WriteLatestProject(file);
    m_strProjectPath = file;
    project->ConnectSerialPort1();
    CopyMC8051Folder();
    const bool firstScreen = CreateFirstScreen();
    if (m_newProjectSteps)
        m_newProjectSteps->NewProjectCreated();
    if (onProjectOpened)
        onProjectOpened(file);
    return firstScreen;
}

bool CEditorApp::CreateFirstScreen()
{
    CDrawDoc* project = ProjectDoc();
    if (!project || !m_pWindowTemplate)
        return false;
    CDrawDoc* screen = m_pWindowTemplate->OpenNewDocument(std::string(txt::kFirstScreen));
    screen->m_ptWindowOrigin = {0, 0};
    screen->m_nWindowWidth = project->m_nWindowWidth;
    screen->m_nWindowHeight = project->m_nWindowHeight;
    if (!screen->SaveToWindowFolder())
        return false; // the user has been told why; the project does not list a missing file
    if (m_treeSink)
        m_treeSink->AddScreenItem(WindowItemText(static_cast<int>(project->m_screenNames.size()), txt::kFirstScreen));
    return project->AddScreenName(txt::kFirstScreen); // saves the project
}

bool CEditorApp::OnFileOpenProject()
{
    if (!m_docManager.AllDocuments().empty())
        return OnProjectOpen();
    const auto file = Dialogs().ChooseProjectFile();
    return file && OpenProjectFile(*file);
}

bool CEditorApp::OnProjectOpen()
{
    if (m_docManager.AllDocuments().empty())
        return OnFileOpenProject();
    if (!SaveBeforeClosing())
        return false;
    const auto file = Dialogs().ChooseProjectFile();
    if (!file || samePath(*file, m_strProjectPath))
        return false;
    return ReplaceOpenProject(*this, *file);
}

bool ReplaceOpenProject(CEditorApp& app, const fs::path& file)
{
    // The open project is closed only once the chosen file is known to load.
    {
        CDrawDoc probe;
        DocumentError error;
        if (!probe.OnOpenDocument(file, &error)) {
            app.Prompt().ShowMessage(error.messageGbk, UiPrompts::Icon::Error);
            return false;
        }
        if (!IsProjectResolutionInRange(probe.m_nWindowWidth, probe.m_nWindowHeight)) {
            app.Prompt().ShowMessage(ProjectResolutionRefusal(file, probe.m_nWindowWidth, probe.m_nWindowHeight),
                                     UiPrompts::Icon::Error);
            return false;
        }
    }
    app.CloseAllDocuments();
    return app.OpenProjectFile(file);
}

RecentOpen OpenRecentProject(CEditorApp& app, const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        app.Prompt().ShowMessage(std::string(txt::kRecentProjectGone) + pathForMessage(file), UiPrompts::Icon::Warning);
        return RecentOpen::Gone;
    }
    if (app.GetDocManager().AllDocuments().empty())
        return app.OpenProjectFile(file) ? RecentOpen::Opened : RecentOpen::Failed;
    if (samePath(file, app.m_strProjectPath) || !app.SaveBeforeClosing())
        return RecentOpen::Kept;
    return ReplaceOpenProject(app, file) ? RecentOpen::Opened : RecentOpen::Failed;
}

bool CEditorApp::OnProjectClose()
{
    if (!SaveBeforeClosing())
        return false;
    CloseAllDocuments();
    return true;
}

bool CEditorApp::OnProjectSaveAs()
{
    if (!ProjectDoc())
        return false;
    // A copy of files whose save failed would not be what the user sees.
    if (!SaveModifiedDocuments())
        return false;
    const auto folder = Dialogs().ChooseFolder(txt::kSaveAsFolderTitle);
    if (!folder)
        return false;
    const auto nameUtf8 = gbkToUtf8(m_strProjectName);
    if (!nameUtf8)
        return false;
    const fs::path target = *folder / *nameUtf8;
    if (entryExists(target)) {
        Prompt().ShowMessage(std::string(txt::kSaveAsExistsPrefix) + inQuotes(m_strProjectName) +
                                 std::string(txt::kSaveAsExistsSuffix),
                             UiPrompts::Icon::Warning);
        return false;
    }
    // A copy into the project's own folder would copy itself without end.
    if (isSameOrInside(target, m_strProjectDir)) {
        Prompt().ShowMessage(txt::kSaveAsIntoItself, UiPrompts::Icon::Warning);
        return false;
    }
    if (CopyFolderTree(m_strProjectDir, target) != 0) {
        Prompt().ShowMessage(txt::kSaveAsFailed, UiPrompts::Icon::Error);
        return false;
    }
    Prompt().ShowMessage(std::string(txt::kSaveAsDonePrefix) + inQuotes(pathForMessage(target)));
    return true;
}

} // namespace qv
