#include "device/download/flash_writer.h"

#include "device/download/download_texts.h"

namespace qv::device {

FlashWriter::FlashWriter(PanelFraming& link, NandGeometry geometry, BlockWriteControl control,
                         const std::atomic<int>* abort, Output output)
    : link_(link), geometry_(geometry), control_(std::move(control)), abort_(abort), output_(std::move(output))
{
}

void FlashWriter::fail(const char* why) const
{
    output_(why);
    output_(text::kDownloadFailedLine);
}

FlashWriter::Once FlashWriter::writeOnce(std::span<const std::uint8_t> piece, std::uint64_t limit,
                                         const char* noRoom, std::uint32_t& badBlock)
{
    if (std::uint64_t{current} + piece.size() > limit) {
        fail(noRoom);
        return Once::Failed;
    }
    std::uint32_t result = 0;
    if (UsbWriteBlock(link_, piece, current, control_, result) < 0) {
        fail(abort_ != nullptr && abort_->load() != 0 ? text::kUserAbort : text::kUsbErrorLine);
        return Once::Failed;
    }
    if (result == 0)
        return Once::Written;
    // The bad block must be one the piece covers: anything else could send the next
    // attempt backwards or round in a loop.
    const std::uint64_t lastByte = std::uint64_t{current} + std::max<std::size_t>(piece.size(), 1) - 1;
    if (result / geometry_.blockSize < current / geometry_.blockSize || result / geometry_.blockSize > lastByte / geometry_.blockSize) {
        fail(text::kUsbErrorLine);
        return Once::Failed;
    }
    badBlock = result / geometry_.blockSize;
    current = static_cast<std::uint32_t>((std::uint64_t{result} + geometry_.blockSize) & geometry_.blockMask);
    return Once::BadBlock;
}

bool FlashWriter::write(std::span<const std::uint8_t> piece, std::uint32_t& address, std::uint64_t limit,
                        const char* noRoom, const std::function<void(std::uint32_t)>& onBad)
{
    for (;;) {
        std::uint32_t bad = 0;
        switch (writeOnce(piece, limit, noRoom, bad)) {
        case Once::Written: address = current; return true;
        case Once::Failed: return false;
        case Once::BadBlock:
            if (onBad)
                onBad(bad);
            break; // again at the next block; the limit is checked before it is sent

        }
    }
}

bool FlashWriter::write(std::span<const std::uint8_t> piece, std::uint32_t& address,
                        const std::function<void(std::uint32_t)>& onBad)
{
    return write(piece, address, geometry_.capacity, text::kNoCapacity, onBad);
}

} // namespace qv::device
