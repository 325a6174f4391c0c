#pragma once
// The one document class: the project (".hmi") or one screen (".drw") or sub-window (".dlg").
// Every instance has the same fields and the same file format; a window file carries its own
// copy of the variable table, the name lists and the settings, but operations that need them
// read the project document's.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/document/document_view.h"
#include "model/shape/draw_obj.h"
#include "platform/serial/com_port.h"
#include "platform/serial/serial_framing.h"

namespace qv {

namespace archive {
class ArchiveReader;
class ArchiveWriter;
} // namespace archive

class SerialLinkOwner;

using ObjectList = std::vector<std::unique_ptr<CDrawObj>>;

// The HMI variable table as five parallel GBK string columns; row i is
// (address[i], type[i], name[i], initValue[i], description[i]).
struct HmiVarTable {
    std::vector<std::string> address;     // decimal text
    std::vector<std::string> type;        // "unsigned char" ... "signed int"
    std::vector<std::string> name;
    std::vector<std::string> initValue;   // decimal text
    std::vector<std::string> description;

    std::size_t size() const { return name.size(); }
    bool IsParallel() const;
    void AppendRow(std::string addr, std::string typ, std::string nam, std::string init, std::string desc);
    void EraseRow(std::size_t row);
    void Clear();
};

// The ten serial parameters, in stored order.
struct SerialParams {
    std::int32_t com1 = 1;            // COM number of the PC's serial port 1
    std::int32_t baud1 = 19200;       // baud rate of serial port 1
    std::int32_t param1 = 2;          // serial parameter of port 1
    std::int32_t station1 = 2;        // PLC station number of port 1
    std::int32_t panelBaud1 = 19200;  // baud rate of the panel's port 1
    std::int32_t param2 = 2;          // serial parameter of port 2
    std::int32_t station2 = 2;        // PLC station number of port 2
    std::int32_t com2 = 2;            // COM number of the PC's serial port 2
    std::int32_t baud2 = 9600;        // baud rate of serial port 2
    std::int32_t panelBaud2 = 9600;   // baud rate of the panel's port 2

    static constexpr std::size_t kCount = 10;
    std::int32_t& operator[](std::size_t i);
    std::int32_t operator[](std::size_t i) const { return const_cast<SerialParams&>(*this)[i]; }
    friend bool operator==(const SerialParams&, const SerialParams&) = default;
};

constexpr std::size_t kProjectSettingsSize = 1024;
constexpr std::size_t kTouchCalibrationSize = 44;
using ProjectSettings = std::array<std::uint8_t, kProjectSettingsSize>;
using TouchCalibration = std::array<std::uint8_t, kTouchCalibrationSize>;

// Named offsets of ProjectSettings used by the document, the variable memory and the link.
namespace settings {
constexpr std::size_t kWindowOption = 0;
constexpr std::size_t kSysVarIndexFirst = 4;   // 4..64: indices of the 16 system variables
constexpr std::size_t kSysVarIndexLast = 64;
constexpr std::size_t kSysParamOptions = 68;   // bytes 68..71
constexpr std::size_t kWindowOption76 = 76;
constexpr std::size_t kNoChildSwitch = 80;
constexpr std::size_t kSysParamOption84 = 84;
constexpr std::size_t kProtocol1 = 112;
constexpr std::size_t kProtocolParam1 = 116;
constexpr std::size_t kProtocol2 = 120;
constexpr std::size_t kProtocolParam2 = 124;
constexpr std::size_t kDataBits1 = 128;
constexpr std::size_t kPromRamStart = 136;
constexpr std::size_t kPromRamLength = 140;
constexpr std::size_t kParity1 = 148;
constexpr std::size_t kStopBits1 = 156;
constexpr std::size_t kPlcLink1 = 164;         // three ints
constexpr std::size_t kPlcLink2 = 188;         // three ints
constexpr std::size_t kNoAutoAddressAdjust = 216;
constexpr std::size_t kNoPowerUpCalibration = 144; // "禁止上电5秒检测校准": the panel skips its power-up touch check
constexpr std::size_t kProjectPassword = 212;      // "工程密码:"
constexpr std::size_t kNoCommAtSlaveZero = 228;    // slave address 0 means no communication
constexpr std::size_t kDynamicSlaveAddress = 232;
constexpr std::size_t kSlaveAddressOffset = 236;
constexpr std::size_t kCopyCustomRange = 248;    // HMI variable copy: own range, its start and length
constexpr std::size_t kCopyStart = 252;
constexpr std::size_t kCopyLength = 256;
constexpr std::size_t kIdleReturnOn = 276;       // return to a screen after a time without input
constexpr std::size_t kIdleReturnSeconds = 280;
constexpr std::size_t kIdleReturnScreen = 284;
constexpr std::size_t kSlaveHmiStart = 288;        // u16: the Modbus slave's first HMI variable address
constexpr std::size_t kSlaveRegisterStart = 290;   // u16: its first register address
} // namespace settings

// Builds the project tree's window items (the Qt side implements it).
class ProjectTreeSink {
public:
    virtual ~ProjectTreeSink() = default;
    virtual void AddScreenItem(std::string_view textGbk) = 0;
    virtual void AddSubWindowItem(std::string_view textGbk) = 0;
};

// Why a file could not be loaded or saved; the message (GBK) names the file.
struct DocumentError {
    std::string messageGbk;
};

class CDrawDoc {
public:
    static constexpr int kUndoSlots = 108;
    static constexpr std::uint32_t kFormatWordNewProject = 19;
    static constexpr ColorRef kDefaultPaperColor = 0x00FFFF00;

