#include "model/app/doc_manager.h"

#include <algorithm>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace qv {

namespace {

std::string fileNameKey(const std::filesystem::path& fileName) { return "n" + fileName.native(); }
std::string normalPathKey(const std::filesystem::path& path) { return "p" + path.lexically_normal().native(); }

// The file a path names (what equivalent() compares), when it is there.
std::optional<std::string> fileIdKey(const std::filesystem::path& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return "i" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

} // namespace

CDrawDoc* DocTemplate::OpenDocumentFile(const std::filesystem::path& file, DocumentError* error)
{
    // The first open document, in opening order, whose path is this file.
    CDrawDoc* open = nullptr;
    std::ptrdiff_t openRank = 0;
    if (!file.empty()) {
        const std::optional<std::string> id = fileIdKey(file);
        for (const std::string& key : {normalPathKey(file), id.value_or(std::string())})
            if (const auto* docs = key.empty() ? nullptr : Indexed(key))
                for (CDrawDoc* d : *docs) {
                    const auto rank = std::find_if(docs_.begin(), docs_.end(), [d](const auto& p) { return p.get() == d; }) -
                                      docs_.begin();
                    if (!open || rank < openRank)
                        open = d, openRank = rank;
                }
    }
    if (open)
        return open;
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
    // Also after a save to the same path: the saved file is a new one.
    raw->onPathChanged = [this](CDrawDoc& d, const std::filesystem::path&) {
        IndexRemove(d);
        IndexAdd(d);
    };
    owner_.NotifyOpened(*this, *raw);
    return raw;
}

void DocTemplate::IndexAdd(CDrawDoc& doc)
{
    const std::filesystem::path& path = doc.GetPathName();
    if (path.empty())
        return;
    std::vector<std::string> keys{fileNameKey(path.filename()), normalPathKey(path)};
    if (auto id = fileIdKey(path))
        keys.push_back(std::move(*id));
    const auto rank = [this](const CDrawDoc* d) {
        return std::find_if(docs_.begin(), docs_.end(), [d](const auto& p) { return p.get() == d; }) - docs_.begin();
    };
    for (const std::string& key : keys) {
        auto& list = index_[key];
        // Mostly the newest document and the only one under its key; a renamed one goes to
        // its place in opening order among the others.
        const auto at = list.empty() ? list.end()
                                     : std::find_if(list.begin(), list.end(), [&](CDrawDoc* d) { return rank(d) > rank(&doc); });
        list.insert(at, &doc);
    }
    indexKeys_[&doc] = std::move(keys);
}

void DocTemplate::IndexRemove(CDrawDoc& doc)
{
    const auto keys = indexKeys_.find(&doc);
    if (keys == indexKeys_.end())
        return;
    for (const std::string& key : keys->second) {
        const auto it = index_.find(key);
        if (it == index_.end())
            continue;
        std::erase(it->second, &doc);
        if (it->second.empty())
            index_.erase(it);
    }
    indexKeys_.erase(keys);
}

const std::vector<CDrawDoc*>* DocTemplate::Indexed(const std::string& key) const
{
    const auto it = index_.find(key);
    return it == index_.end() || it->second.empty() ? nullptr : &it->second;
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
    IndexRemove(*closing);
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
    const auto* docs = Indexed(fileNameKey(fileName));
    return docs ? docs->front() : nullptr;
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
