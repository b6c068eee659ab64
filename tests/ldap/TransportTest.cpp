// The transport: framing fed from memory; then, against a scripted peer,
// read-ahead across messages, the ends of a connection, the end request,
// sending, connecting.
#include "ldap/OrnAlloc.h"
#include "ldap/OrnCodes.h"
#include "ldap/OrnSocket.h"
#include "ldap/OrnState.h"
#include "tests/ldap/LiveHeap.h"
#include "tests/support/FakeLdapServer.h"
#include "tests/support/UnansweredPort.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using Fake = FakeLdapServer;
using Clock = std::chrono::steady_clock;

namespace {

// An OrnSocket connected to a port, and the receive thread on it once started.
class Receiver {
public:
    explicit Receiver(uint16_t port)
    {
        EXPECT_EQ(socket.OrnConnect("127.0.0.1", port), 0);
        wake.create();
    }
    ~Receiver()
    {
        wake.signal();
        if (thread_.joinable())
            thread_.join();
        takeQueued();
    }
    void start()
    {
        thread_ = std::thread([this] { exit_.set_value(OrnSocket::OrnRecvThread(&params)); });
    }
    bool endsWithin(std::chrono::milliseconds timeout) { return ended_.wait_for(timeout) == std::future_status::ready; }
    int32_t exitCode() { return ended_.get(); }

    // Everything queued once count packets are there, the thread has ended or time is up.
    std::vector<Bytes> packets(size_t count, std::chrono::milliseconds timeout = 10s)
    {
        for (auto deadline = Clock::now() + timeout; taken_.size() < count && Clock::now() < deadline;) {
            bool over = endsWithin(0ms);
            takeQueued();
            if (over)
                break;
            std::this_thread::sleep_for(1ms);
        }
        takeQueued();
        return taken_;
    }

    OrnSocket socket;
    OrnWakeDescriptor wake;
    OrnEvent readEvent;
    OrnQueue<RecvPacket> queue;
    RecvThreadParams params { &wake, &readEvent, &queue, &socket };

private:
    void takeQueued()
    {
        queue.drain([this](RecvPacket* packet) {
            taken_.emplace_back(packet->data, packet->data + packet->size);
            ornFree(packet->data);
            ornFree(packet);
        });
    }

    std::vector<Bytes> taken_;
    std::promise<int32_t> exit_;
    std::shared_future<int32_t> ended_ = exit_.get_future().share();
    std::thread thread_;
};

// 30, a minimal definite length, size content octets counting up from first.
Bytes message(size_t size, uint8_t first = 0)
{
    return element(0x30, pattern(size, first));
}

// A loopback listener whose one connection the test reads and writes itself.
class RawPeer {
public:
    explicit RawPeer(int family = AF_INET, int receiveBuffer = 0)
    {
        sockaddr_in6 in6 {};
        sockaddr_in in4 {};
        in6.sin6_family = AF_INET6;
        in6.sin6_addr = in6addr_loopback;
        in4.sin_family = AF_INET;
        in4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        auto* address = family == AF_INET6 ? reinterpret_cast<sockaddr*>(&in6) : reinterpret_cast<sockaddr*>(&in4);
        socklen_t size = family == AF_INET6 ? sizeof in6 : sizeof in4;
        listener_ = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBuffer > 0) // inherited by the accepted connection
            ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        if (::bind(listener_, address, size) == 0 && ::listen(listener_, 1) == 0
            && ::getsockname(listener_, address, &size) == 0)
            port_ = ntohs(family == AF_INET6 ? in6.sin6_port : in4.sin_port);
    }
    ~RawPeer()
    {
        ::close(connection_);
        ::close(listener_);
    }
    uint16_t port() const { return port_; }
    bool accept() { return (connection_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; }
    bool send(const Bytes& bytes) { return ::send(connection_, bytes.data(), bytes.size(), 0) == ssize_t(bytes.size()); }
    Bytes read(size_t count)
    {
        Bytes bytes(count);
        size_t got = 0;
        for (ssize_t n = 1; got < count && n > 0; got += n > 0 ? size_t(n) : 0)
            n = ::recv(connection_, bytes.data() + got, count - got, 0);
        bytes.resize(got);
        return bytes;
    }

private:
    int listener_ = -1;
    int connection_ = -1;
    uint16_t port_ = 0;
};

class Transport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetLibraryState();
        ornFailAllocationAt(-1);
    }
    // Later suites expect a running thread's state, not the ended one left here.
    void TearDown() override
    {
        ornFailAllocationAt(-1);
        ResetLibraryState();
    }
};

