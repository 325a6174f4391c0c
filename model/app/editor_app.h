#pragma once
// CEditorApp: the one application object. Every part of the program reads the project-wide
// state from it: the two document templates, the project folder, name and file, the project
// resolution, the variable memory, the busy and abort flags, the progress counters and the
// device list. It is headless: the Qt side creates it after the QApplication and attaches
// through the document observer and the UI prompt.
//
// Threads: the GUI thread owns the object. Workers (compile, download, 8051 emulator, serial
// monitors, address adjustment) read and write only the std::atomic members and the variable
// banks (whose bytes are atomic themselves); everything else is written by the GUI thread
// while no worker runs.
#include "model/app/doc_manager.h"
#include "model/app/nand_geometry.h"
#include "model/app/new_project_steps.h"
#include "model/app/simulation_services.h"
#include "model/app/usb_device_list.h"
#include "model/paint/control_font_registry.h"
#include "model/project/project_dialogs.h"
#include "model/vars/panel_clock.h"
#include "model/vars/var_bank.h"
#include "platform/report/report_queue.h"
#include "platform/serial/com_port.h"

#include "model/document/document_environment.h"
#include "model/document/ui_prompts.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class CDrawView;
class DeviceCommands;
class Surface;
class AppDocumentEnvironment;
class VarReferenceOps;

// Point of the simulator's character-control caret.
struct CaretPoint {
    int x = 0;
    int y = 0;
};

class CEditorApp {
public:
    // The project sample paths, relative to the base folder, in stored (GBK, '\') form.
    static constexpr const char* kSampleProject = "例子\\示例工程\\示例工程.hmi";
    static constexpr const char* kExampleProject = "Examples\\银行ATM取款机\\银行ATM取款机.hmi";
    static constexpr const char* kLatestFileName = "latest.txt";
    static constexpr const char* kSimulatorTitle = "模拟LCD/VGA显示屏";

    // `baseDir` is the program's base folder (its current directory): it holds "images", the
    // sample projects and "latest.txt". The new object becomes the current application and
    // clears the emulator's flags.
    explicit CEditorApp(std::filesystem::path baseDir);
    ~CEditorApp(); // releases members only: saves nothing, writes no "latest.txt"
    CEditorApp(const CEditorApp&) = delete;
    CEditorApp& operator=(const CEditorApp&) = delete;

    // Builds the two document templates and resets the resolution. The Qt side creates the
    // main window between this and OpenLatestProject.
    void InitDocTemplates();

    // Mode 3: the project named in "latest.txt", else the sample project. Mode 4: the
    // example project, else the sample project. Any other mode does nothing. Returns true
    // when a project was opened.
    bool OpenLatestProject(int mode);

    // The open sequence of a project file (start-up and the open commands): loads the
    // project document and every window file it lists, adds the simulator document and
    // writes "latest.txt". False (with a message naming the file) when the project file
    // cannot be loaded; nothing already open is changed then.
    bool OpenProjectFile(const std::filesystem::path& hmiPath);

    // Closes every document of both templates.
    void CloseAllDocuments();

    // ---- Project commands (model/project/project_commands.cpp) ----
    // Each returns true when it did what it was asked (false: cancelled, refused or failed;
    // the user has been told why).
    bool OnFileNewProject();  // no project open
    bool OnProjectNew();      // a project open: save prompt, then close it
    bool OnFileOpenProject(); // no project open
    bool OnProjectOpen();
    bool OnProjectClose();
    bool OnProjectSaveAs();
    // Saves every modified document except the simulator's; false when a save failed.
    bool SaveModifiedDocuments();
    // Saves every document except the simulator's and restarts its undo history.
    bool SaveAllDocumentsAndResetUndo();
    // 2 (do not save) without asking when nothing is modified, else the prompt's answer:
    // 0 cancel, 1 save, 2 do not save. Kept in m_nSaveChoice.
    int PromptSaveProject();
    // The save prompt of everything that closes the project (the project commands and the
    // main window): false when the caller must stop, since the user cancelled or a save
    // failed and closing then would lose the changes.
    bool SaveBeforeClosing();
    // The first screen "win0.drw" of a new project, saved and listed in the project.
    bool CreateFirstScreen();

