#pragma once
// Header-only so that every test program using serial ports can include it.
// A pseudo-terminal pair standing in for a serial cable: the port under test opens the
// terminal side through the COM map, the test plays the far end on the controlling side.
#include "platform/serial/com_port.h"
#include "platform/serial/com_resolver.h"
#include "tests/fixtures/no_com_ports.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace qv::test {

class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& path() const { return path_; } // the terminal side, as the port opens it
    int peer() const { return master_; }              // the far end
    int terminal() const { return slave_; }           // a second handle on the port's terminal

    void send(const std::vector<unsigned char>& bytes) const;
    // Reads exactly `count` bytes from the far end, or fewer when `timeout` passes first.
    std::vector<unsigned char> receive(std::size_t count, std::chrono::milliseconds timeout) const;
    void hangUp(); // closes the far end

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// Points COM numbers at devices for this process: {{3, "/dev/pts/7"}, ...}.
void mapComPorts(const std::vector<std::pair<int, std::string>>& map);

// Records what a port's monitor hands its owner, and lets a test wait for it.
class RecordingOwner : public CComPortOwner, public SerialByteSink {
public:
    void OnPortByte(unsigned char byte, int port) override;
    void OnPortNotice(PortNotice notice, int port) override;
    void OnPortLost(int port, const std::string& reason) override;
    int OnSerialByte(unsigned char byte, int port) override;

    // Waits until `done` holds (checked under the lock) or `timeout` passes.
    bool waitUntil(const std::function<bool(const RecordingOwner&)>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Read these only inside waitUntil's predicate or after the port is closed.
    std::vector<unsigned char> ownerBytes, sinkBytes;
    std::vector<PortNotice> notices;
    std::vector<int> ports;
    std::string lostReason;
    int lostCount = 0;

private:
    void changed(const std::function<void()>& update);
    std::mutex mutex_;
    std::condition_variable cv_;
};

// ---- definitions ----

inline PtyPeer::PtyPeer()
{
    // Raw from the start, as a cable is: with the default cooked line, bytes that reach the
    // terminal before its opener sets it up are echoed back and 0x03 flushes the input.
    termios raw{};
    ::cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

inline PtyPeer::~PtyPeer()
{
    hangUp();
    if (slave_ >= 0)
        ::close(slave_);
}

inline void PtyPeer::hangUp()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

inline void PtyPeer::send(const std::vector<unsigned char>& bytes) const
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

inline std::vector<unsigned char> PtyPeer::receive(std::size_t count, std::chrono::milliseconds timeout) const
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

inline void mapComPorts(const std::vector<std::pair<int, std::string>>& map)
{
    std::string text;
    for (const auto& [number, path] : map)
        text += std::to_string(number) + "=" + path + ";";
    ::setenv(kComMapEnv, text.c_str(), 1);
}

inline void RecordingOwner::changed(const std::function<void()>& update)
{
    {
        std::lock_guard lock(mutex_);
        update();
    }
    cv_.notify_all();
}

inline void RecordingOwner::OnPortByte(unsigned char byte, int port)
{
    changed([&] {
        ownerBytes.push_back(byte);
        ports.push_back(port);
    });
}

inline void RecordingOwner::OnPortNotice(PortNotice notice, int) { changed([&] { notices.push_back(notice); }); }

inline void RecordingOwner::OnPortLost(int, const std::string& reason)
{
    changed([&] {
        lostReason = reason;
        ++lostCount;
    });
}

inline int RecordingOwner::OnSerialByte(unsigned char byte, int)
{
    changed([&] { sinkBytes.push_back(byte); });
    return 0;
}

inline bool RecordingOwner::waitUntil(const std::function<bool(const RecordingOwner&)>& done, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [&] { return done(*this); });
}

} // namespace qv::test
