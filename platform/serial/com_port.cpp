#include "platform/serial/com_port.h"

#include "platform/serial/com_resolver.h"
#include "platform/serial/line_settings.h"
#include "platform/text/system_error.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fmt/format.h>
#include <grp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace qv {
namespace {

std::atomic<SerialByteSink*> g_appSink{nullptr};

// Bytes read per system call; the stop request is looked at between chunks, so a flood
// of input never holds the monitor longer than one chunk's delivery.
constexpr std::size_t kReadChunk = 256;
// A pass ends after this much input so that queued writes and the stop get their turn.
constexpr std::size_t kReadPerPass = 4096;
// Writes waiting beyond this many write buffers mean the line is not draining.
constexpr std::size_t kQueuedBuffers = 16;

// The notices sent after every receive pass, in this order, when the mask holds them.
struct NoticeForEvent {
    std::uint32_t event;
    PortNotice notice;
};
constexpr std::array kNotices{
    NoticeForEvent{CommEvent::Cts, PortNotice::Cts},     NoticeForEvent{CommEvent::Break, PortNotice::Break},
    NoticeForEvent{CommEvent::Err, PortNotice::Err},     NoticeForEvent{CommEvent::Ring, PortNotice::Ring},
    NoticeForEvent{CommEvent::RxFlag, PortNotice::RxFlag},
};

void closeIfOpen(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void signalEventFd(int fd)
{
    const std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void drainEventFd(int fd)
{
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

std::string groupHint(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    if (const group* g = ::getgrgid(st.st_gid))
        return fmt::format(fmt::runtime(utf8Chars(u8"（设备属于用户组“{}”，请把用户加入该组后重新登录）")), g->gr_name);
    return {};
}

PortError errorOfOpen(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return PortError::Missing;
    case EBUSY:
    case EWOULDBLOCK:
        return PortError::Busy;
    case EACCES:
    case EPERM:
        return PortError::NoPermission;
    default:
        return PortError::Other;
    }
}

} // namespace

void SetApplicationByteSink(SerialByteSink* sink) { g_appSink.store(sink); }
SerialByteSink* ApplicationByteSink() { return g_appSink.load(); }

CComPort::CComPort() = default;

CComPort::~CComPort() { ClosePort(); }

bool CComPort::Fail(PortError error, std::string text)
{
    CloseDescriptors();
    m_lastError = error;
    m_strLastError = fmt::format(fmt::runtime(utf8Chars(u8"COM{}：{}")), m_nPortNr, text);
    return false;
}

bool CComPort::InitPort(CComPortOwner* owner, int port, int baud, char parity, int dataBits, int stopBits,
                        std::uint32_t eventMask, int writeBufferSize)
{
    ClosePort();
    m_pOwner = owner;
    m_nPortNr = port;
    m_dwCommEvents = eventMask;
    m_nWriteBufferSize = writeBufferSize > 0 ? static_cast<std::size_t>(writeBufferSize) : 0;
    m_strDevice.clear();
    m_lastError = PortError::None;
    m_strLastError.clear();
    if (writeBufferSize <= 0)
        return Fail(PortError::BadSettings, fmt::format(fmt::runtime(utf8Chars(u8"写缓冲区大小{}无效")), writeBufferSize));

    std::string why;
    const auto device = ResolveComPort(port, &why);
    if (!device)
        return Fail(PortError::NotMapped, why);
    m_strDevice = device->path.string();

    const int fd = ::open(m_strDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        const PortError kind = errorOfOpen(err);
        return Fail(kind, fmt::format(fmt::runtime(utf8Chars(u8"无法打开 {}：{}{}")), m_strDevice, systemErrorText(err),
                                      kind == PortError::NoPermission ? groupHint(m_strDevice) : std::string()));
    }
    int stopFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    int writeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    {
        std::lock_guard lock(m_lock);
        m_fd = fd;
        m_stopFd = stopFd;
        m_writeFd = writeFd;
    }
    if (stopFd < 0 || writeFd < 0)
        return Fail(PortError::Other, fmt::format(fmt::runtime(utf8Chars(u8"无法创建串口监视事件：{}")), systemErrorText(errno)));
    if (!::isatty(fd))
        return Fail(PortError::NotSerial, fmt::format(fmt::runtime(utf8Chars(u8"{} 不是串口设备")), m_strDevice));

    // The advisory lock keeps out other users that lock too, whoever they run as; the
    // terminal's own exclusive mode keeps out everyone else but the superuser.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        return Fail(errorOfOpen(err), fmt::format(fmt::runtime(utf8Chars(u8"{} 正被其他程序使用")), m_strDevice));
    }
    ::ioctl(fd, TIOCEXCL);

    std::string error;
    if (!ApplyLineSettings(fd, LineSettings{baud, parity, dataBits, stopBits}, error))
        return Fail(PortError::BadSettings, fmt::format(fmt::runtime(utf8Chars(u8"{}：{}")), m_strDevice, error));
    int lines = TIOCM_RTS | TIOCM_DTR;
    ::ioctl(fd, TIOCMBIS, &lines); // a pseudo-terminal has no modem lines: not an error
    ::tcflush(fd, TCIOFLUSH);
    return true;
}

bool CComPort::StartMonitoring()
{
    if (!IsOpen())
        return false;
    if (m_bThreadAlive.load())
        return true;
    if (m_thread.joinable())
        m_thread.join(); // an earlier monitor that ended after losing the device
    // Input that came while nobody listened is stale; dropped here, before the caller
    // goes on, so nothing sent after this call returns can be lost.
    ::tcflush(m_fd, TCIFLUSH);
    m_bStopRequested.store(false);
    m_bThreadAlive.store(true);
    try {
        m_thread = std::thread([this] { MonitorThread(); });
    } catch (const std::system_error& e) {
        m_bThreadAlive.store(false);
        m_lastError = PortError::Other;
        m_strLastError = fmt::format(fmt::runtime(utf8Chars(u8"COM{}：无法启动串口监视线程：{}")), m_nPortNr, e.what());
        return false;
    }
    return true;
}

WriteResult CComPort::WriteToPort(const unsigned char* bytes, int length, WriteInput input)
{
    std::lock_guard lock(m_lock);
    if (m_fd < 0)
        return WriteResult::NotOpen;
    if (length < 0 || static_cast<std::size_t>(length) > m_nWriteBufferSize)
        return WriteResult::TooLong;
    if (m_queuedBytes + static_cast<std::size_t>(length) > kQueuedBuffers * m_nWriteBufferSize)
        return WriteResult::QueueFull;
    if (length == 0)
        return WriteResult::Queued;
    m_writes.push_back(PendingWrite{std::vector<unsigned char>(bytes, bytes + length), input});
    m_queuedBytes += static_cast<std::size_t>(length);
    signalEventFd(m_writeFd);
    return WriteResult::Queued;
}

void CComPort::ClosePort()
{
    if (m_thread.joinable()) {
        if (m_thread.get_id() == std::this_thread::get_id()) {
            // Called from the monitor's own callback: it cannot wait for itself. The monitor
            // stops after the callback; the owner's GUI-thread close finishes the job.
            m_bStopRequested.store(true);
            return;
        }
        m_bStopRequested.store(true);
        {
            std::lock_guard lock(m_lock);
            if (m_stopFd >= 0)
                signalEventFd(m_stopFd);
        }
        m_thread.join();
    }
    CloseDescriptors();
}

void CComPort::CloseDescriptors()
{
    std::lock_guard lock(m_lock);
    if (m_fd >= 0) {
        ::ioctl(m_fd, TIOCNXCL);
        ::tcflush(m_fd, TCIOFLUSH);
    }
    closeIfOpen(m_fd);
    closeIfOpen(m_stopFd);
    closeIfOpen(m_writeFd);
    m_writes.clear();
    m_queuedBytes = 0;
    m_hasCurrent = false;
    m_currentSent = 0;
}

bool CComPort::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_fd >= 0;
}