// Feeds a stage the stream in pieces that end at the cuts, as reads would
// bring them (never more than the room offered), and takes every message
// framed. After the last piece the stage wants more and holds nothing.
std::vector<Bytes> framed(const Bytes& wire, const std::vector<size_t>& cuts)
{
    RecvStage stage;
    EXPECT_TRUE(stage.ok());
    std::vector<Bytes> packets;
    size_t from = 0;
    for (size_t cut : cuts) {
        while (from < cut) {
            uint32_t room = 0;
            uint8_t* into = stage.space(&room);
            if (into == nullptr || room == 0) {
                ADD_FAILURE() << "no room at " << from;
                return packets;
            }
            const size_t count = std::min<size_t>(room, cut - from);
            std::copy_n(wire.begin() + long(from), count, into);
            stage.arrived(uint32_t(count));
            from += count;
            uint8_t* data = nullptr;
            uint32_t size = 0;
            BerNext next;
            while ((next = stage.next(&data, &size)) == BerNext::Message) {
                packets.emplace_back(data, data + size);
                ornFree(data);
            }
            EXPECT_EQ(next, BerNext::NeedMore);
        }
    }
    EXPECT_FALSE(stage.partial());
    return packets;
}

// Every header form, each message followed by an element without contents
// (which is dropped; the indefinite form reads as one), fed whole, cut in
// two at every offset, and byte by byte.
TEST(TransportFraming, WholeSplitAtEveryOffsetAndByteByByte)
{
    const std::vector<Bytes> packets = { hex("30 05 02 01 05 0a 00"), message(256), hex("30 81 03 01 02 03"),
        hex("30 84 00 00 00 05 01 02 03 04 05"), hex("61 02 0a 00"), hex("7f 81 02 02 0a 00") };
    const Bytes empty[] = { hex("30 00"), hex("30 80"), hex("30 82 00 00") };
    Bytes wire;
    for (size_t i = 0; i < packets.size(); ++i)
        wire = wire + packets[i] + empty[i % 3];
    for (const std::vector<size_t>& cuts : piecewise(wire.size())) {
        SCOPED_TRACE("cut at " + ::testing::PrintToString(cuts));
        std::vector<Bytes> got = framed(wire, cuts);
        EXPECT_TRUE(got == packets) << got.size() << " packets";
    }
    // The rest of a message larger than the staging area goes straight into
    // its block, in pieces of any size.
    const std::vector<Bytes> large = { message(3 * RecvStage::kSize), packets[0] };
    wire = large[0] + large[1];
    for (size_t piece : { size_t(1), size_t(4093), wire.size() }) {
        std::vector<size_t> cuts;
        for (size_t cut = piece; cut < wire.size(); cut += piece)
            cuts.push_back(cut);
        cuts.push_back(wire.size());
        EXPECT_TRUE(framed(wire, cuts) == large) << "pieces of " << piece;
    }
}

// Many messages of every header form back to back in one stream, so the
// read-ahead buffer's edge falls inside headers and contents alike; then
// messages larger than that buffer, which grow their own.
TEST_F(Transport, ManyMessagesInOneStreamAndLargeOnes)
{
    std::vector<Bytes> messages;
    Bytes stream;
    for (size_t i = 0; i < 1500; ++i) {
        size_t size = (i * 37) % 400;
        if (size == 0)
            continue; // dropped, as the framing test shows
        messages.push_back(message(size, static_cast<uint8_t>(i)));
        stream.insert(stream.end(), messages.back().begin(), messages.back().end());
    }
    for (size_t size : { 64u * 1024 - 4, 64u * 1024, 200u * 1024 + 3, 3u * 1024 * 1024 }) {
        messages.push_back(message(size, static_cast<uint8_t>(size)));
        stream.insert(stream.end(), messages.back().begin(), messages.back().end());
    }
    ASSERT_GT(stream.size(), 3u * 64 * 1024);

    Fake server({ Fake::send(stream), Fake::sendSplit(stream, { 1, 70000, 70001, 300000 }, 5ms), Fake::hold() });
    Receiver receiver(server.port());
    receiver.start();
    std::vector<Bytes> got = receiver.packets(2 * messages.size());
    ASSERT_EQ(got.size(), 2 * messages.size());
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_TRUE(got[i] == messages[i % messages.size()]) << "packet " << i << " of " << got[i].size() << " octets";
    EXPECT_EQ(ErrorNo, 0);
}

