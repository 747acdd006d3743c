#pragma once
// A small stand-in for the OTDR instrument's settings link: a TCP server on 127.0.0.1 that keeps a
// set of system and test settings, answers "get1" and "get2" with its settings lines and stores
// the settings lines it receives. Its behaviour can be bent for tests: replies split over several
// writes, two replies in one write, the connection closed after a reply, raw bytes sent on demand.
// One client at a time; a new connection replaces the previous one.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace instrumentsim {

class InstrumentSimulator {
public:
    using Pairs = std::vector<std::pair<std::string, std::string>>;

    InstrumentSimulator();
    ~InstrumentSimulator();
    InstrumentSimulator(const InstrumentSimulator&) = delete;
    InstrumentSimulator& operator=(const InstrumentSimulator&) = delete;

    // Listens on 127.0.0.1:port (0 picks a free port). False when the port cannot be bound.
    bool start(uint16_t port = 0);
    void stop();
    uint16_t port() const { return m_port; }
    bool running() const { return m_running.load(); }

    // Settings, in the order of the settings lines.
    Pairs systemSettings() const;
    Pairs testSettings() const;
    // Value of a setting of either group, empty when unknown.
    std::string setting(const std::string& key) const;
    // Changes a known setting; false for a key of neither group.
    bool setSetting(const std::string& key, const std::string& value);
    // The reply lines, LF included: "1Language=..,...,\n" and "2TestWave=..,...,\n".
    std::string systemReply() const;
    std::string testReply() const;

    // Each reply goes out in this many writes (1: one write), a short pause between them.
    void setSplitReplies(int parts);
    // A request is answered with its reply followed by the other group's reply, in one write.
    void setCoalesceReplies(bool on);
    // The connection is closed after the next reply went out.
    void setCloseAfterReply(bool on);
    // Requests are recorded but not answered (an instrument that does not reply).
    void setSilent(bool on);

    // Sends bytes to the connected client as they are; false without a client.
    bool sendRaw(const std::string& bytes);
    // Closes the current client connection (the instrument going away).
    void closeClient();

    // What the simulator received: every byte, and the lines with their line ends removed.
    std::string receivedBytes() const;
    std::vector<std::string> receivedLines() const;
    int connections() const;

    // Bounded waits for a client, for a number of received lines, or for received bytes.
    bool waitForClient(std::chrono::milliseconds timeout) const;
    bool waitForLines(std::size_t count, std::chrono::milliseconds timeout) const;
    bool waitForBytes(std::size_t count, std::chrono::milliseconds timeout) const;
    // True once the current client has gone (or none was connected), within the timeout.
    bool waitForNoClient(std::chrono::milliseconds timeout) const;

private:
    void serve();
    void handleLine(const std::string& line);
    void writeReply(const std::string& reply);
    bool writeAll(int fd, const char* data, std::size_t size);
    void dropClient();

    int m_listen = -1;
    int m_client = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_running{false};
    std::thread m_thread;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::mutex m_writeMutex;
    Pairs m_system;
    Pairs m_test;
    int m_splitParts = 1;
    bool m_coalesce = false;
    bool m_closeAfterReply = false;
    bool m_silent = false;
    bool m_closeRequested = false;
    std::string m_received;
    std::string m_pending;
    std::vector<std::string> m_lines;
    int m_connections = 0;
};

} // namespace instrumentsim