    CDrawDoc();
    ~CDrawDoc();
    CDrawDoc(const CDrawDoc&) = delete;
    CDrawDoc& operator=(const CDrawDoc&) = delete;

    // --- file ---------------------------------------------------------------------------
    // The stored bytes of this document (saving pads bit-switch and indicator texts).
    std::string SerializeToBytes();
    // Replaces the stored fields with those of `bytes`; on failure nothing changes and
    // `error` says why, naming `fileLabel`.
    bool LoadFromBytes(std::string_view bytes, std::string_view fileLabel, DocumentError* error);
    // Loads a file; sets the path and title on success. Nothing changes on failure.
    bool OnOpenDocument(const std::filesystem::path& file, DocumentError* error);
    // Writes the file through a temporary file and a rename; clears the modified flag and
    // takes the path on success.
    bool OnSaveDocument(const std::filesystem::path& file, DocumentError* error);
    // Saves to the document's own path; a failure is shown through the prompts.
    bool DoFileSave();
    // Saves into the project's "window" folder under the document's title.
    bool SaveToWindowFolder();

    // --- objects -----------------------------------------------------------------------
    CDrawObj* AddObject(std::unique_ptr<CDrawObj> obj);
    // Takes the object out of the list and out of every view's selection; the caller gets it.
    std::unique_ptr<CDrawObj> RemoveObject(CDrawObj* obj);
    CDrawObj* FindObjectAt(Point p) const;

    // --- views -------------------------------------------------------------------------
    void AddView(DocumentView* view);
    void RemoveView(DocumentView* view);
    const std::vector<DocumentView*>& Views() const { return m_views; }
    void UpdateAllViews(DocumentView* sender, int hint = 0, CDrawObj* obj = nullptr);
    void UpdateViewExtents();
    void FitViewsToDesktop();
    void RestoreViewMargins();

    // --- undo ----------------------------------------------------------------------------
    void TakeUndoSnapshot();
    void RestoreUndoSnapshot();
    void SnapshotAndSetModified();
    bool CanUndo() const;
    bool CanRedo() const;
    // The view's undo and redo commands after the selection is cleared; false when there
    // is nothing to step.
    bool Undo();
    bool Redo();

    // --- name lists ----------------------------------------------------------------------
    // Each edit saves the project file at once and returns whether that save worked (the
    // prompts have said why when not). A failed add or remove stays in memory with the
    // document marked modified; a failed rename is taken back, so the caller can undo its
    // file move and leave list, file and folder as they were.
    bool AddScreenName(std::string_view fileNameGbk);
    bool AddSubWindowName(std::string_view fileNameGbk);
    bool RemoveScreenName(std::string_view fileNameGbk);
    bool RemoveSubWindowName(std::string_view fileNameGbk);
    bool RenameWindow(std::string_view oldNameGbk, std::string_view newNameGbk);
    int GetWindowIndex(std::string_view nameGbk) const;
    void FillProjectTree(ProjectTreeSink& tree);

