#pragma once
// What a document needs of the application: resolution, page margins, the project folder,
// the compile flag, the second document template and the services of neighbouring
// subsystems. The application installs its implementation once at start-up; until then
// (and in tests that install none) the defaults below answer.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/surface/geometry.h"

namespace qv {

class CDrawDoc;
class CDrawObj;
class UiPrompts;

// Per-object upkeep of variable references and positions, owned by the parameter-block
// code; the document's broadcasts call it for every object.
class ObjectVarReferenceOps {
public:
    virtual ~ObjectVarReferenceOps() = default;
    virtual void RenumberAfterVarDelete(CDrawObj& obj, int row) = 0;
    virtual void ClearVarReferences(CDrawObj& obj) = 0;
    virtual void RefreshVarReferences(CDrawObj& obj, std::string_view text) = 0;
    virtual void RenumberAfterVarSwap(CDrawObj& obj, int row) = 0;
    virtual void RenumberAfterVarMove(CDrawObj& obj, int target) = 0;
    virtual void UpdateCurveAddressMax(CDrawObj& obj) = 0;
    virtual void UpdateStringAddressMax(CDrawObj& obj) = 0;
    virtual void RescaleRect(CDrawObj& obj, int oldWidth, int oldHeight, int newWidth, int newHeight, int dx, int dy) = 0;
};

class DocumentEnvironment {
public:
    virtual ~DocumentEnvironment() = default;

    virtual Size ProjectResolution() const { return {800, 480}; }
    virtual Point PageMargins() const { return {38, 38}; }
    virtual void SetPageMargins(Point margins) {}
    virtual Size DesktopSize() const { return {0, 0}; }
    virtual bool IsCompiling() const { return false; }
    // Host folder of the open project (empty when none).
    virtual std::filesystem::path ProjectFolder() const { return {}; }
    // The first document of the first template, or nullptr.
    virtual CDrawDoc* ProjectDocument() const { return nullptr; }

    // Opens a window file through the second document template (visible); false when it
    // could not be opened (the environment has told the user why).
    virtual bool OpenWindowDocument(const std::filesystem::path& file) { return false; }
    virtual void SetProgress(int percent) {}
    // The drawing tools go back to the selection tool.
    virtual void ResetCurrentTool() {}
    // Rewrites "SysVar.h", "HmiVar.h" and "HmiVarStruct.h" of the project.
    virtual void WriteSysVarHeader() {}
    virtual UiPrompts* Prompts() { return nullptr; }
    virtual ObjectVarReferenceOps* VarReferenceOps() { return nullptr; }
};

// The installed environment (a default one when none is installed). Not owned.
DocumentEnvironment& documentEnvironment();
void setDocumentEnvironment(DocumentEnvironment* env);

} // namespace qv
