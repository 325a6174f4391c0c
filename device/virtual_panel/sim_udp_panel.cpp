#include "device/virtual_panel/sim_udp_panel.h"

#include "compiler/image/le_bytes.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qv::device::virtual_panel {
namespace {

int loopbackSocket(std::uint16_t* port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        throw std::runtime_error("simulated panel: no loopback socket");
    if (port)
        *port = ntohs(a.sin_port);
    return fd;
}

} // namespace

SimUdpPanel::SimUdpPanel(std::shared_ptr<SimPanel> panel) : panel_(std::move(panel))
{
    fd_ = loopbackSocket(&port_);
    foreign_ = loopbackSocket(nullptr);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread([this] { loop(); });
}

SimUdpPanel::~SimUdpPanel()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wake_, &one, sizeof one);
    thread_.join();
    ::close(fd_);
    ::close(foreign_);
    ::close(wake_);
}

void SimUdpPanel::injectFault(std::size_t datagram, UdpFault fault)
{
    std::lock_guard lock(mutex_);
    faults_[datagram] = fault;
}

void SimUdpPanel::dropFrom(std::size_t datagram)
{
    std::lock_guard lock(mutex_);
    dropFrom_ = datagram;
}

std::size_t SimUdpPanel::datagrams() const
{
    std::lock_guard lock(mutex_);
    return count_;
}

void SimUdpPanel::waitForDatagrams(std::size_t n) const
{
    std::unique_lock lock(mutex_);
    handled_.wait(lock, [&] { return count_ >= n; });
}

std::vector<std::uint8_t> SimUdpPanel::answer(std::span<const std::uint8_t> d)
{
    std::vector<std::uint8_t> r(d.begin(), d.begin() + 3);
    SimPanel& p = *panel_;
    const auto reply = [&](std::size_t n) {
        std::vector<std::uint8_t> b(n, 0);
        if (p.bulk(false, 0, b).count == n)
            r.insert(r.end(), b.begin(), b.end());
    };
    if (d[1] == 0x01) {
        if (d.size() < 9)
            return {};
        const std::uint32_t address = image::getU32(d, 3);
        const std::uint32_t length = std::min<std::uint32_t>(image::getU16(d, 7), static_cast<std::uint32_t>(d.size() - 9));
        std::vector<std::uint8_t> head(9, 0x01);
        image::putU32(head, 1, address);
        image::putU32(head, 5, length);
        p.bulk(true, 1, head);
        std::vector<std::uint8_t> data(d.begin() + 9, d.begin() + 9 + length);
        if (!data.empty())
            p.bulk(true, 3, data);
        reply(4);
        return r;
    }
    std::vector<std::uint8_t> cmd{d[1]};
    p.bulk(true, 1, cmd);
    switch (d[1]) {
    case 'X': reply(1); break;
    case 'Y': reply(4); break;
    case 0x02: reply(1); break;
    default: break;
    }
    return r;
}

void SimUdpPanel::loop()
{
    std::vector<std::uint8_t> buffer(2048);
    std::optional<std::pair<sockaddr_in, std::vector<std::uint8_t>>> held;
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0)
            return;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0)
            continue;
        std::optional<UdpFault> fault;
        {
            std::lock_guard lock(mutex_);
            const std::size_t index = count_;
            if (const auto it = faults_.find(index); it != faults_.end())
                fault = it->second;
            if (index >= dropFrom_)
                fault = UdpFault::Drop;
        }
        const auto sendTo = [&](int fd, const std::vector<std::uint8_t>& b, const sockaddr_in& to) {
            ::sendto(fd, b.data(), b.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        };
        if (fault != UdpFault::Drop && n >= 3 && buffer[0] == 0x88) {
            const std::vector<std::uint8_t> r = answer(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)));
            if (held) {
                sendTo(fd_, held->second, held->first);
                held.reset();
            }
            if (!r.empty()) {
                if (fault == UdpFault::Foreign) {
                    std::vector<std::uint8_t> wrong = r;
                    wrong.resize(std::max<std::size_t>(wrong.size(), 7), 0);
                    wrong[3] = 0x11; // a status word that would move the picture
                    sendTo(foreign_, wrong, from);
                }
                if (fault == UdpFault::Late)
                    held.emplace(from, r);
                else
                    sendTo(fd_, r, from);
                if (fault == UdpFault::Duplicate)
                    sendTo(fd_, r, from);
            }
        }
        {
            std::lock_guard lock(mutex_);
            ++count_;
        }
        handled_.notify_all();
    }
}

} // namespace qv::device::virtual_panel
