// The stored form of a document (".hmi", ".drw", ".dlg"): the framework archive of its fields,
// with no header and no trailer. Loading goes into a scratch document and replaces this one's
// fields only when the whole file has been read.
#include <array>

#include "model/document/document_environment.h"
#include "model/document/draw_doc.h"
#include "model/document/ui_prompts.h"
#include "platform/archive/archive.h"
#include "platform/files/atomic_file.h"
#include "platform/text/gbk.h"

namespace qv {

using archive::ArchiveError;
using archive::ArchiveReader;
using archive::ArchiveWriter;
using archive::ClassInfo;
using archive::ObjectTag;

namespace {

// Every class these files may hold. The embedded-object classes are recognised so that a
// file holding them is refused by name rather than as unknown data.
constexpr ClassInfo kDrawObjClass{"CDrawObj", 0};
constexpr ClassInfo kDrawRectClass{"CDrawRect", 0};
constexpr ClassInfo kDrawOleObjClass{"CDrawOleObj", 0};
constexpr ClassInfo kDrawItemClass{"CDrawItem", 0};
constexpr std::array<ClassInfo, 4> kDocumentClasses{kDrawObjClass, kDrawRectClass, kDrawOleObjClass, kDrawItemClass};

// The smallest encoding of one element of an object list: a back-reference tag.
constexpr std::size_t kMinObjectReferenceBytes = 2;

constexpr const char* kEmbeddedRefusal = "文件含有嵌入的OLE对象，本程序不能打开";

const ClassInfo& classOf(const CDrawObj& obj)
{
    return obj.ClassName() == kDrawRectClass.name ? kDrawRectClass : kDrawObjClass;
}

void writeObjectList(ArchiveWriter& ar, const ObjectList& list)
{
    ar.WriteCount(list.size());
    for (const auto& obj : list)
        if (ar.WriteObjectTag(obj.get(), classOf(*obj)))
            obj->Serialize(ar);
}

void readObjectList(ArchiveReader& ar, ObjectList& list, CDrawDoc* owner)
{
    const std::uint32_t count = ar.ReadCount(kMinObjectReferenceBytes);
    for (std::uint32_t i = 0; i < count; ++i) {
        const ObjectTag tag = ar.ReadObjectTag();
        if (tag.kind == ObjectTag::Kind::Null)
            ar.Fail("对象列表含有空对象");
        if (tag.kind == ObjectTag::Kind::BackReference)
            ar.Fail("对象在列表中重复出现");
        std::unique_ptr<CDrawObj> obj;
        if (tag.cls->name == kDrawRectClass.name)
            obj = std::make_unique<CDrawRect>();
        else if (tag.cls->name == kDrawObjClass.name)
            obj = std::make_unique<CDrawObj>();
        else if (tag.cls->name == kDrawOleObjClass.name)
            ar.Fail(kEmbeddedRefusal);
        else
            ar.Fail("对象列表含有错误的类");
        ar.BindObject(tag.number, obj.get());
        obj->Serialize(ar);
        obj->m_pOwnerDoc = owner;
        list.push_back(std::move(obj));
    }
}

std::string fileLabelGbk(const std::filesystem::path& file)
{
    const std::u8string u8 = file.u8string();
    const std::string utf8(u8.begin(), u8.end());
    if (auto gbk = utf8ToGbk(utf8))
        return *gbk;
    return utf8;
}

std::string titleGbk(const std::filesystem::path& file) { return fileLabelGbk(file.filename()); }

std::string describe(std::string_view action, std::string_view fileGbk, std::string_view reason)
{
    std::string m(action);
    m += "“";
    m += fileGbk;
    m += "”失败：";
    m += reason;
    return m;
}

} // namespace

void CDrawDoc::Store(ArchiveWriter& ar)
{
    for (std::int32_t v : {m_nMarginX, m_nMarginY, m_ptWindowOrigin.x, m_ptWindowOrigin.y, m_nWindowWidth, m_nWindowHeight})
        ar.WriteI32(v);
    ar.WriteU32(m_paperColor);
    writeObjectList(ar, m_objects);
    writeObjectList(ar, m_screenNames);
    writeObjectList(ar, m_subWindowNames);
    for (auto* column : {&m_varTable.address, &m_varTable.type, &m_varTable.name, &m_varTable.initValue, &m_varTable.description})
        ar.WriteStringArray(*column);
    ar.WriteU32(m_nFormatWord);
    for (std::size_t i = 0; i < SerialParams::kCount; ++i)
        ar.WriteI32(m_serial[i]);
    ar.WriteBytes(m_TouchCalibration);
    ar.WriteBytes(m_ProjectSettings);
    // Embedded objects cannot be created here, so the item section is always empty.
    ar.WriteU32(0);
}

void CDrawDoc::Load(ArchiveReader& ar)
{
    for (std::int32_t* v : {&m_nMarginX, &m_nMarginY, &m_ptWindowOrigin.x, &m_ptWindowOrigin.y, &m_nWindowWidth, &m_nWindowHeight})
        *v = ar.ReadI32();
    m_paperColor = ar.ReadU32();
    readObjectList(ar, m_objects, this);
    readObjectList(ar, m_screenNames, this);
    readObjectList(ar, m_subWindowNames, this);
    for (auto* column : {&m_varTable.address, &m_varTable.type, &m_varTable.name, &m_varTable.initValue, &m_varTable.description})
        *column = ar.ReadStringArray();
    if (!m_varTable.IsParallel())
        ar.Fail("变量表各列的行数不一致");
    m_nFormatWord = ar.ReadU32();
    for (std::size_t i = 0; i < SerialParams::kCount; ++i)
        m_serial[i] = ar.ReadI32();
    ar.ReadBytes(m_TouchCalibration);
    ar.ReadBytes(m_ProjectSettings);
    if (ar.ReadU32() != 0)
        ar.Fail(kEmbeddedRefusal);
}

std::string CDrawDoc::SerializeToBytes()
{
    ArchiveWriter ar;
    Store(ar);
    return ar.TakeBytes();
}

bool CDrawDoc::LoadFromBytes(std::string_view bytes, std::string_view fileLabel, DocumentError* error)
{
    CDrawDoc scratch;
    try {
        ArchiveReader ar(bytes, kDocumentClasses);
        scratch.Load(ar);
    } catch (const ArchiveError& e) {
        if (error)
            error->messageGbk = describe("打开文件", fileLabel, e.what());
        return false;
    }
    TakeStoredFieldsFrom(scratch);
    return true;
}

void CDrawDoc::TakeStoredFieldsFrom(CDrawDoc& other)
{
    for (auto* view : m_views)
        for (auto& obj : m_objects)
            view->Deselect(obj.get());
    m_nMarginX = other.m_nMarginX;
    m_nMarginY = other.m_nMarginY;
    m_ptWindowOrigin = other.m_ptWindowOrigin;
    m_nWindowWidth = other.m_nWindowWidth;
    m_nWindowHeight = other.m_nWindowHeight;
    m_paperColor = other.m_paperColor;
    m_objects = std::move(other.m_objects);
    m_screenNames = std::move(other.m_screenNames);
    m_subWindowNames = std::move(other.m_subWindowNames);
    for (ObjectList* list : {&m_objects, &m_screenNames, &m_subWindowNames})
        for (auto& obj : *list)
            obj->m_pOwnerDoc = this;
    m_varTable = std::move(other.m_varTable);
    m_nFormatWord = other.m_nFormatWord;
    m_serial = other.m_serial;
    m_TouchCalibration = other.m_TouchCalibration;
    m_ProjectSettings = other.m_ProjectSettings;
    // The history belonged to the content just replaced.
    for (auto& slot : m_undoRing)
        slot.clear();
    m_nUndoDepth = -1;
    m_nUndoSlot = -1;
    m_nRedoCount = 0;
}

bool CDrawDoc::OnOpenDocument(const std::filesystem::path& file, DocumentError* error)
{
    std::string bytes, readError;
    if (!readWholeFile(file, bytes, &readError)) {
        if (error)
            error->messageGbk = describe("打开文件", fileLabelGbk(file), utf8ToGbk(readError).value_or(readError));
        return false;
    }
    if (!LoadFromBytes(bytes, fileLabelGbk(file), error))
        return false;
    SetPathName(file);
    m_bModified = false;
    return true;
}

bool CDrawDoc::OnSaveDocument(const std::filesystem::path& file, DocumentError* error)
{
    std::string bytes;
    try {
        bytes = SerializeToBytes();
    } catch (const ArchiveError& e) {
        if (error)
            error->messageGbk = describe("保存文件", fileLabelGbk(file), e.what());
        return false;
    }
    std::string writeError;
    if (!writeFileAtomically(file, bytes, &writeError)) {
        if (error)
            error->messageGbk = describe("保存文件", fileLabelGbk(file), utf8ToGbk(writeError).value_or(writeError));
        return false;
    }
    SetPathName(file);
    m_bModified = false;
    return true;
}

void CDrawDoc::SetPathName(const std::filesystem::path& path)
{
    // `path` may be this document's own path (a save to it): the old one is copied first.
    const std::filesystem::path old = m_pathName;
    m_pathName = path;
    m_strTitle = titleGbk(m_pathName);
    if (onPathChanged)
        onPathChanged(*this, old);
}

bool CDrawDoc::DoFileSave()
{
    if (m_pathName.empty())
        return false;
    DocumentError error;
    if (OnSaveDocument(m_pathName, &error))
        return true;
    if (auto* prompts = documentEnvironment().Prompts())
        prompts->ShowMessage(error.messageGbk, UiPrompts::Icon::Error);
    return false;
}

} // namespace qv
