// The stored form of a document, built here byte by byte from the file-format tables and
// compared with what the document writes; then loading, round trips and refused files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/document/draw_doc.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"

using namespace qv;

namespace {

// Little-endian byte builder, independent of the archive code.
struct Bytes {
    std::string s;
    Bytes& u8(unsigned v) { s += char(v & 0xFF); return *this; }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& raw(const std::string& b) { s += b; return *this; }
    Bytes& zeros(std::size_t n) { s.append(n, '\0'); return *this; }
};

// A rectangle with the constructor defaults, record fields in stored order.
void defaultRectRecord(Bytes& b, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t btm)
{
    b.u32(0);                                   // control flag
    b.u32(l).u32(t).u32(r).u32(btm);            // position
    b.u16(1);                                   // has pen
    b.u32(6).u32(3).u32(3).u32(0);              // PS_INSIDEFRAME, 3, 3, black
    b.u16(1);                                   // has brush
    b.u32(0).u32(0x00FFFFFF).u32(0);            // BS_SOLID, white, hatch
    b.u16(0);                                   // no strings
    b.u16(0).u16(0);                            // original size, locked
    b.u32(0x00FFFFFF);                          // transparent colour
    b.u16(0);                                   // transparent
    b.u8(4).raw("\xCE\xC4\xD7\xD6");            // "文字" in GBK
    b.u32(16).u32(8).u32(0).u32(0).u32(400);    // height, width, escapement, orientation, weight
    b.u8(0).u8(0).u8(0).u8(134).u8(0).u8(0).u8(0).u8(0);
    b.raw("\xBA\xDA\xCC\xE5").zeros(28);        // "黑体", zero-padded to 32
    b.zeros(1024);                              // parameter block
    b.u16(0);                                   // kind
    b.u32(48).u32(16);                          // corners
}

void documentHeader(Bytes& b, const CDrawDoc& d)
{
    b.u32(d.m_nMarginX).u32(d.m_nMarginY);
    b.u32(d.m_ptWindowOrigin.x).u32(d.m_ptWindowOrigin.y).u32(d.m_nWindowWidth).u32(d.m_nWindowHeight);
    b.u32(d.m_paperColor);
}

void documentTail(Bytes& b, const CDrawDoc& d)
{
    b.u16(0).u16(0);                                 // screen and sub-window name lists
    for (int i = 0; i < 5; ++i)
        b.u16(0);                                    // five variable columns
    b.u32(d.m_nFormatWord);
    for (std::size_t i = 0; i < SerialParams::kCount; ++i)
        b.u32(d.m_serial[i]);
    b.raw(std::string(d.m_TouchCalibration.begin(), d.m_TouchCalibration.end()));
    b.raw(std::string(d.m_ProjectSettings.begin(), d.m_ProjectSettings.end()));
    b.u32(0);                                        // no embedded items
}

TEST(DocumentFile, TwoDefaultRectanglesMatchTheTablesByteForByte)
{
    CDrawDoc doc;
    doc.AddObject(std::make_unique<CDrawRect>(Rect{10, 20, 110, 70}));
    doc.AddObject(std::make_unique<CDrawRect>(Rect{200, 220, 150, 180}));

    Bytes expected;
    documentHeader(expected, doc);
    expected.u16(2).u16(0xFFFF).u16(0).u16(9).raw("CDrawRect");
    defaultRectRecord(expected, 10, 20, 110, 70);
    expected.u16(0x8001);
    defaultRectRecord(expected, 200, 220, 150, 180);
    documentTail(expected, doc);

    const std::string bytes = doc.SerializeToBytes();
    ASSERT_EQ(expected.s.size(), 3503u);
    ASSERT_EQ(bytes.size(), 3503u);
    EXPECT_EQ(bytes.substr(28, 17), std::string("\x02\x00\xFF\xFF\x00\x00\x09\x00", 8) + "CDrawRect");
    EXPECT_EQ(bytes.substr(1208, 2), std::string("\x01\x80", 2));
    EXPECT_EQ(bytes, expected.s);
}

TEST(DocumentFile, EmptyDocumentIs1160BytesEndingWithNoItems)
{
    CDrawDoc doc;
    Bytes expected;
    documentHeader(expected, doc);
    expected.u16(0);
    documentTail(expected, doc);
    const std::string bytes = doc.SerializeToBytes();
    ASSERT_EQ(bytes.size(), 1160u);
    EXPECT_EQ(bytes, expected.s);
    EXPECT_EQ(bytes.substr(1156), std::string(4, '\0'));
}

// A document with something in every stored field.
std::string richDocumentBytes()
{
    CDrawDoc doc;
    doc.InitSystemVariables();
    doc.m_paperColor = 0x00123456;
    doc.m_ptWindowOrigin = {5, 7};
    auto* button = doc.AddObject(std::make_unique<CDrawRect>(Rect{1, 2, 300, 400}));
    button->SetKind(ShapeKind::Button);
    button->m_bControl = 1;
    button->m_strFiles = {"\\UserPicture\\a.bmp", std::string(300, 'x'), ""};
    button->m_strName = "启动";
    button->SetParamI32(128, 3);
    button->m_bLocked = 0xFFFF;   // a 16-bit field with every bit set stays as it is
    auto* light = doc.AddObject(std::make_unique<CDrawRect>(Rect{0, 0, 10, 10}));
    light->SetKind(ShapeKind::Indicator);
    light->m_strFiles = {"off", "on"};
    doc.AddObject(std::make_unique<CDrawObj>(Rect{3, 3, 4, 4}));   // a plain base record
    doc.m_screenNames.push_back(std::make_unique<CDrawObj>(std::string("主画面.drw")));
    doc.m_subWindowNames.push_back(std::make_unique<CDrawObj>(std::string("系统键盘.dlg")));
    doc.m_TouchCalibration[20] = 0x7F;
    doc.m_ProjectSettings[1023] = 0xAB;
    return doc.SerializeToBytes();
}

TEST(DocumentFile, LoadThenSaveIsByteIdentical)
{
    const std::string original = richDocumentBytes();
    CDrawDoc doc;
    DocumentError error;
    ASSERT_TRUE(doc.LoadFromBytes(original, "rich.drw", &error)) << error.messageGbk;
    EXPECT_EQ(doc.SerializeToBytes(), original);
    ASSERT_EQ(doc.m_objects.size(), 3u);
    EXPECT_EQ(doc.m_objects[0]->m_bLocked, 0xFFFF);   // widened without sign extension
    EXPECT_EQ(doc.m_objects[0]->m_pOwnerDoc, &doc);
    EXPECT_EQ(doc.m_objects[2]->ClassName(), "CDrawObj");
    EXPECT_EQ(doc.m_varTable.size(), 16u);
    EXPECT_EQ(doc.GetWindowIndex("系统键盘.dlg"), 0);
}

TEST(DocumentFile, TwoStateTextsOfBitSwitchAndIndicatorAreSavedAsFour)
{
    for (ShapeKind kind : {ShapeKind::Indicator, ShapeKind::BitSwitch}) {
        SCOPED_TRACE(kind);
        CDrawDoc doc;
        auto* obj = doc.AddObject(std::make_unique<CDrawRect>(Rect{0, 0, 10, 10}));
        obj->SetKind(kind);
        obj->m_strFiles = {"a", "b"};
        CDrawDoc loaded;
        ASSERT_TRUE(loaded.LoadFromBytes(doc.SerializeToBytes(), "x.drw", nullptr));
        const std::vector<std::string> four{"a", "b", "", ""};
        EXPECT_EQ(obj->m_strFiles, four);                          // the object itself keeps four
        EXPECT_EQ(loaded.m_objects.front()->m_strFiles, four);
    }
    // Other kinds and other counts are left alone.
    CDrawDoc doc;
    auto* obj = doc.AddObject(std::make_unique<CDrawRect>(Rect{0, 0, 10, 10}));
    obj->SetKind(ShapeKind::Button);
    obj->m_strFiles = {"a", "b"};
    doc.SerializeToBytes();
    EXPECT_EQ(obj->m_strFiles.size(), 2u);
}

// Every prefix of a valid file, and every file with one length or count inflated, fails
// cleanly and leaves the document as it was.
TEST(DocumentFile, TruncatedFilesFailAndChangeNothing)
{
    const std::string good = richDocumentBytes();
    CDrawDoc doc;
    doc.AddObject(std::make_unique<CDrawRect>(Rect{1, 1, 2, 2}));
    const std::string before = doc.SerializeToBytes();
    for (std::size_t n = 0; n < good.size(); n += (n < 64 ? 1 : 7)) {
        DocumentError error;
        ASSERT_FALSE(doc.LoadFromBytes(std::string_view(good).substr(0, n), "cut.drw", &error)) << n;
        EXPECT_NE(error.messageGbk.find("cut.drw"), std::string::npos);
    }
    EXPECT_EQ(doc.SerializeToBytes(), before);
}

TEST(DocumentFile, MalformedDocumentsAreRefused)
{
    CDrawDoc empty;
    const std::string head = empty.SerializeToBytes().substr(0, 28);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"object count larger than the file", head + std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6)},
        {"null object in the list", head + std::string("\x01\x00\x00\x00", 4)},
        {"unknown class", head + std::string("\x01\x00\xFF\xFF\x00\x00\x04\x00", 8) + "CFoo"},
        {"schema 1", head + std::string("\x01\x00\xFF\xFF\x01\x00\x09\x00", 8) + "CDrawRect"},
        {"item class in the object list", head + std::string("\x01\x00\xFF\xFF\x00\x00\x09\x00", 8) + "CDrawItem"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CDrawDoc doc;
        DocumentError error;
        EXPECT_FALSE(doc.LoadFromBytes(c.bytes, "bad.drw", &error));
        EXPECT_FALSE(error.messageGbk.empty());
        EXPECT_TRUE(doc.m_objects.empty());
    }
}