// However the connection ends, by the peer or by a length the thread
// refuses (more than four length octets, or a message too large for its
// 32-bit size), what arrived whole before is queued and the thread ends with
// ORN_RECIEVING_ERROR.
TEST_F(Transport, ConnectionEnds)
{
    const Bytes m = hex("30 03 02 01 09");
    struct Case {
        std::string name;
        Fake::Script script;
        std::vector<Bytes> queued;
        bool foundWaitingOnly = false;
    };
    std::vector<Case> cases = {
        { "close", { Fake::close() }, {} },
        { "data and close together", { Fake::send(m + m), Fake::close() }, { m, m } },
        { "close inside a header", { Fake::send(m + hex("30 84 00")), Fake::close() }, { m } },
        { "close inside a content", { Fake::send(m + hex("30 05 01 02")), Fake::close() }, { m } },
        { "reset after data", { Fake::send(m), Fake::reset() }, { m } },
        { "five length octets", { Fake::send(m + hex("30 85 00 00 00 00 01 ff")), Fake::hold() }, { m } },
        { "size beyond 32 bits", { Fake::send(m + hex("30 84 ff ff ff fa 00")), Fake::hold() }, { m } },
        { "all-ones length", { Fake::send(m + hex("30 84 ff ff ff ff 00")), Fake::hold() }, { m } },
    };
    // A filler message ends the first read at every offset of the tail; the
    // rest of the tail comes with the close.
    const Bytes longForm = hex("30 81 03 01 02 03");
    const Bytes tail = m + longForm + hex("30 00") + m;
    for (size_t cut = 1; cut < tail.size(); ++cut) {
        Bytes filler = message(RecvStage::kSize - cut - 4);
        cases.push_back({ "tail cut at " + std::to_string(cut), { Fake::send(filler + tail), Fake::close() },
            { filler, m, longForm, m }, true });
    }
    // Started after the script has run, the thread finds the data and the
    // end waiting together; started before, it is idle when they come.
    for (bool late : { true, false }) {
        for (const Case& c : cases) {
            if (c.foundWaitingOnly && !late)
                continue;
            SCOPED_TRACE(c.name + (late ? ", found waiting" : ", while waiting"));
            ResetLibraryState();
            Fake server(c.script);
            Receiver receiver(server.port());
            if (!late)
                receiver.start();
            ASSERT_TRUE(server.waitForScriptEnd(2s));
            if (late) {
                std::this_thread::sleep_for(20ms);
                receiver.start();
            }
            ASSERT_TRUE(receiver.endsWithin(2s));
            EXPECT_EQ(receiver.exitCode(), ORN_RECIEVING_ERROR);
            EXPECT_EQ(ErrorNo, ORN_RECIEVING_ERROR);
            std::vector<Bytes> got = receiver.packets(c.queued.size());
            EXPECT_TRUE(got == c.queued) << got.size() << " packets";
            EXPECT_TRUE(IsRecvThreadExited());
            EXPECT_TRUE(receiver.readEvent.isSet());
            EXPECT_EQ(receiver.socket.connected(), c.script.back().kind == Fake::Step::Kind::Hold);
            // Sending now finds the thread gone: nothing sent, no error.
            EXPECT_EQ(receiver.socket.OrnSendData(5, m.data()), 0u);
            EXPECT_EQ(ErrorNo, 0);
        }
    }
}