    // --- project -------------------------------------------------------------------------
    void InitSystemVariables();
    void OnBackgroundColor();
    bool CanChangeBackground() const;
    // Online link of serial port 1 on the stored settings (defined with the serial port code).
    void ConnectSerialPort1();
    void DisconnectSerialPort1();
    // Online link of port `index` (0: port 1, 1: port 2) on the given line. False when the
    // port cannot be opened; `why` (UTF-8) then says why and the link stays down.
    bool ConnectSerialPort(int index, int com, int baud, const SerialFrame& frame, std::string* why = nullptr);
    // Closes the port for real and posts the port's "...未连接" status text.
    void DisconnectSerialPort(int index);
    bool IsSerialPortConnected(int index) const { return (index == 0 ? m_bPort1Connected : m_bPort2Connected) != 0; }

    // --- broadcasts over every object --------------------------------------------------
    void RenumberAfterVarDelete(int row);
    void ClearVarReferences(int unused = 0);
    void RefreshVarReferences(std::string_view text);
    void RenumberAfterVarSwap(int row);
    void RenumberAfterVarMove(int target);
    void UpdateCurveAddressMax();
    void UpdateStringAddressMax();
    void RescaleObjects(int oldWidth, int oldHeight, int newWidth, int newHeight, int dx, int dy);

    // --- settings helpers -----------------------------------------------------------------
    std::int32_t SettingI32(std::size_t offset) const;
    void SetSettingI32(std::size_t offset, std::int32_t value);

    // --- framework state ------------------------------------------------------------------
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
    bool IsModified() const { return m_bModified; }
    const std::filesystem::path& GetPathName() const { return m_pathName; }
    void SetPathName(const std::filesystem::path& path);
    // Called with the old path after the path was set, also to the same path by a save (the
    // document list keeps its index of paths and files by it).
    std::function<void(CDrawDoc&, const std::filesystem::path& oldPath)> onPathChanged;
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(std::string titleGbk) { m_strTitle = std::move(titleGbk); }

    // --- fields ---------------------------------------------------------------------------
    Size m_sizeDoc;                                  // canvas extent
    HmiVarTable m_varTable;                          // five parallel columns
    std::uint32_t m_nFormatWord = 0;
    ObjectList m_objects;                            // drawing order, head first
    std::int32_t m_bIsProjectDoc = 0;                // not stored
    ColorRef m_paperColor = kDefaultPaperColor;
    std::int32_t m_nMarginX = 0;
    std::int32_t m_nMarginY = 0;
    std::array<ObjectList, kUndoSlots> m_undoRing;
    // The paper colour of each snapshot, so that "背景" is a step to undo like any edit.
    std::array<ColorRef, kUndoSlots> m_undoPaper{};
    std::int32_t m_nUndoDepth = -1;
    std::int32_t m_nUndoSlot = -1;
    std::int32_t m_nRedoCount = 0;
    std::int32_t m_nSnapshotLock = 0;
    Point m_ptWindowOrigin;
    std::int32_t m_nWindowWidth = 0;
    std::int32_t m_nWindowHeight = 0;
    ObjectList m_screenNames;                        // name entries "<name>.drw"
    ObjectList m_subWindowNames;                     // name entries "<name>.dlg"
    ProjectSettings m_ProjectSettings{};
    SerialParams m_serial;
    std::int32_t m_nUserLevel = 0;                   // 1 junior, 2 advanced, 3 super; not stored
    std::int32_t m_bPort1Connected = 0;              // not stored
    std::int32_t m_bPort2Connected = 0;              // not stored
    // The PC's serial ports. The owners outlive both ports, and port 1 stops first.
    std::shared_ptr<SerialLinkOwner> m_pPort1Owner;  // online link (online_link.cpp)
    std::shared_ptr<SerialLinkOwner> m_pPort2Owner;
    CComPort m_ComPort2;
    CComPort m_ComPort1;
    TouchCalibration m_TouchCalibration{};

private:
    void Store(archive::ArchiveWriter& ar);
    void Load(archive::ArchiveReader& ar);
    void TakeStoredFieldsFrom(CDrawDoc& other);
    bool SaveNameListEdit();

    std::vector<DocumentView*> m_views;
    bool m_bModified = false;
    std::filesystem::path m_pathName;
    std::string m_strTitle;                          // GBK
};

} // namespace qv
