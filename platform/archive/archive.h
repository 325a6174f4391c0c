#pragma once
// The framework archive the project files are written in: little-endian integers, counts,
// length-prefixed GBK strings, and objects tagged with their class, numbered as they are
// written so that a later mention is a back-reference. The reader checks every count and
// length against the bytes that remain and throws ArchiveError on anything malformed.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qv::archive {

// A malformed or truncated archive. The message is GBK text for the user.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ClassInfo {
    std::string_view name;   // ASCII, as stored
    std::uint16_t schema;
};

// Tag values of the object-reference encoding.
constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTagBit = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTagBit = 0x80000000u;
constexpr std::size_t kMaxClassNameLength = 63;
// Counts and string lengths of these sizes or more take the long form.
constexpr std::uint16_t kLongCountMarker = 0xFFFF;
constexpr std::uint8_t kLongStringMarker = 0xFF;
constexpr std::uint16_t kUtf16StringMarker = 0xFFFE;
constexpr std::uint16_t kLongStringLength = 0xFFFF;

class ArchiveWriter {
public:
    void WriteU8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void WriteU16(std::uint16_t v);
    void WriteU32(std::uint32_t v);
    void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
    void WriteBytes(std::span<const std::uint8_t> bytes);
    void WriteCount(std::uint64_t count);
    void WriteString(std::string_view gbk);
    void WriteStringArray(const std::vector<std::string>& strings);
    void WriteNullReference() { WriteU16(kNullTag); }

    // Writes a reference to `object`: a back-reference when it has been written before
    // (returns false), else its class tag (returns true) and the caller writes its fields.
    bool WriteObjectTag(const void* object, const ClassInfo& cls);

    const std::string& Bytes() const { return bytes_; }
    std::string TakeBytes() { return std::move(bytes_); }

private:
    void WriteNumberTag(std::uint32_t n, bool isClass);

    std::string bytes_;
    std::uint32_t nextNumber_ = 1;
    std::unordered_map<std::string_view, std::uint32_t> classNumbers_;
    std::unordered_map<const void*, std::uint32_t> objectNumbers_;
};

// What an object reference in the stream turned out to be.
struct ObjectTag {
    enum class Kind { Null, BackReference, NewObject } kind = Kind::Null;
    const ClassInfo* cls = nullptr;   // class of a new object or of the referenced one
    std::uint32_t number = 0;         // the object's number
    void* object = nullptr;           // BackReference: what BindObject was given
};

class ArchiveReader {
public:
    // `classes` are the classes this stream may hold; anything else is an error.
    ArchiveReader(std::string_view bytes, std::span<const ClassInfo> classes);

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
    void ReadBytes(std::span<std::uint8_t> out);
    // A count whose elements need at least `minElementBytes` each; a count larger than the
    // bytes that remain can hold is an error.
    std::uint32_t ReadCount(std::size_t minElementBytes);
    std::string ReadString();
    std::vector<std::string> ReadStringArray();

    // Reads an object reference. For a new object the object's number is reserved; give the
    // created object to BindObject(number, object) so later back-references find it.
    ObjectTag ReadObjectTag();
    void BindObject(std::uint32_t number, void* object);

    [[noreturn]] void Fail(std::string_view reasonGbk) const;

private:
    void Need(std::size_t n) const;
    std::uint32_t ReadLength();
    std::string ReadUtf16(std::uint32_t chars);
    const ClassInfo* ReadNewClass();

    struct Entry {
        const ClassInfo* cls = nullptr;   // for objects: their class
        bool isClass = false;
        void* object = nullptr;
    };

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::span<const ClassInfo> classes_;
    std::vector<Entry> entries_;          // index = number; entry 0 is the null reference
};

} // namespace qv::archive