bool CComPort::IsMonitoring() const { return m_bThreadAlive.load(); }

void CComPort::MonitorThread()
{
    std::string lostReason;
    bool blocked = false; // the line took less than offered: wait until it can take more
    bool lost = false;

    while (!lost && !m_bStopRequested.load()) {
        std::array<pollfd, 3> fds{{
            {m_stopFd, POLLIN, 0},
            {m_writeFd, POLLIN, 0},
            {m_fd, static_cast<short>(((m_dwCommEvents & CommEvent::RxChar) ? POLLIN : 0) | (blocked ? POLLOUT : 0)), 0},
        }};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            lostReason = fmt::format(fmt::runtime(utf8Chars(u8"等待串口失败：{}")), systemErrorText(errno));
            lost = true;
            break;
        }
        if (fds[0].revents != 0)
            break;
        const short port = fds[2].revents;
        if (port & POLLNVAL) {
            lostReason = utf8Chars(u8"设备在监视时被关闭");
            lost = true;
            break;
        }
        if (port & (POLLIN | POLLERR | POLLHUP)) {
            const PassEnd end = (port & POLLIN) ? ReceivePass(lostReason) : PassEnd::Lost;
            if (end == PassEnd::Lost) {
                if (lostReason.empty())
                    lostReason = utf8Chars(u8"设备已断开");
                lost = true;
                break;
            }
            if (end == PassEnd::Stop)
                break;
        }
        if (fds[1].revents != 0)
            drainEventFd(m_writeFd);
        if (fds[1].revents != 0 || (port & POLLOUT) || !blocked) {
            blocked = false;
            const PassEnd end = SendPending(lostReason, blocked);
            if (end == PassEnd::Lost)
                lost = true;
        }
    }

    // Report, then signal: whoever sees the monitor gone must also find its report posted.
    if (lost && m_pOwner)
        m_pOwner->OnPortLost(m_nPortNr, fmt::format(fmt::runtime(utf8Chars(u8"COM{} ({})：{}")), m_nPortNr, m_strDevice, lostReason));
    m_bThreadAlive.store(false);
}

