#include "model/app/app_environment.h"

#include "model/app/editor_app.h"

namespace qv {

Size AppDocumentEnvironment::ProjectResolution() const { return {app_.m_nResWidth, app_.m_nResHeight}; }

Point AppDocumentEnvironment::PageMargins() const { return {app_.m_nMarginX.load(), app_.m_nMarginY.load()}; }

void AppDocumentEnvironment::SetPageMargins(Point margins)
{
    app_.m_nMarginX = margins.x;
    app_.m_nMarginY = margins.y;
}

bool AppDocumentEnvironment::IsCompiling() const { return app_.m_bCompiling.load() != 0; }

std::filesystem::path AppDocumentEnvironment::ProjectFolder() const { return app_.m_strProjectDir; }

CDrawDoc* AppDocumentEnvironment::ProjectDocument() const { return app_.ProjectDoc(); }

bool AppDocumentEnvironment::OpenWindowDocument(const std::filesystem::path& file)
{
    if (!app_.m_pWindowTemplate)
        return false;
    DocumentError error;
    if (app_.m_pWindowTemplate->OpenDocumentFile(file, &error))
        return true;
    if (app_.m_windowFailures)
        app_.m_windowFailures->push_back(error.messageGbk);
    else
        app_.Prompt().ShowMessage(error.messageGbk, UiPrompts::Icon::Error);
    return false;
}

void AppDocumentEnvironment::SetProgress(int percent)
{
    if (app_.onProgress)
        app_.onProgress(percent);
}

void AppDocumentEnvironment::WriteSysVarHeader() { app_.WriteSysVarHeader(); }

UiPrompts* AppDocumentEnvironment::Prompts() { return &app_.Prompt(); }

} // namespace qv
