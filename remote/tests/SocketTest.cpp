// The socket transport against the instrument simulator on loopback.
#include "CClientSocket.h"
#include "InstrumentSimulator.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <vector>

using namespace std::chrono_literals;
using remote::CCESocket;
using remote::CClientSocket;

namespace {

// Collects the messages a socket posts to its owner, from the reader thread.
class MessageLog {
public:
    CClientSocket::Owner owner()
    {
        return [this](int message) {
            std::lock_guard lock(m_mutex);
            m_messages.push_back(message);
            m_changed.notify_all();
        };
    }
    int count(int message) const
    {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(std::count(m_messages.begin(), m_messages.end(), message));
    }
    bool waitFor(int message, int atLeast, std::chrono::milliseconds timeout = 3s)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] {
            return std::count(m_messages.begin(), m_messages.end(), message) >= atLeast;
        });
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_messages;
};

// A loopback port nothing listens on.
unsigned closedLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

// A loopback listener that never accepts, with its queue already full: connects to it hang.
class FullListener {
public:
    FullListener()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_listen, 0);
        socklen_t len = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
        m_first = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(m_first, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    ~FullListener()
    {
        ::close(m_first);
        ::close(m_listen);
    }
    unsigned port = 0;

private:
    int m_listen = -1;
    int m_first = -1;
};

class SocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start());
        socket.setOwner(log.owner());
        socket.setLineEnd(CCESocket::LineEndLf);
    }

    void connect()
    {
        ASSERT_TRUE(socket.create());
        ASSERT_TRUE(socket.connect(sim.port(), "127.0.0.1")) << socket.lastError();
        ASSERT_TRUE(sim.waitForClient(3s));
    }

    // Sends bytes from the instrument side and waits until the socket has queued all of them.
    void receive(const std::string& bytes)
    {
        const std::size_t queued = socket.queuedBytes();
        ASSERT_TRUE(sim.sendRaw(bytes));
        ASSERT_TRUE(log.waitFor(remote::kMsgSocketData, 1));
        for (int i = 0; i < 300 && socket.queuedBytes() < queued + bytes.size(); ++i)
            std::this_thread::sleep_for(10ms);
        ASSERT_EQ(socket.queuedBytes(), queued + bytes.size());
    }

    instrumentsim::InstrumentSimulator sim;
    MessageLog log;
    CClientSocket socket;
};

TEST_F(SocketTest, RefusesOperationsOutOfOrder)
{
    EXPECT_EQ(socket.sendLine("get1"), -1);
    EXPECT_EQ(socket.lastError(), remote::kErrNotConnected);
    EXPECT_FALSE(socket.connect(sim.port(), "127.0.0.1"));
    EXPECT_EQ(socket.lastError(), remote::kErrNotSocket);

    ASSERT_TRUE(socket.create());
    EXPECT_EQ(socket.state(), CCESocket::Created);
    EXPECT_EQ(socket.sendLine("get1"), -1);
    EXPECT_EQ(socket.lastError(), remote::kErrNotConnected);
    EXPECT_FALSE(socket.create());
    EXPECT_EQ(socket.lastError(), remote::kErrSocketExists);
    EXPECT_FALSE(socket.connect(65536, "127.0.0.1"));
    EXPECT_EQ(socket.lastError(), remote::kErrInvalidPort);

    ASSERT_TRUE(socket.connect(sim.port(), "127.0.0.1"));
    EXPECT_EQ(socket.state(), CCESocket::Connected);
    EXPECT_FALSE(socket.connect(sim.port(), "127.0.0.1"));
    EXPECT_EQ(socket.lastError(), remote::kErrAlreadyConnected);
    EXPECT_EQ(socket.sendLine(""), -1);
    EXPECT_EQ(socket.lastError(), remote::kErrNoData);
}

TEST_F(SocketTest, ConnectToClosedPortFailsWithTheSystemError)
{
    ASSERT_TRUE(socket.create());
    EXPECT_FALSE(socket.connect(closedLoopbackPort(), "127.0.0.1"));
    EXPECT_EQ(socket.lastError(), ECONNREFUSED);
    EXPECT_LT(socket.state(), CCESocket::Connected);
    socket.disconnect();
    EXPECT_EQ(socket.state(), CCESocket::Closed);
}

