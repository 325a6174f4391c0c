#include "device/fpga/fpga_data_file.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace qv::device::fpga {
namespace {

constexpr char kMagic[] = "zovn";
constexpr std::size_t kScrambledHeaderEnd = 536;

} // namespace

void SwapNibbles(std::span<std::uint8_t> bytes)
{
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>((b >> 4) | (b << 4));
}

DataFile DecodeDataFile(std::vector<std::uint8_t> raw)
{
    DataFile f;
    if (raw.size() > kMaxDataFile)
        raw.resize(kMaxDataFile);
    if (raw.size() < kImageStart) {
        f.status = DataFileStatus::TooShort;
        return f;
    }
    SwapNibbles(std::span(raw).subspan(kMagicAt, kScrambledHeaderEnd - kMagicAt));
    if (std::memcmp(raw.data() + kMagicAt, kMagic, 4) != 0) {
        f.status = DataFileStatus::BadMagic;
        return f;
    }
    SwapNibbles(std::span(raw).subspan(kImageStart));
    f.status = DataFileStatus::Ok;
    f.bytes = std::move(raw);
    return f;
}

DataFile LoadDataFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::vector<std::uint8_t> raw(kMaxDataFile);
    in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (in.bad())
        return {};
    raw.resize(static_cast<std::size_t>(in.gcount()));
    return DecodeDataFile(std::move(raw));
}

std::string DataFileMessage(DataFileStatus status)
{
    switch (status) {
    case DataFileStatus::Ok: return {};
    case DataFileStatus::Missing: return "找不到文件";
    case DataFileStatus::TooShort: return "文件错误1!";
    case DataFileStatus::BadMagic: return "文件错误2!!";
    }
    return {};
}

std::vector<std::uint8_t> EncodeDataFile(std::span<const std::uint8_t> image)
{
    std::vector<std::uint8_t> out(kImageStart, 0);
    std::memcpy(out.data() + kMagicAt, kMagic, 4);
    SwapNibbles(std::span(out).subspan(kMagicAt, kScrambledHeaderEnd - kMagicAt));
    out.insert(out.end(), image.begin(), image.end());
    SwapNibbles(std::span(out).subspan(kImageStart));
    return out;
}

} // namespace qv::device::fpga
