#include "picture_tool/link/udp_tool_link.h"

#include "compiler/image/le_bytes.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace qv::picture_tool {
namespace {

sockaddr_in socketAddress(const UdpAddress& a)
{
    sockaddr_in s{};
    s.sin_family = AF_INET;
    s.sin_port = htons(a.port);
    std::memcpy(&s.sin_addr.s_addr, a.ip.data(), 4);
    return s;
}

std::string failure(const char* step)
{
    return std::string("socket初始化错误") + ": " + step + ": " + std::strerror(errno);
}

} // namespace

bool SteadyReplyClock::waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                               std::chrono::milliseconds limit, const std::function<bool()>& ready)
{
    return cv.wait_for(lock, limit, ready);
}

SteadyReplyClock& SteadyReplyClock::instance()
{
    static SteadyReplyClock clock;
    return clock;
}

std::unique_ptr<UdpToolLink> UdpToolLink::open(const UdpAddress& panel, std::uint16_t localPort, TransferContext& context,
                                               std::string* why, UdpOptions options)
{
    const auto fail = [&](std::string text) {
        if (why)
            *why = std::move(text);
        return nullptr;
    };
    if (std::getenv(kLoopbackOnlyEnv) != nullptr && panel.ip[0] != 127)
        return fail("socket初始化错误: only loopback panels are reachable here");
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return fail(failure("socket"));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPort);
    local.sin_addr.s_addr = panel.ip[0] == 127 ? htonl(INADDR_LOOPBACK) : htonl(INADDR_ANY);
    socklen_t len = sizeof local;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0) {
        std::string text = failure("bind");
        ::close(fd);
        return fail(std::move(text));
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        std::string text = failure("eventfd");
        ::close(fd);
        return fail(std::move(text));
    }
    if (options.clock == nullptr)
        options.clock = &SteadyReplyClock::instance();
    return std::unique_ptr<UdpToolLink>(new UdpToolLink(fd, wake, panel, ntohs(local.sin_port), context, options));
}

UdpToolLink::UdpToolLink(int fd, int wake, const UdpAddress& panel, std::uint16_t localPort, TransferContext& context,
                         UdpOptions options)
    : fd_(fd), wake_(wake), panel_(panel), localPort_(localPort), context_(context), options_(options)
{
    receiver_ = std::thread([this] { receiveLoop(); });
}

UdpToolLink::~UdpToolLink()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wake_, &one, sizeof one);
    receiver_.join();
    ::close(fd_);
    ::close(wake_);
}

void UdpToolLink::receiveLoop()
{
    const sockaddr_in expected = socketAddress(panel_);
    std::vector<std::uint8_t> buffer(1600);
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0)
            continue;
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                                     &fromLen);
        if (n < 0 || static_cast<std::size_t>(n) > kMaxReply)
            continue;
        if (from.sin_addr.s_addr != expected.sin_addr.s_addr || from.sin_port != expected.sin_port)
            continue; // another sender
        {
            const std::span<const std::uint8_t> datagram(buffer.data(), static_cast<std::size_t>(n));
            std::lock_guard lock(mutex_);
            if (reply_ || staleLocked(datagram))
                continue; // one reply at a time, and only one that can answer what is in flight
            reply_.emplace(datagram.begin(), datagram.end());
        }
        replied_.notify_all();
    }
}

bool UdpToolLink::staleLocked(std::span<const std::uint8_t> reply) const
{
    return previous_ && current_ && *previous_ != *current_ && reply.size() >= 3 &&
           std::equal(previous_->begin(), previous_->end(), reply.begin());
}

std::optional<std::vector<std::uint8_t>> UdpToolLink::send(std::span<const std::uint8_t> datagram, int sends,
                                                           std::chrono::milliseconds wait)
{
    const sockaddr_in to = socketAddress(panel_);
    std::unique_lock lock(mutex_);
    current_ = std::array<std::uint8_t, 3>{datagram[0], datagram[1], datagram[2]};
    reply_.reset();
    std::optional<std::vector<std::uint8_t>> r;
    for (int attempt = 0; attempt < sends && !r; ++attempt) {
        if (::sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0)
            continue;
        if (options_.clock->waitFor(lock, replied_, wait, [&] { return reply_.has_value(); }))
            r = std::exchange(reply_, std::nullopt);
    }
    previous_ = current_;
    return r;
}

std::optional<std::vector<std::uint8_t>> UdpToolLink::exchange(std::uint8_t code, int sends)
{
    const std::array<std::uint8_t, 3> d{kUdpMark, code, sequence_};
    auto r = send(d, sends, options_.replyWait);
    if (r)
        ++sequence_;
    return r;
}

bool UdpToolLink::writeBlock(std::span<const std::uint8_t> data, std::uint32_t address, std::uint32_t& status)
{
    context_.progress.blockStart();
    status = 0;
    const std::size_t full = data.size() / kUdpPiece;
    std::vector<std::uint8_t> d;
    for (std::size_t at = 0, k = 0; at < data.size(); at += kUdpPiece) {
        const std::size_t n = std::min(kUdpPiece, data.size() - at);
        const auto a = static_cast<std::uint32_t>(address + at);
        d.assign({kUdpMark, 0x01, sequence_, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8),
                  static_cast<std::uint8_t>(a >> 16), static_cast<std::uint8_t>(a >> 24), static_cast<std::uint8_t>(n),
                  static_cast<std::uint8_t>(n >> 8)});
        d.insert(d.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + n));
        const auto r = send(d, kUdpSends, options_.replyWait);
        if (!r)
            return false;
        if (r->size() >= 7 && std::equal(d.begin(), d.begin() + 3, r->begin())) {
            const std::uint32_t word = image::getU32(*r, 3);
            if (word != 0)
                status = word;
        }
        ++sequence_;
        if (n == kUdpPiece) {
            if (context_.aborted())
                return false;
            context_.progress.piece(++k, full);
        }
    }
    context_.progress.blockEnd();
    return true;
}

void UdpToolLink::release()
{
    const std::array<std::uint8_t, 3> d{kUdpMark, '[', sequence_};
    send(d, 2, options_.releaseWait);
    ++sequence_;
}

} // namespace qv::picture_tool
