#include "model/app/doc_manager.h"

#include <algorithm>
#include <system_error>

namespace qv {

namespace {

bool samePath(const std::filesystem::path& a, const std::filesystem::path& b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return a.lexically_normal() == b.lexically_normal();
}

} // namespace

CDrawDoc* DocTemplate::OpenDocumentFile(const std::filesystem::path& file, DocumentError* error)
{
    for (const auto& doc : docs_)
        if (samePath(doc->GetPathName(), file))
            return doc.get();
    auto doc = std::make_unique<CDrawDoc>();
    if (!doc->OnOpenDocument(file, error))
        return nullptr;
    return Adopt(std::move(doc));
}

CDrawDoc* DocTemplate::OpenNewDocument(std::string titleGbk)
{
    auto doc = std::make_unique<CDrawDoc>();
    doc->SetTitle(std::move(titleGbk));
    return Adopt(std::move(doc));
}

CDrawDoc* DocTemplate::Adopt(std::unique_ptr<CDrawDoc> doc)
{
    CDrawDoc* raw = doc.get();
    docs_.push_back(std::move(doc));
    owner_.NotifyOpened(*this, *raw);
    return raw;
}

bool DocTemplate::CloseDocument(CDrawDoc* doc)
{
    const auto it = std::find_if(docs_.begin(), docs_.end(), [doc](const auto& d) { return d.get() == doc; });
    if (it == docs_.end())
        return false;
    owner_.NotifyClosing(*this, *doc);
    // Take it out of the list before it is destroyed, so look-ups made meanwhile miss it.
    std::unique_ptr<CDrawDoc> closing = std::move(*it);
    docs_.erase(it);
    return true;
}

void DocTemplate::CloseAllDocuments()
{
    while (!docs_.empty())
        CloseDocument(docs_.back().get());
}

CDrawDoc* DocTemplate::FindByTitle(const std::string& titleGbk) const
{
    for (const auto& doc : docs_)
        if (doc->GetTitle() == titleGbk)
            return doc.get();
    return nullptr;
}

CDrawDoc* DocTemplate::FindByFileName(const std::filesystem::path& fileName) const
{
    for (const auto& doc : docs_)
        if (!doc->GetPathName().empty() && doc->GetPathName().filename() == fileName)
            return doc.get();
    return nullptr;
}

DocManager::~DocManager() { CloseAllDocuments(); }

DocTemplate& DocManager::AddDocTemplate()
{
    templates_.push_back(std::make_unique<DocTemplate>(*this));
    return *templates_.back();
}

void DocManager::AddObserver(DocTemplateObserver* observer)
{
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void DocManager::RemoveObserver(DocTemplateObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

std::vector<CDrawDoc*> DocManager::AllDocuments() const
{
    std::vector<CDrawDoc*> all;
    for (const auto& tmpl : templates_)
        for (const auto& doc : tmpl->Documents())
            all.push_back(doc.get());
    return all;
}

CDrawDoc* DocManager::FindDocumentByTitle(const std::string& titleGbk) const
{
    for (const auto& tmpl : templates_)
        if (CDrawDoc* doc = tmpl->FindByTitle(titleGbk))
            return doc;
    return nullptr;
}

bool DocManager::AnyDocumentModified() const
{
    for (CDrawDoc* doc : AllDocuments())
        if (doc->IsModified())
            return true;
    return false;
}

void DocManager::CloseAllDocuments()
{
    for (const auto& tmpl : templates_)
        tmpl->CloseAllDocuments();
}

void DocManager::NotifyOpened(DocTemplate& tmpl, CDrawDoc& doc)
{
    for (DocTemplateObserver* o : std::vector<DocTemplateObserver*>(observers_))
        o->DocumentOpened(tmpl, doc);
}

void DocManager::NotifyClosing(DocTemplate& tmpl, CDrawDoc& doc)
{
    for (DocTemplateObserver* o : std::vector<DocTemplateObserver*>(observers_))
        o->DocumentClosing(tmpl, doc);
}

} // namespace qv