    // ---- Project files (model/project/project_files.cpp) ----
    // Copies a picture into the project's "UserPicture" folder and returns its stored name
    // "\UserPicture\" + file name. A different picture of the same name already there is
    // kept and the copy gets a new name. nullopt (the user told why) when it cannot be copied.
    std::optional<std::string> CopyUserPicture(const std::filesystem::path& source);
    // Copies a window file into the project's "window" folder unless one of that name is
    // there; the destination, or nullopt when the copy failed.
    std::optional<std::filesystem::path> CopyWindowFile(const std::filesystem::path& source);
    // Copies every file of `srcDir` matching `pattern` into `dstDir`; the number that failed
    // (each reported in the output).
    int CopyFolderFiles(const std::filesystem::path& srcDir, const std::filesystem::path& dstDir,
                        std::string_view pattern, bool failIfExists);

    // ---- Window walks (model/project/window_walks.cpp) ----
    // The simulator moves a sub-window to (x, y) on its canvas, kept inside the screen.
    void MoveSubWindowDoc(const std::string& title, int x, int y);
    // After the variable table changed, every window of the project (open or not) has its
    // references fixed and is saved; false when a window could not be fixed (named in a
    // message, its file unchanged).
    bool OnHmiVarDeleted(int row);
    bool OnHmiVarsCleared(int row);
    bool OnHmiVarMoved(int row);
    bool OnHmiVarPasted(int row);
    bool OnHmiVarsChanged(int row);
    // Re-resolves the references of the open windows; a listed window without an open
    // document is named ("Error:UpDateVar") and skipped.
    void RefreshVariableBindings(std::string_view text);
    // Every screen scales to the new resolution; every sub-window shrinks with it when it no
    // longer fits, else keeps its size and is centred. Each is saved.
    bool RescaleWindowsToResolution(int oldWidth, int oldHeight, int newWidth, int newHeight);

    void SetProjectDialogs(ProjectDialogs* dialogs) { m_projectDialogs = dialogs; }
    ProjectDialogs& Dialogs() const;

    // Copies "UsbDisk", "SDCard" and "FDisk" from the base folder's "images" into the
    // project folder where they are missing (empty ones where the base folder has none);
    // results are ignored, returns 1.
    int CopySpecialDisks();
    // CopySpecialDisks, then the same for "MC8051"; 1 when that copy was tried and failed.
    int CopyMC8051Folder();

    // Look-ups, by byte-exact title (both templates, template order then document order)
    // or by the file-name part of a window document's path. nullptr when nothing matches.
    CDrawDoc* FindCurrentScreenDoc() const;
    CDrawDoc* FindCurrentSubWindowDoc() const;
    CDrawDoc* FindSystemSubWindowDoc() const;
    CDrawDoc* FindWindowDocByFileName(const std::string& fileName) const;
    CDrawDoc* FindDocByTitle(const std::string& title) const;
    // The project document: the first document of the project template.
    CDrawDoc* ProjectDoc() const;

    // The prompts messages go through: the Qt side's once attached (SetPrompt), else one
    // that writes the text to stderr and answers No / Cancel.
    UiPrompts& Prompt() const;
    void SetPrompt(UiPrompts* prompt);
    // Where the open sequence puts the window items of the project tree (none: dropped).
    void SetProjectTree(ProjectTreeSink* tree) { m_treeSink = tree; }
    // Who adds the special sub-windows to a new project (none: a new project has only its
    // first screen).
    void SetNewProjectSteps(NewProjectSteps* steps) { m_newProjectSteps = steps; }
    NewProjectSteps* GetNewProjectSteps() const { return m_newProjectSteps; }

    DocManager& GetDocManager() { return m_docManager; }
    // The per-object reference upkeep the documents' broadcasts run.
    VarReferenceOps& GetVarReferenceOps();

    // Called with the project path after a project opened (the Qt side keeps the recent
    // files list from it).
    std::function<void(const std::filesystem::path&)> onProjectOpened;
    // Progress of a long operation in percent; 0 hides it.
    std::function<void(int)> onProgress;

    const std::filesystem::path& BaseDir() const { return m_baseDir; }

    // Output lines, progress and close-box changes for the GUI thread, which drains it.
    // Workers post here and never touch a widget.
    ReportQueue m_reports;

    // Output bar texts of the compile, download and device commands (each carries its own
    // "\r\n"); any thread.
    void AppendOutput(std::string gbk);
    // The bytes as "%x" each followed by one blank, as one text.
    void AppendOutputHex(std::span<const std::uint8_t> bytes);
    // Refills m_FDiskFiles with the files (not folders) of the project's "FDisk" folder,
    // ordered by name; empty without a project or folder. For the download's file stage.
    void ListFDiskFiles();
    std::vector<std::filesystem::path> m_FDiskFiles;

