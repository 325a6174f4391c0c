#pragma once
// How the download tool writes a block into the panel's flash, over either transport. A
// link owns its connection: it is closed once, by its owner, whatever failed.
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

namespace qv::picture_tool {

// Progress of the writers: per block (picture and font downloads) or over the whole run
// counted in pieces (packed download).
struct TransferProgress {
    enum class Mode { PerBlock, Overall } mode = Mode::PerBlock;
    std::uint64_t totalPieces = 1;
    std::uint64_t pieces = 0;
    int lastShown = -1;
    std::function<void(int)> show; // 0..100; may be empty

    void set(int percent)
    {
        if (show && percent != lastShown) {
            lastShown = percent;
            show(percent);
        }
    }
    void blockStart()
    {
        if (mode == Mode::PerBlock)
            set(0);
    }
    void blockEnd()
    {
        if (mode == Mode::PerBlock)
            set(100);
    }
    // After the k-th piece (from 1) of a block of `fullPieces` full pieces.
    void piece(std::uint64_t k, std::uint64_t fullPieces)
    {
        if (mode == Mode::PerBlock)
            set(static_cast<int>(fullPieces == 0 ? 0 : (k - 1) * 100 / fullPieces));
        else
            set(static_cast<int>(++pieces * 100 / (totalPieces == 0 ? 1 : totalPieces)));
    }
};

// What the writers share: the user's abort and the progress.
struct TransferContext {
    std::atomic<bool>* abort = nullptr;
    TransferProgress progress;
    bool aborted() const { return abort != nullptr && abort->load(); }
};

class ToolLink {
public:
    virtual ~ToolLink() = default;
    // Writes `data` at `address`. True with the panel's status word (0: written, else an
    // address inside the bad block); false on a transfer failure, a missing answer or the
    // abort.
    virtual bool writeBlock(std::span<const std::uint8_t> data, std::uint32_t address, std::uint32_t& status) = 0;
};

} // namespace qv::picture_tool
