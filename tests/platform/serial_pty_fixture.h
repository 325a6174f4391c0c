#pragma once
// A pseudo-terminal pair standing in for a serial cable: the port under test opens the
// terminal side through the COM map, the test plays the far end on the controlling side.
#include "platform/serial/com_port.h"

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

} // namespace qv::test
