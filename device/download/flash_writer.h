#pragma once
// The bad-block rule of every download piece: a piece goes to the current flash address;
// when the panel reports a bad block it goes again to the start of the block after it.
// Every piece must fit below the limit before it is sent, and a result word that does not
// lie inside the piece just sent fails the write (it could point backwards or loop).
#include "device/commands/panel_commands.h"
#include "model/app/nand_geometry.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace qv::device {

class FlashWriter {
public:
    using Output = std::function<void(const std::string& gbk)>;
    FlashWriter(PanelFraming& link, NandGeometry geometry, BlockWriteControl control, const std::atomic<int>* abort,
                Output output);

    enum class Once { Written, BadBlock, Failed };
    // One attempt at the current address, bounded by `limit` (the failure texts given when
    // the piece does not fit). BadBlock: the current address moved past the bad block,
    // whose number is in `badBlock`.
    Once writeOnce(std::span<const std::uint8_t> piece, std::uint64_t limit, const char* noRoom,
                   std::uint32_t& badBlock);
    // Writes until the piece is in; `address` = where. `onBad` gets each bad block's number.
    bool write(std::span<const std::uint8_t> piece, std::uint32_t& address,
               const std::function<void(std::uint32_t)>& onBad = {});
    bool write(std::span<const std::uint8_t> piece, std::uint32_t& address, std::uint64_t limit, const char* noRoom,
               const std::function<void(std::uint32_t)>& onBad = {});

    std::uint32_t current = 0;
    const NandGeometry& geometry() const { return geometry_; }
    PanelFraming& link() { return link_; }
    void fail(const char* why) const; // the text, then "下载失败"

private:
    PanelFraming& link_;
    NandGeometry geometry_;
    BlockWriteControl control_;
    const std::atomic<int>* abort_;
    Output output_;
};

} // namespace qv::device
