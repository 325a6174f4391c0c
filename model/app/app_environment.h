#pragma once
// What the documents read of the application, answered from the CEditorApp.
#include "model/document/document_environment.h"
#include "model/params/object_var_refs.h"

#include <string>
#include <vector>

namespace qv {

class CEditorApp;

class AppDocumentEnvironment : public DocumentEnvironment {
public:
    explicit AppDocumentEnvironment(CEditorApp& app) : app_(app) {}

    Size ProjectResolution() const override;
    Point PageMargins() const override;
    void SetPageMargins(Point margins) override;
    bool IsCompiling() const override;
    std::filesystem::path ProjectFolder() const override;
    CDrawDoc* ProjectDocument() const override;
    bool OpenWindowDocument(const std::filesystem::path& file) override;
    void SetProgress(int percent) override;
    void WriteSysVarHeader() override;
    UiPrompts* Prompts() override;
    ObjectVarReferenceOps* VarReferenceOps() override { return &varRefs_; }

    // The reference upkeep itself, for the variable manager's move source and the maxima.
    qv::VarReferenceOps& References() { return varRefs_; }

private:
    CEditorApp& app_;
    qv::VarReferenceOps varRefs_;
};

} // namespace qv