// The largest length whose message size still fits 32 bits is accepted, and
// its buffer grows with what arrives rather than with what was announced.
TEST_F(Transport, HostileLengthAllocatesWhatArrives)
{
    const Bytes header = hex("30 84 ff ff ff f9");
    Bytes content(1024 * 1024, 0x5a);
    Fake server({ Fake::send(header + content), Fake::hold() });
    Receiver receiver(server.port());
    size_t before = heapInUse();
    receiver.start();
    // Until the megabyte has been read into the message's buffer.
    auto deadline = Clock::now() + 5s;
    while (heapInUse() < before + content.size() && Clock::now() < deadline)
        std::this_thread::sleep_for(2ms);
    std::this_thread::sleep_for(20ms);
    size_t used = heapInUse() - before;
    EXPECT_GE(used, content.size());
    // Twice what arrived, and the old block while a realloc copies.
    EXPECT_LT(used, 3 * content.size() + 512 * 1024);
    EXPECT_FALSE(receiver.endsWithin(0ms));

    receiver.wake.signal();
    ASSERT_TRUE(receiver.endsWithin(1s));
    EXPECT_EQ(receiver.exitCode(), 0);
    EXPECT_EQ(ErrorNo, 0);
    EXPECT_TRUE(receiver.packets(0).empty());
}

// The end request is heard in the main wait and inside a message alike.
TEST_F(Transport, EndRequestIsHeardAtOnce)
{
    const char* partial[] = { "", "30", "30 84 00 00", "30 05 01 02", "30 01 01 30 82 01" };
    for (const char* bytes : partial) {
        SCOPED_TRACE(bytes);
        ResetLibraryState();
        Fake server({ Fake::send(hex(bytes)), Fake::hold() });
        Receiver receiver(server.port());
        receiver.start();
        ASSERT_TRUE(server.waitForScriptEnd(2s));
        std::this_thread::sleep_for(30ms);
        ASSERT_FALSE(receiver.endsWithin(0ms));

        receiver.wake.signal();
        ASSERT_TRUE(receiver.endsWithin(10s)) << "the thread kept waiting for the rest of the message";
        EXPECT_EQ(receiver.exitCode(), 0);
        EXPECT_EQ(ErrorNo, 0);
        EXPECT_TRUE(IsRecvThreadExited());
        EXPECT_TRUE(receiver.readEvent.isSet());
    }
}

// Each allocation in turn fails (the staging area, the message's block, its
// growth for staged bytes and for bytes read straight in, the record) until
// the message gets through: each failure ends the thread, which keeps none
// of what it had allocated.
TEST_F(Transport, AllocationFailureAtEachStep)
{
    const struct {
        Bytes message;
        long allocations; // at least
    } cases[] = {
        { hex("30 03 02 01 09"), 3 },
        { message(3 * RecvStage::kSize), 4 }, // larger than one read
    };
    for (const auto& c : cases) {
        for (long failing = 0;; ++failing) {
            SCOPED_TRACE(std::to_string(c.message.size()) + " octets, allocation " + std::to_string(failing));
            ASSERT_LT(failing, 20);
            ResetLibraryState();
            Fake server({ Fake::send(c.message), Fake::hold() });
            Receiver receiver(server.port());
            size_t before = heapInUse();
            ornFailAllocationAt(failing);
            receiver.start();
            std::vector<Bytes> got = receiver.packets(1, 2s);
            ornFailAllocationAt(-1);
            if (!got.empty()) {
                EXPECT_TRUE(got[0] == c.message);
                EXPECT_GE(failing, c.allocations);
                break;
            }
            ASSERT_TRUE(receiver.endsWithin(2s));
            EXPECT_EQ(receiver.exitCode(), MALLOC_ERROR);
            EXPECT_EQ(ErrorNo, MALLOC_ERROR);
            EXPECT_LE(heapInUse(), before + 4096);
        }
    }
}