TEST(DocumentFile, VariableColumnsOfDifferentLengthsAreRefused)
{
    CDrawDoc doc;
    doc.m_varTable.AppendRow("0", "unsigned char", "a", "0", "");
    doc.m_varTable.description.clear();
    CDrawDoc loaded;
    EXPECT_FALSE(loaded.LoadFromBytes(doc.SerializeToBytes(), "v.hmi", nullptr));
}

TEST(DocumentFile, EmbeddedObjectsAreRefusedByNameAndTheFileIsKept)
{
    test::TempDir dir;
    CDrawDoc empty;
    std::string bytes = empty.SerializeToBytes();
    // A file whose object list holds an embedded object, and one whose item section is not empty.
    const std::string withOleObject = bytes.substr(0, 28) + std::string("\x01\x00\xFF\xFF\x00\x00\x0B\x00", 8) + "CDrawOleObj" + std::string(1200, '\0');
    const std::string withItems = bytes.substr(0, bytes.size() - 4) + std::string("\x01\x00\x00\x00", 4);
    for (const std::string* content : {&withOleObject, &withItems}) {
        const auto file = dir / "嵌入.drw";
        ASSERT_TRUE(writeFileAtomically(file, *content));
        CDrawDoc doc;
        DocumentError error;
        EXPECT_FALSE(doc.OnOpenDocument(file, &error));
        EXPECT_NE(error.messageGbk.find("OLE"), std::string::npos);
        EXPECT_NE(error.messageGbk.find("嵌入.drw"), std::string::npos);
        EXPECT_TRUE(doc.GetPathName().empty());   // never opened, so never saved over
        std::string after;
        ASSERT_TRUE(readWholeFile(file, after));
        EXPECT_EQ(after, *content);
    }
}

TEST(DocumentFile, SaveAndOpenThroughFiles)
{
    test::TempDir dir;
    const auto file = dir / "画面1.drw";
    CDrawDoc doc;
    doc.AddObject(std::make_unique<CDrawRect>(Rect{1, 2, 3, 4}));
    doc.SetModifiedFlag();
    DocumentError error;
    ASSERT_TRUE(doc.OnSaveDocument(file, &error)) << error.messageGbk;
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "画面1.drw");

    CDrawDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(file, &error)) << error.messageGbk;
    EXPECT_EQ(reopened.SerializeToBytes(), doc.SerializeToBytes());

    // A save that cannot be written reports it and leaves the old file alone.
    std::string before;
    ASSERT_TRUE(readWholeFile(file, before));
    EXPECT_FALSE(doc.OnSaveDocument(dir / "missing" / "x.drw", &error));
    EXPECT_NE(error.messageGbk.find("x.drw"), std::string::npos);
    std::string after;
    ASSERT_TRUE(readWholeFile(file, after));
    EXPECT_EQ(after, before);
}

} // namespace
