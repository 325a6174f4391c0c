#pragma once
// The document manager: document templates in registration order, each owning its open
// documents in opening order. Views attach through the observer: the Qt side makes a frame
// and a view when a document opens and drops them when it closes.
#include "model/document/draw_doc.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace qv {

class DocTemplate;

class DocTemplateObserver {
public:
    virtual ~DocTemplateObserver() = default;
    virtual void DocumentOpened(DocTemplate& tmpl, CDrawDoc& doc) = 0;
    // Called before the document is destroyed.
    virtual void DocumentClosing(DocTemplate& tmpl, CDrawDoc& doc) = 0;
};

class DocManager;

class DocTemplate {
public:
    explicit DocTemplate(DocManager& owner) : owner_(owner) {}
    DocTemplate(const DocTemplate&) = delete;
    DocTemplate& operator=(const DocTemplate&) = delete;

    // Loads `file` into a new document of this template. A file already open here (the same
    // normal path, or the same file as the document's path was when last opened or saved)
    // gives its document again. nullptr with `error` set when the file cannot be loaded.
    CDrawDoc* OpenDocumentFile(const std::filesystem::path& file, DocumentError* error);
    // A new blank document titled `titleGbk`, without a path.
    CDrawDoc* OpenNewDocument(std::string titleGbk);
    // Destroys `doc` (false when it is none of this template's).
    bool CloseDocument(CDrawDoc* doc);
    void CloseAllDocuments();

    const std::vector<std::unique_ptr<CDrawDoc>>& Documents() const { return docs_; }
    CDrawDoc* FirstDocument() const { return docs_.empty() ? nullptr : docs_.front().get(); }
    // Byte-exact comparison of titles; the first match in opening order.
    CDrawDoc* FindByTitle(const std::string& titleGbk) const;
    // Compares the part of each document's path after its last separator; the first match
    // in opening order. Through an index kept with the list (and with each path change).
    CDrawDoc* FindByFileName(const std::filesystem::path& fileName) const;

private:
    CDrawDoc* Adopt(std::unique_ptr<CDrawDoc> doc);
    void IndexAdd(CDrawDoc& doc);
    void IndexRemove(CDrawDoc& doc);
    // The documents indexed under `key`, in opening order.
    const std::vector<CDrawDoc*>* Indexed(const std::string& key) const;

    DocManager& owner_;
    std::vector<std::unique_ptr<CDrawDoc>> docs_;
    // Each document with a path under its file name, its normal path and the file it is
    // (device and inode when the file was there): key -> documents in opening order.
    std::unordered_map<std::string, std::vector<CDrawDoc*>> index_;
    std::unordered_map<const CDrawDoc*, std::vector<std::string>> indexKeys_;
};

class DocManager {
public:
    DocManager() = default;
    ~DocManager();
    DocManager(const DocManager&) = delete;
    DocManager& operator=(const DocManager&) = delete;

    DocTemplate& AddDocTemplate();
    const std::vector<std::unique_ptr<DocTemplate>>& Templates() const { return templates_; }

    void AddObserver(DocTemplateObserver* observer);
    void RemoveObserver(DocTemplateObserver* observer);

    // Every document of every template, template order then opening order.
    std::vector<CDrawDoc*> AllDocuments() const;
    CDrawDoc* FindDocumentByTitle(const std::string& titleGbk) const;
    bool AnyDocumentModified() const;
    void CloseAllDocuments();

private:
    friend class DocTemplate;
    void NotifyOpened(DocTemplate& tmpl, CDrawDoc& doc);
    void NotifyClosing(DocTemplate& tmpl, CDrawDoc& doc);

    std::vector<std::unique_ptr<DocTemplate>> templates_;
    std::vector<DocTemplateObserver*> observers_;
};

} // namespace qv