TEST_F(Transport, BadThreadParameters)
{
    Fake server({ Fake::hold() });
    Receiver receiver(server.port());
    OrnSocket unconnected;
    RecvThreadParams good = receiver.params;
    RecvThreadParams cases[] = { good, good, good, good, good };
    cases[0].CloseThreadEventObject = nullptr;
    cases[1].SockReadEventObject = nullptr;
    cases[2].SockRecvQueue = nullptr;
    cases[3].socket = nullptr;
    cases[4].socket = &unconnected;
    EXPECT_EQ(OrnSocket::OrnRecvThread(nullptr), INVALID_INPUT);
    for (RecvThreadParams& params : cases) {
        ResetLibraryState();
        receiver.readEvent.reset();
        EXPECT_EQ(OrnSocket::OrnRecvThread(&params), INVALID_INPUT);
        EXPECT_EQ(ErrorNo, INVALID_INPUT);
        EXPECT_TRUE(IsRecvThreadExited());
        EXPECT_EQ(receiver.readEvent.isSet(), params.SockReadEventObject != nullptr);
    }
}

// A peer that does not read at first: the sender waits for room and goes on,
// and the receive thread meanwhile still hears the peer.
TEST_F(Transport, SendWaitsForRoomAndGoesOn)
{
    RawPeer peer(AF_INET, 16 * 1024);
    Receiver receiver(peer.port());
    ASSERT_TRUE(peer.accept());
    receiver.start();

    Bytes request(16 * 1024 * 1024);
    for (size_t i = 0; i < request.size(); ++i)
        request[i] = static_cast<uint8_t>(i * 7 + i / 251);
    std::atomic<bool> sent { false };
    uint32_t count = 0;
    std::thread sender([&] {
        count = receiver.socket.OrnSendData(static_cast<uint32_t>(request.size()), request.data());
        sent = true;
    });

    const Bytes answer = hex("30 03 02 01 07");
    ASSERT_TRUE(peer.send(answer));
    std::vector<Bytes> got = receiver.packets(1, 2s);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(toHex(got[0]), toHex(answer));
    EXPECT_FALSE(sent) << "the peer's buffers held the whole request";

    Bytes arrived = peer.read(request.size());
    sender.join();
    EXPECT_EQ(count, request.size());
    EXPECT_TRUE(arrived == request);
    EXPECT_EQ(ErrorNo, 0);
}

TEST_F(Transport, Connect)
{
    uint16_t closedPort = RawPeer().port();
    const struct {
        const char* host;
        int family; // of the listener; 0: none
        int32_t result;
    } cases[] = {
        { "127.0.0.1", AF_INET, 0 },
        { "localhost", AF_INET, 0 },
        { "::1", AF_INET6, 0 },
        { "127.0.0.1", 0, SOCKET_CONNECTION_ERROR },
        { "no-such-host.invalid", 0, ORN_SOCKET_ERROR },
        { nullptr, 0, INVALID_INPUT },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host ? c.host : "no host");
        auto peer = std::make_unique<RawPeer>(c.family ? c.family : AF_INET);
        if (c.family == 0)
            peer.reset(); // lest it take the closed port
        else if (peer->port() == 0)
            continue; // no IPv6 on this machine's loopback
        OrnSocket socket;
        ASSERT_EQ(socket.OrnInitialiseSocket(), 0);
        // Only the low 16 bits are the port.
        ASSERT_EQ(socket.OrnConnect(c.host, 0x10000u | (peer ? peer->port() : closedPort)), c.result);
        EXPECT_EQ(socket.connected(), c.result == 0);
        if (c.result != 0)
            continue;
        ASSERT_TRUE(peer->accept());
        const Bytes request = hex("30 05 02 01 01 42 00");
        EXPECT_EQ(socket.OrnSendData(static_cast<uint32_t>(request.size()), request.data()), request.size());
        EXPECT_EQ(toHex(peer->read(request.size())), toHex(request));
        EXPECT_EQ(socket.OrnDisconnect(), 0);
        EXPECT_FALSE(socket.connected());
    }
}

TEST_F(Transport, ConnectGivesUpOnAHostThatNeverAnswers)
{
    UnansweredPort silent;
    ASSERT_NE(silent.port(), 0);
    OrnSocket socket;
    ASSERT_EQ(socket.OrnInitialiseSocket(), 0);
    EXPECT_EQ(socket.OrnConnect("127.0.0.1", silent.port(), 300), ORN_CONNECT_TIMED_OUT);
    EXPECT_FALSE(socket.connected());
}

} // namespace
