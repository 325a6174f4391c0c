#pragma once
// What the documents read of the application, answered from the CEditorApp.
#include "model/document/document_environment.h"

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
    UiPrompts* Prompts() override;

private:
    CEditorApp& app_;
};

} // namespace qv