    // ---- Simulator services (their owners build them) ----
    // The simulator run time (installed by the program; none: memory and windows only).
    void SetSimulationServices(SimulationServices* services) { m_simulation = services; }
    SimulationServices* GetSimulationServices() const { return m_simulation; }
    // Rebuilds the simulator's state from the current project. With m_bLoadSavedVars set (the
    // start request: opening a project, full screen, the simulator item) it also restores the
    // saved variables, reloads the PLC drivers and restarts the user code, then clears it.
    void RebuildSimulation();
    // The rebuild an edit asks for (placing a control, a sheet's OK). With a deferral
    // installed, a burst of edits rebuilds once, when the deferral runs; without one (no
    // event loop) it rebuilds at once. A full rebuild meanwhile takes the pending one's place.
    void RequestSimulationRebuild();
    // The window side runs what it is given once control returns to its event loop. A
    // rebuild still pending runs at once, since the old deferral may never run it.
    void SetRebuildDeferral(std::function<void(std::function<void()>)> defer);
    // The PLC protocol block rebuilt from the driver files (the compiler takes it too).
    void LoadProtocolDrivers();
    std::vector<std::uint8_t> ProtocolBlockImage() const;
    // Input target, keypad text and idle count back to their start.
    void ResetRunInputState();
    // The text keyboard's latches (caps, insert, shift, pinyin) off and its pinyin letters gone.
    void ResetTextEntryState();
    int OnSerialByte(std::uint8_t byte, int port);
    void PollPlcPorts();
    void AnimateObjects();
    void BlinkInputCaret();
    void SyncScreenVariables();

    // ---- Compiler and device download services (their owners build them) ----
    void OnCompileProject();
    void OnDownloadProject();
    void QuickDownloadProject();
    // Device commands ("同步PC和下位机时钟", "清除FLASH内的工程", the download's FLASH test): the device layer
    // installs what runs them (SetDeviceCommands); without it they do nothing.
    void SyncPanelClock();
    int TestFlash();
    void ClearFlashProject();
    void SetDeviceCommands(DeviceCommands* commands) { m_deviceCommands = commands; }
    DeviceCommands* GetDeviceCommands() const { return m_deviceCommands; }
    void WriteSysVarHeader();
    void WriteHmiVarHeader();

    // ---- State ----
    int m_nResWidth = 1; // project resolution
    int m_nResHeight = 1;
    std::atomic<int> m_nMarginX{38}; // the device screen starts this far right and down
    std::atomic<int> m_nMarginY{38};

    qv::VarBank m_VarMem;    // variable memory image, by variable address
    qv::VarBank m_VarMemRun; // second bank, read by the simulator and the 8051 emulator

    DocTemplate* m_pProjectTemplate = nullptr; // the one project document
    DocTemplate* m_pWindowTemplate = nullptr;  // screens, sub-windows, the simulator document

    std::filesystem::path m_strProjectDir;  // host folder of the ".hmi" file
    std::string m_strProjectName;           // GBK: the ".hmi" file name without extension
    std::filesystem::path m_strProjectPath; // host path of the ".hmi" file

    std::atomic<int> m_bCompiling{0};
    std::atomic<int> m_bDownloading{0};
    std::atomic<int> m_bAbort{0};
    std::atomic<int> m_nProgressTotal{0};
    std::atomic<int> m_nProgressDone{0};
    std::atomic<int> m_bLoadSavedVars{0};
    std::atomic<int> m_bShowCtrlNumbers{0};
    std::atomic<int> m_bShowBars{1};
    int m_nSaveChoice = 0; // 0 cancel, 1 save, 2 do not save
    CDrawView* m_pFocusView = nullptr;

    // Files the simulator shows (GBK file names).
    std::string m_strSimScreen;
    std::string m_strSimSubWindow;
    std::string m_strSimSysWindow;
    std::atomic<int> m_nSimDragX{0};
    std::atomic<int> m_nSimDragY{0};

    // Compile working fields.
    int m_nHeaderBufferSize = 0x200000;
    std::vector<std::uint8_t> m_pHeaderBuffer; // allocated by the main window
    int m_nWindowCount = 0;
    NandGeometry m_nand = kDefaultNandGeometry; // flash layout of compile and download
    std::uint32_t m_nFlashAddress = 0x200000;    // current flash address
    int m_nStartBlock = 3;
    std::string m_strCompileMessage;
    std::array<std::uint32_t, 3> m_compileColours{0xF8FCF8, 0xF8FCF8, 0xF8F8F8};
    std::array<int, 2> m_compileSizes{360, 256};
    std::vector<std::string> m_saCompileNames;

