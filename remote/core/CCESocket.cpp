#include "CCESocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace remote {

namespace {

// One lock for every socket's queue, as the reader threads and the user-interface thread share them.
std::mutex& queueMutex()
{
    static std::mutex m;
    return m;
}

constexpr std::size_t kMaxHostLength = 256;

bool resolveHost(const std::string& host, in_addr& out)
{
    if (host.empty() || host.size() > kMaxHostLength)
        return false;
    if (::inet_pton(AF_INET, host.c_str(), &out) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || list == nullptr)
        return false;
    out = reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr;
    ::freeaddrinfo(list);
    return true;
}

bool setBlocking(int fd, bool blocking)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    return ::fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}

} // namespace

CCESocket::CCESocket() = default;

CCESocket::~CCESocket()
{
    shutdownReader();
}

bool CCESocket::OnData(const char*, std::size_t)
{
    return false;
}

void CCESocket::OnClose(int) {}

void CCESocket::shutdownReader()
{
    disconnect();
    joinReader();
    std::lock_guard lock(m_stateMutex);
    closeHandle();
    clearQueue();
}

void CCESocket::joinReader()
{
    if (!m_reader.joinable())
        return;
    if (m_reader.get_id() == std::this_thread::get_id())
        m_reader.detach();
    else
        m_reader.join();
}

void CCESocket::closeHandle()
{
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

void CCESocket::clearQueue()
{
    std::lock_guard lock(queueMutex());
    m_queue.clear();
    m_queuedBytes = 0;
}

bool CCESocket::create()
{
    {
        std::lock_guard lock(m_stateMutex);
        if (m_socket >= 0 && m_state.load() != Closed) {
            m_lastError = kErrSocketExists;
            return false;
        }
    }
    // A connection the instrument closed leaves a shut-down handle and a finished reader behind.
    joinReader();
    std::lock_guard lock(m_stateMutex);
    closeHandle();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_lastError = errno;
        return false;
    }
    linger noLinger{};
    noLinger.l_onoff = 0;
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
    // A send to a peer that stopped reading must not block the caller forever.
    timeval sendTimeout{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_socket = fd;
    m_receiveSize = 1024;
    clearQueue();
    m_kind = 1;
    m_state = Created;
    return true;
}

bool CCESocket::connect(unsigned port, const std::string& host)
{
    int fd;
    {
        std::lock_guard lock(m_stateMutex);
        if (m_socket < 0) {
            m_lastError = kErrNotSocket;
            return false;
        }
        if (m_kind == 1 && m_state.load() > Created) {
            m_lastError = kErrAlreadyConnected;
            return false;
        }
        if (port >= 65536) {
            m_lastError = kErrInvalidPort;
            return false;
        }
        fd = m_socket;
    }
    in_addr address{};
    if (!resolveHost(host, address)) {
        m_lastError = kErrHostNotFound;
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<uint16_t>(port));
    peer.sin_addr = address;

    // Connect without blocking and wait a bounded time, so an unreachable host fails in seconds.
    if (!setBlocking(fd, false)) {
        m_lastError = errno;
        return false;
    }
    int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
    if (rc != 0 && errno != EINPROGRESS) {
        m_lastError = errno;
        setBlocking(fd, true);
        return false;
    }
    if (rc != 0) {
        pollfd p{fd, POLLOUT, 0};
        const auto deadline = std::chrono::steady_clock::now() + m_connectTimeout;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                m_lastError = kErrTimedOut;
                setBlocking(fd, true);
                return false;
            }
            rc = ::poll(&p, 1, static_cast<int>(left.count()));
            if (rc > 0)
                break;
            if (rc < 0 && errno != EINTR) {
                m_lastError = errno;
                setBlocking(fd, true);
                return false;
            }
        }
        int soError = 0;
        socklen_t len = sizeof soError;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
        if (soError != 0) {
            m_lastError = soError;
            setBlocking(fd, true);
            return false;
        }
    }
    setBlocking(fd, true);

    joinReader(); // a reader of an earlier connection has ended by now
    {
        std::lock_guard lock(m_stateMutex);
        m_peer = peer;
        m_state = Connected;
        m_dataSeen = 1;
        m_readerState = ReaderRunning;
    }
    m_reader = std::thread([this] { readerLoop(); });
    return true;
}

