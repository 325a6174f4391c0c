// Serial bytes through a real pseudo-terminal: what a peer writes reaches the program's
// serial interrupt as (COMNUM, SBUF) pairs in order, and the program's printed text reaches
// the peer.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "sim/services/com_port_text.h"
#include "tests/platform/serial_pty_fixture.h"
#include "tests/sim/panel_services_fixture.h"

namespace qv::sim::test {
namespace {

// The receive path of one port into the ring, as the simulator's serial dispatch does it.
class RingOwner : public CComPortOwner {
public:
    explicit RingOwner(SerialRxRing& ring) : ring_(ring) {}
    void OnPortByte(unsigned char byte, int) override { ring_.push(1, byte); }

private:
    SerialRxRing& ring_;
};

TEST(PanelSerial, PeerBytesReachTheHandlerAndPrintedTextReachesThePeer)
{
    qv::test::PtyPeer peer;
    qv::test::mapComPorts({{1, peer.path()}});
    PanelFixture f;
    RingOwner owner(f.services.ring());
    CComPort port;
    port.SetDeliverToApplication(false);
    ASSERT_TRUE(port.InitPort(&owner, 1, 9600, 'N', 8, 1, CommEvent::RxChar, 4096)) << port.LastErrorText();
    ASSERT_TRUE(port.StartMonitoring());
    ComPortTextPorts text(&port, nullptr);
    f.services.state().context.textPorts = &text;

    ASSERT_NO_FATAL_FAILURE(f.load(std::string(kSerialRecorder) + R"(
void main(void)
{
    const char *reply = "got 5";
    count = 0;
    EA = 1; ES = 1;
    while (count < 5) {}
    ES = 0;
    M8(0x2000) = count;
    while (*reply) { CmdAdr1 = *reply++; CALL(5); }
    DONE();
}
)"));
    ASSERT_TRUE(f.runner.start());
    peer.send({'h', 'e', 'l', 'l', 'o'});
    const auto reply = peer.receive(5, std::chrono::seconds(10));
    f.runner.stop();
    port.ClosePort();
    EXPECT_EQ(std::string(reply.begin(), reply.end()), "got 5");
    EXPECT_EQ(f.live->byteAt(0x2000), 5);
    const char sent[] = "hello";
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f.live->byteAt(static_cast<std::uint16_t>(0x3000 + 2 * i)), 1) << "COMNUM";
        EXPECT_EQ(f.live->byteAt(static_cast<std::uint16_t>(0x3001 + 2 * i)), sent[i]) << "SBUF";
    }
}

} // namespace
} // namespace qv::sim::test
