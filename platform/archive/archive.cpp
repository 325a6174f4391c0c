#include "platform/archive/archive.h"

#include <limits>

#include "platform/text/gbk.h"

namespace qv::archive {

namespace {

// UTF-16LE to UTF-8; false on an unpaired surrogate.
bool utf16ToUtf8(std::string_view le, std::string& out)
{
    auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(le[2 * i])) |
               (static_cast<std::uint32_t>(static_cast<std::uint8_t>(le[2 * i + 1])) << 8);
    };
    const std::size_t units = le.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= units)
                return false;
            const std::uint32_t low = unit(i + 1);
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

} // namespace

// ---- writer --------------------------------------------------------------------------------

void ArchiveWriter::WriteU16(std::uint16_t v)
{
    WriteU8(static_cast<std::uint8_t>(v));
    WriteU8(static_cast<std::uint8_t>(v >> 8));
}

void ArchiveWriter::WriteU32(std::uint32_t v)
{
    WriteU16(static_cast<std::uint16_t>(v));
    WriteU16(static_cast<std::uint16_t>(v >> 16));
}

void ArchiveWriter::WriteBytes(std::span<const std::uint8_t> bytes)
{
    bytes_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void ArchiveWriter::WriteCount(std::uint64_t count)
{
    if (count > std::numeric_limits<std::uint32_t>::max())
        throw ArchiveError("列表过长，无法保存");
    if (count < kLongCountMarker) {
        WriteU16(static_cast<std::uint16_t>(count));
    } else {
        WriteU16(kLongCountMarker);
        WriteU32(static_cast<std::uint32_t>(count));
    }
}

void ArchiveWriter::WriteString(std::string_view gbk)
{
    const std::size_t n = gbk.size();
    if (n > std::numeric_limits<std::uint32_t>::max())
        throw ArchiveError("文字过长，无法保存");
    if (n < kLongStringMarker) {
        WriteU8(static_cast<std::uint8_t>(n));
    } else if (n < kUtf16StringMarker) {
        WriteU8(kLongStringMarker);
        WriteU16(static_cast<std::uint16_t>(n));
    } else {
        // 0xFFFE itself would read as the UTF-16 marker, so it takes the long form too.
        WriteU8(kLongStringMarker);
        WriteU16(kLongStringLength);
        WriteU32(static_cast<std::uint32_t>(n));
    }
    bytes_.append(gbk);
}

void ArchiveWriter::WriteStringArray(const std::vector<std::string>& strings)
{
    WriteCount(strings.size());
    for (const auto& s : strings)
        WriteString(s);
}

void ArchiveWriter::WriteNumberTag(std::uint32_t n, bool isClass)
{
    if (n < kBigObjectTag) {
        WriteU16(static_cast<std::uint16_t>(isClass ? (kClassTagBit | n) : n));
    } else {
        WriteU16(kBigObjectTag);
        WriteU32(isClass ? (kBigClassTagBit | n) : n);
    }
}

bool ArchiveWriter::WriteObjectTag(const void* object, const ClassInfo& cls)
{
    if (auto it = objectNumbers_.find(object); it != objectNumbers_.end()) {
        WriteNumberTag(it->second, false);
        return false;
    }
    if (auto it = classNumbers_.find(cls.name); it != classNumbers_.end()) {
        WriteNumberTag(it->second, true);
    } else {
        WriteU16(kNewClassTag);
        WriteU16(cls.schema);
        WriteU16(static_cast<std::uint16_t>(cls.name.size()));
        bytes_.append(cls.name);
        classNumbers_.emplace(cls.name, nextNumber_++);
    }
    objectNumbers_.emplace(object, nextNumber_++);
    return true;
}

// ---- reader --------------------------------------------------------------------------------

ArchiveReader::ArchiveReader(std::string_view bytes, std::span<const ClassInfo> classes)
    : bytes_(bytes), classes_(classes)
{
    entries_.push_back({});   // number 0: the null reference
}

void ArchiveReader::Fail(std::string_view reasonGbk) const
{
    std::string message(reasonGbk);
    message += "（位置 ";
    message += std::to_string(pos_);
    message += "）";
    throw ArchiveError(message);
}

void ArchiveReader::Need(std::size_t n) const
{
    if (n > Remaining())
        Fail("文件意外结束");
}

std::uint8_t ArchiveReader::ReadU8()
{
    Need(1);
    return static_cast<std::uint8_t>(bytes_[pos_++]);
}

std::uint16_t ArchiveReader::ReadU16()
{
    Need(2);
    const std::uint16_t lo = static_cast<std::uint8_t>(bytes_[pos_]);
    const std::uint16_t hi = static_cast<std::uint8_t>(bytes_[pos_ + 1]);
    pos_ += 2;
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

std::uint32_t ArchiveReader::ReadU32()
{
    Need(4);
    const std::uint32_t lo = ReadU16();
    const std::uint32_t hi = ReadU16();
    return lo | (hi << 16);
}

void ArchiveReader::ReadBytes(std::span<std::uint8_t> out)
{
    Need(out.size());
    for (auto& b : out)
        b = static_cast<std::uint8_t>(bytes_[pos_++]);
}

std::uint32_t ArchiveReader::ReadCount(std::size_t minElementBytes)
{
    std::uint32_t count = ReadU16();
    if (count == kLongCountMarker)
        count = ReadU32();
    if (minElementBytes > 0 && count > Remaining() / minElementBytes)
        Fail("计数超出文件长度");
    return count;
}

// One length prefix without the UTF-16 marker.
std::uint32_t ArchiveReader::ReadLength()
{
    const std::uint8_t b = ReadU8();
    if (b < kLongStringMarker)
        return b;
    const std::uint16_t w = ReadU16();
    if (w == kUtf16StringMarker)
        Fail("文字长度无效");
    if (w < kLongStringLength)
        return w;
    return ReadU32();
}

std::string ArchiveReader::ReadUtf16(std::uint32_t chars)
{
    const std::uint64_t bytes = 2ull * chars;
    if (bytes > Remaining())
        Fail("文件意外结束");
    std::string utf8;
    if (!utf16ToUtf8(bytes_.substr(pos_, static_cast<std::size_t>(bytes)), utf8))
        Fail("UTF-16文字无效");
    pos_ += static_cast<std::size_t>(bytes);
    auto gbk = utf8ToGbk(utf8);
    if (!gbk)
        Fail("文字含有GBK无法表示的字符");
    return *gbk;
}

std::string ArchiveReader::ReadString()
{
    const std::size_t start = pos_;
    const std::uint8_t b = ReadU8();
    std::uint32_t length = b;
    if (b == kLongStringMarker) {
        const std::uint16_t w = ReadU16();
        if (w == kUtf16StringMarker)
            return ReadUtf16(ReadLength());
        length = (w == kLongStringLength) ? ReadU32() : w;
    }
    if (length > Remaining()) {
        pos_ = start;
        Fail("文字长度超出文件长度");
    }
    std::string s(bytes_.substr(pos_, length));
    pos_ += length;
    return s;
}

std::vector<std::string> ArchiveReader::ReadStringArray()
{
    const std::uint32_t count = ReadCount(1);
    std::vector<std::string> strings;
    strings.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        strings.push_back(ReadString());
    return strings;
}

const ClassInfo* ArchiveReader::ReadNewClass()
{
    const std::uint16_t schema = ReadU16();
    const std::uint16_t length = ReadU16();
    if (length > kMaxClassNameLength)
        Fail("类名过长");
    Need(length);
    const std::string_view name = bytes_.substr(pos_, length);
    pos_ += length;
    const ClassInfo* found = nullptr;
    for (const auto& c : classes_)
        if (c.name == name)
            found = &c;
    if (!found) {
        std::string reason = "未知的类 ";
        for (char ch : name)   // shown as ASCII; anything else as '?'
            reason += (ch >= 0x20 && ch < 0x7F) ? ch : '?';
        Fail(reason);
    }
    if (found->schema != schema)
        Fail("类的版本不符");
    entries_.push_back({found, true, nullptr});
    return found;
}

ObjectTag ArchiveReader::ReadObjectTag()
{
    const std::uint16_t tag = ReadU16();
    const ClassInfo* cls = nullptr;
    if (tag == kNewClassTag) {
        cls = ReadNewClass();
    } else {
        std::uint32_t n = 0;
        bool isClass = false;
        if (tag == kBigObjectTag) {
            const std::uint32_t big = ReadU32();
            isClass = (big & kBigClassTagBit) != 0;
            n = big & ~kBigClassTagBit;
            if (n == 0)
                Fail("无效的对象引用");
        } else {
            isClass = (tag & kClassTagBit) != 0;
            n = tag & ~kClassTagBit;
            if (tag == kNullTag)
                return {};
        }
        if (n >= entries_.size() || entries_[n].isClass != isClass)
            Fail("无效的对象引用");
        const Entry& e = entries_[n];
        if (!isClass) {
            if (!e.object)
                Fail("无效的对象引用");
            return {ObjectTag::Kind::BackReference, e.cls, n, e.object};
        }
        cls = e.cls;
    }
    const auto number = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back({cls, false, nullptr});
    return {ObjectTag::Kind::NewObject, cls, number, nullptr};
}

void ArchiveReader::BindObject(std::uint32_t number, void* object)
{
    if (number < entries_.size() && !entries_[number].isClass)
        entries_[number].object = object;
}

} // namespace qv::archive