TEST_F(SocketTest, ConnectGivesUpAfterItsTimeout)
{
    FullListener listener;
    socket.setConnectTimeout(300ms);
    ASSERT_TRUE(socket.create());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(socket.connect(listener.port, "127.0.0.1"));
    EXPECT_EQ(socket.lastError(), remote::kErrTimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    socket.disconnect();
    EXPECT_EQ(socket.state(), CCESocket::Closed);
}

TEST_F(SocketTest, ResolvesHostNames)
{
    ASSERT_TRUE(socket.create());
    EXPECT_TRUE(socket.connect(sim.port(), "localhost")) << socket.lastError();
}

TEST_F(SocketTest, SendLineAppendsTheChosenLineEnd)
{
    struct Case {
        int lineEnd;
        std::string wire;
    };
    const Case cases[] = {{CCESocket::LineEndLf, std::string("get1\n")},
                          {CCESocket::LineEndCrLf, std::string("get1\r\n")},
                          {CCESocket::LineEndZero, std::string("get1\0", 5)}};
    connect();
    std::string expected;
    for (const Case& c : cases) {
        socket.setLineEnd(c.lineEnd);
        EXPECT_EQ(socket.sendLine("get1"), static_cast<int>(c.wire.size()));
        expected += c.wire;
    }
    ASSERT_TRUE(sim.waitForBytes(expected.size(), 3s));
    EXPECT_EQ(sim.receivedBytes(), expected);
}

TEST_F(SocketTest, LineSplitOverTwoReceivesComesOutWhole)
{
    connect();
    std::string line;
    receive("2TestWave=15");
    EXPECT_FALSE(socket.readLine(line));
    EXPECT_EQ(line, "");
    EXPECT_EQ(socket.queuedBytes(), 12u);

    receive("50,AutoSave=1,\n");
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "2TestWave=1550,AutoSave=1,\n");
    EXPECT_EQ(socket.queuedBytes(), 0u);
    EXPECT_FALSE(socket.readLine(line));
}

TEST_F(SocketTest, SeveralLinesInOneBlockAreReadOneByOne)
{
    connect();
    receive("1Language=1,\n2TestWave=1310,\n2Te");
    std::string line;
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "1Language=1,\n");
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, "2TestWave=1310,\n");
    EXPECT_FALSE(socket.readLine(line));
    EXPECT_EQ(socket.queuedBytes(), 3u);
}

TEST_F(SocketTest, ZeroByteLineEndsAndLongLines)
{
    connect();
    socket.setLineEnd(CCESocket::LineEndZero);
    const std::string longLine(5000, 'x'); // spans several receive blocks
    receive(std::string("ab\0", 3) + longLine + std::string("\0", 1));
    std::string line;
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, std::string("ab\0", 3));
    ASSERT_TRUE(socket.readLine(line));
    EXPECT_EQ(line, longLine + std::string("\0", 1));
    EXPECT_EQ(socket.queuedBytes(), 0u);
}

TEST_F(SocketTest, InstrumentClosingTheConnectionIsAnnouncedOnce)
{
    connect();
    sim.closeClient();
    ASSERT_TRUE(log.waitFor(remote::kMsgSocketClosed, 1));
    for (int i = 0; i < 100 && socket.readerState() != CCESocket::ReaderStopped; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(socket.readerState(), CCESocket::ReaderStopped);
    EXPECT_EQ(socket.state(), CCESocket::Closed);
    EXPECT_FALSE(socket.dataSeen());
    EXPECT_EQ(socket.sendLine("get1"), -1);
    EXPECT_EQ(socket.lastError(), remote::kErrNotConnected);
    socket.disconnect();
    EXPECT_EQ(log.count(remote::kMsgSocketClosed), 1);

    // The socket can be created and connected again.
    connect();
    EXPECT_EQ(socket.sendLine("get2"), 5);
    ASSERT_TRUE(sim.waitForLines(1, 3s));
}

TEST_F(SocketTest, DisconnectByTheOwnerIsQuietAndReconnects)
{
    connect();
    socket.disconnect();
    EXPECT_EQ(socket.state(), CCESocket::Closed);
    EXPECT_EQ(socket.readerState(), CCESocket::ReaderStopped);
    ASSERT_TRUE(sim.waitForNoClient(3s));
    EXPECT_EQ(log.count(remote::kMsgSocketClosed), 0);

    connect();
    EXPECT_EQ(sim.connections(), 2);
    EXPECT_EQ(socket.sendLine("get1"), 5);
    ASSERT_TRUE(log.waitFor(remote::kMsgSocketData, 1));
}

TEST_F(SocketTest, DestroyingAConnectedSocketStopsItsReader)
{
    auto other = std::make_unique<CClientSocket>(log.owner());
    ASSERT_TRUE(other->create());
    ASSERT_TRUE(other->connect(sim.port(), "127.0.0.1"));
    other->setLineEnd(CCESocket::LineEndLf);
    ASSERT_EQ(other->sendLine("get1"), 5);
    ASSERT_TRUE(log.waitFor(remote::kMsgSocketData, 1));
    other.reset();
    EXPECT_TRUE(sim.waitForNoClient(3s));
    EXPECT_EQ(log.count(remote::kMsgSocketClosed), 0);
}

} // namespace