CComPort::PassEnd CComPort::ReceivePass(std::string& lostReason)
{
    std::array<unsigned char, kReadChunk> buf{};
    std::size_t total = 0;
    PassEnd end = PassEnd::Drained;
    while (total < kReadPerPass) {
        if (m_bStopRequested.load()) {
            end = PassEnd::Stop;
            break;
        }
        const ssize_t n = ::read(m_fd, buf.data(), buf.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            lostReason = n == 0 ? std::string(utf8Chars(u8"设备已断开"))
                                : fmt::format(fmt::runtime(utf8Chars(u8"读取失败：{}")), systemErrorText(errno));
            end = PassEnd::Lost;
            break;
        }
        // Taken after each read, so bytes that arrive after the switch follow it.
        SerialByteSink* sink = m_bDeliverToApp.load() ? g_appSink.load() : nullptr;
        for (ssize_t i = 0; i < n; ++i) {
            if (m_pOwner)
                m_pOwner->OnPortByte(buf[static_cast<std::size_t>(i)], m_nPortNr);
            if (sink)
                sink->OnSerialByte(buf[static_cast<std::size_t>(i)], m_nPortNr);
        }
        total += static_cast<std::size_t>(n);
    }
    if (total > 0)
        SendNotices();
    return end;
}

void CComPort::SendNotices()
{
    if (!m_pOwner)
        return;
    for (const auto& n : kNotices)
        if (m_dwCommEvents & n.event)
            m_pOwner->OnPortNotice(n.notice, m_nPortNr);
}

CComPort::PassEnd CComPort::SendPending(std::string& lostReason, bool& blocked)
{
    while (!m_bStopRequested.load()) {
        if (!m_hasCurrent) {
            std::lock_guard lock(m_lock);
            if (m_writes.empty())
                return PassEnd::Drained;
            m_current = std::move(m_writes.front());
            m_writes.pop_front();
            m_queuedBytes -= m_current.bytes.size();
            m_currentSent = 0;
            m_hasCurrent = true;
        }
        if (m_currentSent == 0 && m_current.input == WriteInput::Discard)
            ::tcflush(m_fd, TCIFLUSH);
        const ssize_t n = ::write(m_fd, m_current.bytes.data() + m_currentSent, m_current.bytes.size() - m_currentSent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            blocked = true;
            return PassEnd::Drained;
        }
        if (n < 0) {
            lostReason = fmt::format(fmt::runtime(utf8Chars(u8"写入失败：{}")), systemErrorText(errno));
            return PassEnd::Lost;
        }
        m_currentSent += static_cast<std::size_t>(n);
        if (m_currentSent == m_current.bytes.size())
            m_hasCurrent = false;
    }
    return PassEnd::Stop;
}

} // namespace qv
