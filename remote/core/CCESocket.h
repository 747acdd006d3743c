#pragma once
// A TCP client socket with its own reader thread. Received blocks are queued under one
// process-wide lock; the owner takes whole lines out of the queue on its own thread and is told
// about new data and about the peer closing through the virtual notifications.

#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace remote {

// Error codes kept in lastError(). The named ones are the numbers the instrument link has always
// used; any other value is the errno of the failing system call.
enum SocketError : int {
    kErrSocketExists = 10013,   // create() while a socket exists
    kErrNoData = 10014,         // sendLine() with nothing to send
    kErrInvalidPort = 10022,    // connect() with a port of 65536 or more
    kErrNotSocket = 10038,      // connect() without a socket
    kErrAlreadyConnected = 10056,
    kErrNotConnected = 10057,   // sendLine() before connect()
    kErrTimedOut = 10060,       // connect() gave up after the connect timeout
    kErrHostNotFound = 11001,   // the host is neither a dotted address nor a resolvable name
};

class CCESocket {
public:
    enum State : int { Closed = 0, Closing = 1, Created = 2, Connected = 3, Listening = 4 };
    enum LineEnd : int { LineEndZero = 0, LineEndCrLf = 1, LineEndLf = 2 };
    enum ReaderState : int { ReaderStopped = 0, ReaderStopping = 1, ReaderRunning = 2 };

    CCESocket();
    virtual ~CCESocket();
    CCESocket(const CCESocket&) = delete;
    CCESocket& operator=(const CCESocket&) = delete;

    bool create();
    // Connects to host:port. The host is tried as a dotted IPv4 address first and resolved as a
    // name otherwise. Gives up after connectTimeout() so that an unreachable host cannot hang the
    // caller. Starts the reader thread on success.
    bool connect(unsigned port, const std::string& host);
    // Closes the connection from this side. The reader thread ends without OnClose().
    void disconnect();
    // Sends text plus the line end; returns the number of bytes sent or -1 (see lastError()).
    int sendLine(const std::string& text);
    // Takes the oldest complete line (terminator included) out of the queue.
    bool readLine(std::string& line);

    int state() const { return m_state.load(); }
    int kind() const { return m_kind; }
    int lastError() const { return m_lastError.load(); }
    int readerState() const { return m_readerState.load(); }
    bool dataSeen() const { return m_dataSeen.load() != 0; }
    int lineEnd() const { return m_lineEnd; }
    void setLineEnd(int lineEnd) { m_lineEnd = lineEnd; }
    int receiveSize() const { return m_receiveSize; }
    void setReceiveSize(int size) { m_receiveSize = size > 0 ? size : 1; }
    std::size_t queuedBytes() const { return m_queuedBytes.load(); }
    std::chrono::milliseconds connectTimeout() const { return m_connectTimeout; }
    void setConnectTimeout(std::chrono::milliseconds t) { m_connectTimeout = t; }

protected:
    // Called on the reader thread after a block was queued.
    virtual void OnReceive() {}
    // Called on the reader thread with each received block; return true to consume it.
    virtual bool OnData(const char* data, std::size_t length);
    // Called on the reader thread when the peer closed the connection or receiving failed.
    virtual void OnClose(int reason);

    // Disconnects and waits for the reader thread. Derived classes whose notifications touch
    // their own members call this from their destructor, before those members go away.
    void shutdownReader();

private:
    void readerLoop();
    void joinReader();
    void closeHandle();
    void clearQueue();

    struct Block {
        std::vector<char> bytes;
        std::size_t pos = 0;
    };

    int m_socket = -1;
    int m_kind = 1;
    std::atomic<int> m_state{Closed};
    sockaddr_in m_peer{};
    std::atomic<int> m_dataSeen{0};
    std::thread m_reader;
    std::atomic<int> m_readerState{ReaderStopped};
    int m_lineEnd = LineEndCrLf;
    std::atomic<int> m_lastError{0};
    int m_receiveSize = 1024;
    std::deque<Block> m_queue;
    std::atomic<std::size_t> m_queuedBytes{0};
    std::chrono::milliseconds m_connectTimeout{std::chrono::seconds(4)};
    // Guards the socket handle and the state transitions between the caller and the reader thread.
    std::mutex m_stateMutex;
};

} // namespace remote
