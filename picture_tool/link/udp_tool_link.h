#pragma once
// The tool's UDP link to a panel (IPv4): command datagrams {0x88, code, sequence}, data
// datagrams with a 9-byte header and up to 1280 bytes. A receive thread waits in poll() with
// a wake-up descriptor and hands one reply at a time to the sender under a lock; it is woken
// and joined before the socket closes. Replies count only from the panel's address and port,
// and a late answer to the datagram before the one in flight is dropped as it arrives, so it
// can never crowd out the answer that follows it.
#include "picture_tool/link/tool_link.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qv::picture_tool {

inline constexpr std::uint8_t kUdpMark = 0x88;
inline constexpr std::size_t kUdpPiece = 1280;
inline constexpr std::size_t kUdpHeader = 9;
inline constexpr int kUdpSends = 4;
inline constexpr std::size_t kMaxReply = 1023;

// Set by the test runner: only loopback panels may be reached.
inline constexpr const char* kLoopbackOnlyEnv = "QV_LOOPBACK_ONLY";

// How the sender waits for a reply; tests may drive it.
class ReplyClock {
public:
    virtual ~ReplyClock() = default;
    // Waits until `ready` holds or `limit` has passed; returns ready().
    virtual bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                         std::chrono::milliseconds limit, const std::function<bool()>& ready) = 0;
};

class SteadyReplyClock final : public ReplyClock {
public:
    bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, std::chrono::milliseconds limit,
                 const std::function<bool()>& ready) override;
    static SteadyReplyClock& instance();
};

struct UdpAddress {
    std::array<std::uint8_t, 4> ip{192, 168, 1, 18};
    std::uint16_t port = 8088;
};

struct UdpOptions {
    std::chrono::milliseconds replyWait{1000};
    std::chrono::milliseconds releaseWait{20};
    ReplyClock* clock = nullptr; // steady when not set
};

class UdpToolLink final : public ToolLink {
public:
    // Binds the PC port (0: any free port) and starts the receive thread. nullptr with the
    // reason (GBK, starting "socket初始化错误") when the socket cannot be made or bound.
    static std::unique_ptr<UdpToolLink> open(const UdpAddress& panel, std::uint16_t localPort, TransferContext& context,
                                             std::string* why = nullptr, UdpOptions options = {});
    ~UdpToolLink() override;
    UdpToolLink(const UdpToolLink&) = delete;
    UdpToolLink& operator=(const UdpToolLink&) = delete;

    // A command sent up to `sends` times; the whole reply datagram, nullopt when none came.
    std::optional<std::vector<std::uint8_t>> exchange(std::uint8_t code, int sends);
    bool writeBlock(std::span<const std::uint8_t> data, std::uint32_t address, std::uint32_t& status) override;
    // The release {0x88, '[', sequence}, sent at most twice.
    void release();

    std::uint16_t localPort() const { return localPort_; }
    std::uint8_t sequence() const { return sequence_; }

private:
    UdpToolLink(int fd, int wake, const UdpAddress& panel, std::uint16_t localPort, TransferContext& context,
                UdpOptions options);
    std::optional<std::vector<std::uint8_t>> send(std::span<const std::uint8_t> datagram, int sends,
                                                  std::chrono::milliseconds wait);
    void receiveLoop();
    // Whether `reply` answers the datagram before the one in flight; under mutex_.
    bool staleLocked(std::span<const std::uint8_t> reply) const;

    int fd_;
    int wake_;
    UdpAddress panel_;
    std::uint16_t localPort_;
    TransferContext& context_;
    UdpOptions options_;
    std::uint8_t sequence_ = 0;
    std::mutex mutex_;
    // Headers of the datagram in flight and of the one before it; under mutex_.
    std::optional<std::array<std::uint8_t, 3>> current_;
    std::optional<std::array<std::uint8_t, 3>> previous_;
    std::condition_variable replied_;
    std::optional<std::vector<std::uint8_t>> reply_;
    std::thread receiver_;
};

} // namespace qv::picture_tool
