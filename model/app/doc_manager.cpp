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
    IndexAdd(*raw);
    raw->onPathChanged = [this](CDrawDoc& d, const std::filesystem::path& old) {
        IndexRemove(d, old);
        IndexAdd(d);
    };
    owner_.NotifyOpened(*this, *raw);
    return raw;
}

void DocTemplate::IndexAdd(CDrawDoc& doc)
{
    if (doc.GetPathName().empty())
        return;
    auto& list = byFileName_[doc.GetPathName().filename().native()];
    const auto rank = [this](const CDrawDoc* d) {
        return std::find_if(docs_.begin(), docs_.end(), [d](const auto& p) { return p.get() == d; }) - docs_.begin();
    };
    // Mostly the newest document and the only one of its name; a renamed one goes to its
    // place in opening order among the others.
    const auto at = list.empty() ? list.end()
                                 : std::find_if(list.begin(), list.end(), [&](CDrawDoc* d) { return rank(d) > rank(&doc); });
    list.insert(at, &doc);
}

void DocTemplate::IndexRemove(CDrawDoc& doc, const std::filesystem::path& path)
{
    if (path.empty())
        return;
    const auto it = byFileName_.find(path.filename().native());
    if (it == byFileName_.end())
        return;
    std::erase(it->second, &doc);
    if (it->second.empty())
        byFileName_.erase(it);
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
    IndexRemove(*closing, closing->GetPathName());
    closing->onPathChanged = nullptr;
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
    const auto it = byFileName_.find(fileName.native());
    return it == byFileName_.end() || it->second.empty() ? nullptr : it->second.front();
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