void CCESocket::disconnect()
{
    const bool onReader = m_reader.joinable() && m_reader.get_id() == std::this_thread::get_id();
    {
        std::lock_guard lock(m_stateMutex);
        if (m_socket < 0)
            return;
        m_state = Closing;
        // Wakes the reader thread out of its receive; it then sees the state and ends quietly.
        ::shutdown(m_socket, SHUT_RDWR);
        if (onReader) {
            // The handle is closed later by the thread that owns the socket object.
            m_state = Closed;
            m_lastError = 0;
            m_dataSeen = 0;
            return;
        }
    }
    joinReader();
    std::lock_guard lock(m_stateMutex);
    closeHandle();
    m_state = Closed;
    m_lastError = 0;
    m_dataSeen = 0;
}

int CCESocket::sendLine(const std::string& text)
{
    int fd;
    {
        std::lock_guard lock(m_stateMutex);
        if (m_state.load() < Connected || m_socket < 0) {
            m_lastError = kErrNotConnected;
            return -1;
        }
        fd = m_socket;
    }
    if (text.empty()) {
        m_lastError = kErrNoData;
        return -1;
    }
    std::string bytes = text;
    switch (m_lineEnd) {
    case LineEndZero: bytes.push_back('\0'); break;
    case LineEndCrLf: bytes += "\r\n"; break;
    default: bytes.push_back('\n'); break;
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_lastError = errno;
            return -1;
        }
        sent += static_cast<std::size_t>(n);
    }
    return static_cast<int>(sent);
}

bool CCESocket::readLine(std::string& line)
{
    line.clear();
    const char terminator = m_lineEnd == LineEndZero ? '\0' : '\n';
    std::lock_guard lock(queueMutex());
    std::size_t length = 0;
    bool found = false;
    std::size_t lastBlock = 0;
    for (std::size_t b = 0; b < m_queue.size() && !found; ++b) {
        const Block& block = m_queue[b];
        for (std::size_t i = block.pos; i < block.bytes.size(); ++i) {
            ++length;
            if (block.bytes[i] == terminator) {
                found = true;
                lastBlock = b;
                break;
            }
        }
    }
    if (!found)
        return false;
    line.reserve(length);
    std::size_t left = length;
    for (std::size_t b = 0; b <= lastBlock; ++b) {
        Block& block = m_queue.front();
        const std::size_t take = std::min(left, block.bytes.size() - block.pos);
        line.append(block.bytes.data() + block.pos, take);
        block.pos += take;
        left -= take;
        if (block.pos == block.bytes.size())
            m_queue.pop_front();
    }
    m_queuedBytes -= length;
    return true;
}

void CCESocket::readerLoop()
{
    const int fd = m_socket;
    const std::size_t size = static_cast<std::size_t>(m_receiveSize);
    std::vector<char> buffer;
    while (m_readerState.load() == ReaderRunning) {
        buffer.assign(size, 0);
        const ssize_t n = ::recv(fd, buffer.data(), size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0)
                m_lastError = errno;
            m_dataSeen = 0;
            break;
        }
        m_dataSeen = 1;
        const auto length = static_cast<std::size_t>(n);
        if (OnData(buffer.data(), length))
            continue;
        {
            std::lock_guard lock(queueMutex());
            buffer.resize(length);
            m_queue.push_back(Block{std::move(buffer), 0});
            m_queuedBytes += length;
        }
        buffer = {};
        OnReceive();
    }
    m_readerState = ReaderStopping;
    bool closedByPeer = false;
    {
        std::lock_guard lock(m_stateMutex);
        if (m_state.load() > Closing) {
            m_state = Closing;
            ::shutdown(fd, SHUT_RDWR);
            m_state = Closed;
            m_dataSeen = 0;
            closedByPeer = true;
        }
    }
    if (closedByPeer)
        OnClose(0);
    m_readerState = ReaderStopped;
}

} // namespace remote