    // Panels found on USB, their kind boundaries and the selection.
    UsbDeviceList m_UsbDevices;
    std::array<std::uint8_t, 64> m_deviceInfo{};
    std::string m_strMachineName; // at most 15 characters

    // Simulator run-time state shared with the run-mode view and the painters.
    // Bit 0: single-register Modbus writes use function 6.
    std::atomic<int> m_nSerialOption{0};
    // Set by the rebuild: the run-mode paint takes the live bank first.
    std::atomic<int> m_AutoRefresh{0};
    // Timer 0 of the user code: the period the code asked for, the one in force (ms), and
    // the ticks not yet taken by the emulator.
    std::atomic<int> m_nTimer0Request{0};
    std::atomic<int> m_nTimer0Period{0};
    std::atomic<int> m_nTimer0Pending{0};
    std::atomic<int> m_bSimRepaint{0};
    std::array<char, 34> m_szKeypadText{};
    int m_nKeypadLength = 0;
    int m_nIdleTicks = 0; // run-mode view: timer-1 ticks without mouse input
    CDrawObj* m_pInputTarget = nullptr;
    std::atomic<int> m_bCapsLock{0};
    std::atomic<int> m_bInsertMode{0};
    std::atomic<int> m_bShiftLatch{0};
    std::atomic<int> m_bPinyinMode{0};
    std::array<char, 16> m_szPinyin{};
    const char* m_pPinyinCandidates = nullptr;
    int m_nPinyinPitch = 0;
    int m_nPinyinPage = 0;
    CaretPoint m_ptCaret;
    int m_nInputCaretIndex = 0; // byte count into the input target's text where typing goes
    std::atomic<int> m_bConvertClamp{0};
    qv::Surface* m_pRunBackDC = nullptr; // the device and its bezel at the margins; null outside run mode

    // The panel's clock in the simulator: an offset to the PC's local time.
    qv::PanelClock m_PanelClock;
    // Fonts of the controls already rendered by this compile (FindOrAddControlFont).
    ControlFontRegistry m_ControlFonts;
    int FindOrAddControlFont(const CDrawObj& obj) { return m_ControlFonts.FindOrAddControlFont(obj); }

private:
    // The project file to open for `mode` (3 latest, 4 example), or nullopt.
    std::optional<std::filesystem::path> LatestProjectPath(int mode) const;
    // False (and a line in the output) when "latest.txt" cannot be written.
    bool WriteLatestProject(const std::filesystem::path& hmiPath);
    // A line in the output bar (GBK, the line end is added).
    void ReportLine(std::string textGbk);
    // The steps of a new project after the dialog and the folder check.
    bool CreateProject(const std::filesystem::path& folder, const std::string& nameGbk, int width, int height);
    // The dialog and the folder check of a new project; nullopt when cancelled or refused.
    std::optional<NewProjectChoice> AskNewProject();
    enum class WalkSave { None, All };
    // Calls `fix` on every window of the project's lists, loading the ones that are not open.
    bool ForEachProjectWindow(const std::function<void(CDrawDoc&, bool screen)>& fix, WalkSave save);

    friend class AppDocumentEnvironment;

    // Every byte a serial monitor thread receives reaches OnSerialByte through this sink.
    class ByteSink : public SerialByteSink {
    public:
        explicit ByteSink(CEditorApp& app) : app_(app) {}
        int OnSerialByte(unsigned char byte, int port) override { return app_.OnSerialByte(byte, port); }

    private:
        CEditorApp& app_;
    };
    ByteSink m_serialSink{*this};

    std::filesystem::path m_baseDir;
    DocManager m_docManager;
    UiPrompts* m_prompt = nullptr;
    ProjectDialogs* m_projectDialogs = nullptr;
    ProjectTreeSink* m_treeSink = nullptr;
    NewProjectSteps* m_newProjectSteps = nullptr;
    DeviceCommands* m_deviceCommands = nullptr;
    std::unique_ptr<AppDocumentEnvironment> m_environment;
    SimulationServices* m_simulation = nullptr;
    std::function<void(std::function<void()>)> m_deferRebuild;
    bool m_bRebuildPending = false;
    // While a project opens, window files that fail are collected for one message.
    std::vector<std::string>* m_windowFailures = nullptr;
};

// The current application (the one most recently constructed and not yet destroyed), or
// nullptr.
CEditorApp* GetEditorApp();

// The part of a path after its last backslash (lead-byte aware, GBK).
std::string FileNameOfPath(const std::string& gbkPath);

// The document titled `title` among every document of both templates, or nullptr.
CDrawDoc* FindDocumentByTitle(const std::string& title);

} // namespace qv
