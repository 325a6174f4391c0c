// The framework archive: each encoding at its boundaries, written and read back, and
// malformed streams that must fail with an error instead of crashing or allocating.
#include "platform/archive/archive.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

using namespace qv::archive;

namespace {

constexpr std::array<ClassInfo, 2> kClasses{{{"CDrawObj", 0}, {"CDrawRect", 0}}};

std::string u8b(unsigned v) { return std::string(1, char(v & 0xFF)); }
std::string le16(unsigned v) { return u8b(v) + u8b(v >> 8); }
std::string le32(unsigned v) { return le16(v & 0xFFFF) + le16(v >> 16); }

TEST(ArchiveEncoding, StringLengthPrefixesAtTheirBoundaries)
{
    struct Case {
        std::size_t length;
        std::string prefix;   // what the length rules give
    };
    const Case cases[] = {
        {0, u8b(0)},
        {254, u8b(254)},
        {255, u8b(0xFF) + le16(255)},
        {0xFFFD, u8b(0xFF) + le16(0xFFFD)},
        // 0xFFFE as a u16 would be the UTF-16 marker: it takes the long form.
        {0xFFFE, u8b(0xFF) + le16(0xFFFF) + le32(0xFFFE)},
        {0x10000, u8b(0xFF) + le16(0xFFFF) + le32(0x10000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'a');
        ArchiveWriter w;
        w.WriteString(text);
        ASSERT_EQ(w.Bytes(), c.prefix + text);
        ArchiveReader r(w.Bytes(), kClasses);
        EXPECT_EQ(r.ReadString(), text);
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(ArchiveEncoding, Utf16MarkedStringIsConvertedToGbk)
{
    // 0xFF, u16 0xFFFE, then a second length prefix (2 characters) and UTF-16LE "文A".
    const std::string stream = u8b(0xFF) + le16(0xFFFE) + u8b(2) + le16(0x6587) + le16('A');
    ArchiveReader r(stream, kClasses);
    EXPECT_EQ(r.ReadString(), "文A");   // GBK bytes
    EXPECT_TRUE(r.AtEnd());
}

TEST(ArchiveEncoding, CountsAtTheirBoundaries)
{
    struct Case {
        std::uint32_t count;
        std::string bytes;
    };
    const Case cases[] = {
        {0, le16(0)},
        {0xFFFE, le16(0xFFFE)},
        {0xFFFF, le16(0xFFFF) + le32(0xFFFF)},
        {0x12345, le16(0xFFFF) + le32(0x12345)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        ArchiveWriter w;
        w.WriteCount(c.count);
        ASSERT_EQ(w.Bytes(), c.bytes);
        ArchiveReader r(w.Bytes(), kClasses);
        EXPECT_EQ(r.ReadCount(0), c.count);
    }
}

TEST(ArchiveEncoding, ClassesAndObjectsShareOneNumbering)
{
    int objects[3];
    ArchiveWriter w;
    EXPECT_TRUE(w.WriteObjectTag(&objects[0], kClasses[1]));   // class 1, object 2
    EXPECT_TRUE(w.WriteObjectTag(&objects[1], kClasses[1]));   // object 3
    EXPECT_FALSE(w.WriteObjectTag(&objects[0], kClasses[1])); // back-reference to 2
    w.WriteNullReference();
    const std::string expected = le16(0xFFFF) + le16(0) + le16(9) + "CDrawRect" + le16(0x8001) + le16(2) + le16(0);
    ASSERT_EQ(w.Bytes(), expected);

    ArchiveReader r(w.Bytes(), kClasses);
    ObjectTag a = r.ReadObjectTag();
    ASSERT_EQ(a.kind, ObjectTag::Kind::NewObject);
    EXPECT_EQ(a.number, 2u);
    EXPECT_EQ(a.cls->name, "CDrawRect");
    r.BindObject(a.number, &objects[0]);
    ObjectTag b = r.ReadObjectTag();
    ASSERT_EQ(b.kind, ObjectTag::Kind::NewObject);
    EXPECT_EQ(b.number, 3u);
    ObjectTag back = r.ReadObjectTag();
    ASSERT_EQ(back.kind, ObjectTag::Kind::BackReference);
    EXPECT_EQ(back.object, &objects[0]);
    EXPECT_EQ(r.ReadObjectTag().kind, ObjectTag::Kind::Null);
}

TEST(ArchiveEncoding, NumbersFrom0x7FFFTakeTheBigTag)
{
    // The class takes number 1, so objects[i] is number i + 2.
    std::vector<int> objects(0x7FFF);
    ArchiveWriter w;
    for (auto& o : objects)
        w.WriteObjectTag(&o, kClasses[0]);
    const std::size_t last = w.Bytes().size();
    w.WriteObjectTag(&objects[0x7FFC], kClasses[0]);   // number 0x7FFE: small form
    w.WriteObjectTag(&objects[0x7FFD], kClasses[0]);   // number 0x7FFF: big form
    EXPECT_EQ(w.Bytes().substr(last), le16(0x7FFE) + le16(0x7FFF) + le32(0x7FFF));

    ArchiveReader r(w.Bytes(), kClasses);
    for (auto& o : objects) {
        ObjectTag t = r.ReadObjectTag();
        ASSERT_EQ(t.kind, ObjectTag::Kind::NewObject);
        r.BindObject(t.number, &o);
    }
    EXPECT_EQ(r.ReadObjectTag().object, &objects[0x7FFC]);
    ObjectTag big = r.ReadObjectTag();
    EXPECT_EQ(big.number, 0x7FFFu);
    EXPECT_EQ(big.object, &objects[0x7FFD]);
    EXPECT_TRUE(r.AtEnd());
}

TEST(ArchiveEncoding, ClassNumberFrom0x7FFFTakesTheBigClassTag)
{
    std::vector<int> objects(0x7FFE);
    int extra = 0;
    ArchiveWriter w;
    for (auto& o : objects)
        w.WriteObjectTag(&o, kClasses[0]);   // CDrawObj = 1, objects 2..0x7FFF
    w.WriteObjectTag(&extra, kClasses[1]);   // CDrawRect is new: number 0x8000
    int more = 0;
    const std::size_t before = w.Bytes().size();
    w.WriteObjectTag(&more, kClasses[1]);
    EXPECT_EQ(w.Bytes().substr(before), le16(0x7FFF) + le32(0x80000000u | 0x8000));

    ArchiveReader r(w.Bytes(), kClasses);
    for (auto& o : objects)
        r.BindObject(r.ReadObjectTag().number, &o);
    EXPECT_EQ(r.ReadObjectTag().cls->name, "CDrawRect");
    ObjectTag t = r.ReadObjectTag();
    ASSERT_EQ(t.kind, ObjectTag::Kind::NewObject);
    EXPECT_EQ(t.cls->name, "CDrawRect");
}

// Every malformed stream ends in ArchiveError: no crash, no hang, no huge allocation.
TEST(ArchiveMalformed, EveryBadStreamFailsCleanly)
{
    struct Case {
        const char* what;
        std::string bytes;
        void (*read)(ArchiveReader&);
    };
    auto readTag = [](ArchiveReader& r) { r.ReadObjectTag(); };
    auto readString = [](ArchiveReader& r) { r.ReadString(); };
    auto readStrings = [](ArchiveReader& r) { r.ReadStringArray(); };
    auto readList = [](ArchiveReader& r) { r.ReadCount(2); };
    const Case cases[] = {
        {"short u32", "\x01\x02", [](ArchiveReader& r) { r.ReadU32(); }},
        {"short class tag", le16(0xFFFF) + le16(0), readTag},
        {"short class name", le16(0xFFFF) + le16(0) + le16(9) + "CDraw", readTag},
        {"unknown class", le16(0xFFFF) + le16(0) + le16(7) + "CWidget", readTag},
        {"schema 1", le16(0xFFFF) + le16(1) + le16(9) + "CDrawRect", readTag},
        {"class name of 64 characters", le16(0xFFFF) + le16(0) + le16(64) + std::string(64, 'C'), readTag},
        {"back-reference to nothing", le16(5), readTag},
        {"class tag naming no class", le16(0x8003), readTag},
        {"big tag to nothing", le16(0x7FFF) + le32(0x12345678), readTag},
        {"string longer than the file", u8b(0xFF) + le16(0xFFFF) + le32(0xFFFFFFF0u) + "abc", readString},
        {"short one-byte string", u8b(10) + "abc", readString},
        {"UTF-16 string longer than the file", u8b(0xFF) + le16(0xFFFE) + u8b(0xFF) + le16(0xFFFF) + le32(0x7FFFFFFF), readString},
        {"unpaired surrogate", u8b(0xFF) + le16(0xFFFE) + u8b(1) + le16(0xD800), readString},
        {"string array count larger than the file", le16(0xFFFF) + le32(0xFFFFFFFFu) + "ab", readStrings},
        {"list count larger than the file", le16(0xFFFE) + "abcd", readList},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ArchiveReader r(c.bytes, kClasses);
        EXPECT_THROW(c.read(r), ArchiveError);
    }
}

TEST(ArchiveMalformed, ErrorSaysWhere)
{
    const std::string bytes = le16(0xFFFF) + le16(0) + le16(7) + "CWidget";
    ArchiveReader r(bytes, kClasses);
    try {
        r.ReadObjectTag();
        FAIL();
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("CWidget"), std::string::npos);
    }
}

} // namespace
