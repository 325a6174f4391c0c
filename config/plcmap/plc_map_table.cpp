#include "config/plcmap/plc_map_table.h"

#include <utility>

#include "model/project/file_copies.h"
#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "config/plcmap/plc_protocols.h"

namespace qv::plcmap {
namespace {

// The stored name below the project folder as a host path (the folder may not exist yet, so
// the parts are joined directly; the names are ASCII).
std::filesystem::path HostFile(const std::filesystem::path& projectDir, int protocol, int port)
{
    const std::string stored = DriverFileName(protocol, port);
    if (stored.empty())
        return {};
    if (auto found = resolveStoredPath(projectDir, stored))
        return *found;
    std::filesystem::path p = projectDir;
    std::size_t start = 1;
    while (start <= stored.size()) {
        const std::size_t end = std::min(stored.find('\\', start), stored.size());
        p /= stored.substr(start, end - start);
        start = end + 1;
    }
    return p;
}

} // namespace

std::vector<ColumnSpec> ColumnsOf(int protocol)
{
    std::vector<ColumnSpec> cols{{"PLC设备地址", 110}, {"元件类型", 80}, {"元件编号", 80},
                                 {"映射数量", 80}, {"HMI变量地址", 110}, {"通讯延时(豪秒)", 120},
                                 {"超时延时(豪秒)", 120}, {"Ack延时(豪秒)", 120}, {"画面号", 65},
                                 {"仅写功能", 65}};
    const PlcProtocolInfo* info = FindPlcProtocol(protocol);
    if (info && !info->usesStation)
        cols.erase(cols.begin());
    return cols;
}

PlcMapTable::PlcMapTable(std::filesystem::path projectDir, int port, int protocol)
    : file_(HostFile(projectDir, protocol, port)), port_(port), protocol_(protocol)
{
}

bool PlcMapTable::Load(std::string* error)
{
    rows_.clear();
    selection_ = -1;
    if (file_.empty())
        return true;
    std::error_code ec;
    if (!std::filesystem::exists(file_, ec))
        return true;
    std::string bytes;
    std::string why;
    MappingTable table;
    if (!readWholeFile(file_, bytes, &why, plcmap::kMaxDriverFileSize) || !DecodeDriverFile(bytes, table, &why)) {
        if (error)
            *error = "映射表文件已损坏: " + pathForMessage(file_.filename()) + " (" + why + ")";
        return false;
    }
    rows_ = std::move(table.rows);
    return true;
}

bool PlcMapTable::Save(std::string* error) const
{
    const PlcProtocolInfo* info = FindPlcProtocol(protocol_);
    if (!info || file_.empty()) {
        if (error)
            *error = "no mapping table for this protocol";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    // Every record names the table's own port, and tables without stations store 0 there.
    std::vector<MappingRecord> rows = rows_;
    for (MappingRecord& r : rows) {
        r.port = static_cast<std::uint8_t>(port_);
        if (!info->usesStation)
            r.station = 0;
    }
    return writeFileAtomically(file_, EncodeDriverFile(info->tag, rows), error);
}

void PlcMapTable::Commit()
{
    saveError_.clear();
    Save(&saveError_);
}

std::optional<std::string> PlcMapTable::Add(const MappingEdit& edit)
{
    saveError_.clear();
    if (rows_.size() >= static_cast<std::size_t>(kMaxRows))
        return std::string("最多支持两千条影射");
    if (auto refusal = CheckEdit(protocol_, edit))
        return refusal;
    const auto at = selection_ >= 0 ? static_cast<std::size_t>(selection_) + 1 : rows_.size();
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), ToRecord(protocol_, port_, edit));
    selection_ = static_cast<int>(at);
    Commit();
    return std::nullopt;
}

std::optional<std::string> PlcMapTable::Modify(const MappingEdit& edit)
{
    saveError_.clear();
    if (selection_ < 0)
        return std::nullopt;
    if (auto refusal = CheckEdit(protocol_, edit))
        return refusal;
    rows_[static_cast<std::size_t>(selection_)] = ToRecord(protocol_, port_, edit);
    Commit();
    return std::nullopt;
}

void PlcMapTable::Delete()
{
    saveError_.clear();
    if (selection_ < 0)
        return;
    rows_.erase(rows_.begin() + selection_);
    selection_ = static_cast<int>(rows_.size()) - 1;
    Commit();
}

std::optional<std::string> PlcMapTable::Clear(std::string_view password)
{
    saveError_.clear();
    if (password != kClearPassword)
        return std::string("密码错误!!!");
    if (!rows_.empty()) {
        rows_.clear();
        selection_ = -1;
        Commit();
    }
    return std::nullopt;
}

void PlcMapTable::MoveUp()
{
    saveError_.clear();
    if (selection_ <= 0)
        return;
    std::swap(rows_[static_cast<std::size_t>(selection_)], rows_[static_cast<std::size_t>(selection_ - 1)]);
    --selection_;
    Commit();
}

void PlcMapTable::MoveDown()
{
    saveError_.clear();
    if (selection_ < 0 || selection_ + 1 >= static_cast<int>(rows_.size()))
        return;
    std::swap(rows_[static_cast<std::size_t>(selection_)], rows_[static_cast<std::size_t>(selection_ + 1)]);
    ++selection_;
    Commit();
}

std::vector<std::string> PlcMapTable::RowTexts(std::size_t row) const
{
    const MappingRecord& r = rows_.at(row);
    const auto types = ElementTypesOf(protocol_);
    std::vector<std::string> texts;
    const PlcProtocolInfo* info = FindPlcProtocol(protocol_);
    if (!info || info->usesStation)
        texts.push_back(std::to_string(r.station));
    texts.push_back(r.elementType < types.size() ? std::string(types[r.elementType]) : std::to_string(r.elementType));
    for (int v : {int(r.elementNumber), int(r.count), int(r.hmiAddress), r.commDelay5 * 5, r.timeout5 * 5,
                  r.ackDelay5 * 5, int(r.screen)})
        texts.push_back(std::to_string(v));
    texts.emplace_back(r.writeOnly() ? "是" : "否");
    return texts;
}

} // namespace qv::plcmap
