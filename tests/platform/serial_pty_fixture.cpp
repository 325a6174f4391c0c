#include "serial_pty_fixture.h"

#include "platform/serial/com_resolver.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

namespace qv::test {

PtyPeer::PtyPeer()
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

PtyPeer::~PtyPeer()
{
    hangUp();
    if (slave_ >= 0)
        ::close(slave_);
}

void PtyPeer::hangUp()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PtyPeer::send(const std::vector<unsigned char>& bytes) const
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            throw std::runtime_error("writing to the far end failed");
        }
    }
}

std::vector<unsigned char> PtyPeer::receive(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::vector<unsigned char> got;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        unsigned char buf[512];
        const ssize_t n = ::read(master_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0)
            got.insert(got.end(), buf, buf + n);
    }
    return got;
}

void mapComPorts(const std::vector<std::pair<int, std::string>>& map)
{
    std::string text;
    for (const auto& [number, path] : map)
        text += std::to_string(number) + "=" + path + ";";
    ::setenv(kComMapEnv, text.c_str(), 1);
}

void RecordingOwner::changed(const std::function<void()>& update)
{
    {
        std::lock_guard lock(mutex_);
        update();
    }
    cv_.notify_all();
}

void RecordingOwner::OnPortByte(unsigned char byte, int port)
{
    changed([&] {
        ownerBytes.push_back(byte);
        ports.push_back(port);
    });
}

void RecordingOwner::OnPortNotice(PortNotice notice, int) { changed([&] { notices.push_back(notice); }); }

void RecordingOwner::OnPortLost(int, const std::string& reason)
{
    changed([&] {
        lostReason = reason;
        ++lostCount;
    });
}

int RecordingOwner::OnSerialByte(unsigned char byte, int)
{
    changed([&] { sinkBytes.push_back(byte); });
    return 0;
}

bool RecordingOwner::waitUntil(const std::function<bool(const RecordingOwner&)>& done, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [&] { return done(*this); });
}

} // namespace qv::test
