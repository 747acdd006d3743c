#include "InstrumentSimulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace instrumentsim {

namespace {

constexpr int kPollMs = 20;
constexpr auto kSplitPause = std::chrono::milliseconds(40);

std::string buildReply(char group, const InstrumentSimulator::Pairs& pairs)
{
    std::string line(1, group);
    for (const auto& [key, value] : pairs)
        line += key + "=" + value + ",";
    line += '\n';
    return line;
}

std::string* find(InstrumentSimulator::Pairs& pairs, const std::string& key)
{
    for (auto& [k, v] : pairs)
        if (k == key)
            return &v;
    return nullptr;
}

} // namespace

InstrumentSimulator::InstrumentSimulator()
    : m_system{{"Language", "1"},
               {"AutoPowerOff", "10"},
               {"LightLevel", "80"},
               {"DateTime", "2026-01-01 08:00:00"},
               {"TouchSreeenStatus", "0"}},
      m_test{{"TestWave", "1550"}, {"TestTime", "30"},     {"TestMode", "0"},
             {"TestRange", "20000"}, {"TestUnit", "m"},    {"PluseWidth", "100"},
             {"Resolution", "0"},  {"AutoSave", "1"}}
{
}

InstrumentSimulator::~InstrumentSimulator()
{
    stop();
}

bool InstrumentSimulator::start(uint16_t port)
{
    if (m_running)
        return true;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK); // loopback only, never another interface
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_listen = fd;
    m_running = true;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void InstrumentSimulator::stop()
{
    if (!m_running.exchange(false))
        return;
    if (m_thread.joinable())
        m_thread.join();
    dropClient();
    ::close(m_listen);
    m_listen = -1;
}

InstrumentSimulator::Pairs InstrumentSimulator::systemSettings() const
{
    std::lock_guard lock(m_mutex);
    return m_system;
}

InstrumentSimulator::Pairs InstrumentSimulator::testSettings() const
{
    std::lock_guard lock(m_mutex);
    return m_test;
}

std::string InstrumentSimulator::setting(const std::string& key) const
{
    std::lock_guard lock(m_mutex);
    for (const Pairs* group : {&m_system, &m_test})
        for (const auto& [k, v] : *group)
            if (k == key)
                return v;
    return {};
}

bool InstrumentSimulator::setSetting(const std::string& key, const std::string& value)
{
    std::lock_guard lock(m_mutex);
    std::string* slot = find(m_system, key);
    if (!slot)
        slot = find(m_test, key);
    if (!slot)
        return false;
    *slot = value;
    return true;
}

std::string InstrumentSimulator::systemReply() const
{
    std::lock_guard lock(m_mutex);
    return buildReply('1', m_system);
}

std::string InstrumentSimulator::testReply() const
{
    std::lock_guard lock(m_mutex);
    return buildReply('2', m_test);
}

void InstrumentSimulator::setSplitReplies(int parts)
{
    std::lock_guard lock(m_mutex);
    m_splitParts = std::max(1, parts);
}

void InstrumentSimulator::setCoalesceReplies(bool on)
{
    std::lock_guard lock(m_mutex);
    m_coalesce = on;
}

void InstrumentSimulator::setCloseAfterReply(bool on)
{
    std::lock_guard lock(m_mutex);
    m_closeAfterReply = on;
}

void InstrumentSimulator::setSilent(bool on)
{
    std::lock_guard lock(m_mutex);
    m_silent = on;
}

bool InstrumentSimulator::writeAll(int fd, const char* data, std::size_t size)
{
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool InstrumentSimulator::sendRaw(const std::string& bytes)
{
    std::lock_guard write(m_writeMutex);
    int fd;
    {
        std::lock_guard lock(m_mutex);
        fd = m_client;
    }
    return fd >= 0 && writeAll(fd, bytes.data(), bytes.size());
}

void InstrumentSimulator::closeClient()
{
    std::lock_guard lock(m_mutex);
    m_closeRequested = true;
}

void InstrumentSimulator::dropClient()
{
    std::lock_guard write(m_writeMutex);
    std::lock_guard lock(m_mutex);
    if (m_client >= 0) {
        ::shutdown(m_client, SHUT_RDWR);
        ::close(m_client);
        m_client = -1;
    }
    m_pending.clear();
    m_closeRequested = false;
    m_changed.notify_all();
}

std::string InstrumentSimulator::receivedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

std::vector<std::string> InstrumentSimulator::receivedLines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

int InstrumentSimulator::connections() const
{
    std::lock_guard lock(m_mutex);
    return m_connections;
}

bool InstrumentSimulator::waitForClient(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_client >= 0; });
}

bool InstrumentSimulator::waitForNoClient(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_client < 0; });
}

bool InstrumentSimulator::waitForLines(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_lines.size() >= count; });
}

bool InstrumentSimulator::waitForBytes(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_received.size() >= count; });
}

void InstrumentSimulator::writeReply(const std::string& reply)
{
    int parts;
    bool closeAfter;
    {
        std::lock_guard lock(m_mutex);
        parts = m_splitParts;
        closeAfter = m_closeAfterReply;
    }
    {
        std::lock_guard write(m_writeMutex);
        int fd;
        {
            std::lock_guard lock(m_mutex);
            fd = m_client;
        }
        if (fd < 0)
            return;
        parts = std::min<int>(parts, static_cast<int>(reply.size()));
        const std::size_t piece = reply.size() / static_cast<std::size_t>(parts);
        std::size_t offset = 0;
        for (int i = 0; i < parts; ++i) {
            const std::size_t size = i + 1 == parts ? reply.size() - offset : piece;
            if (!writeAll(fd, reply.data() + offset, size))
                break;
            offset += size;
            if (i + 1 < parts)
                std::this_thread::sleep_for(kSplitPause);
        }
    }
    if (closeAfter) {
        std::lock_guard lock(m_mutex);
        m_closeAfterReply = false;
        m_closeRequested = true;
    }
}

void InstrumentSimulator::handleLine(const std::string& line)
{
    std::string reply;
    {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
        if ((line == "get1" || line == "get2") && !m_silent) {
            const bool system = line == "get1";
            reply = system ? buildReply('1', m_system) : buildReply('2', m_test);
            if (m_coalesce)
                reply += system ? buildReply('2', m_test) : buildReply('1', m_system);
        } else if (line.size() > 1 && (line[0] == '1' || line[0] == '2')) {
            // A settings line: store every known key of its group.
            Pairs& group = line[0] == '1' ? m_system : m_test;
            std::size_t start = 1;
            while (start < line.size()) {
                std::size_t comma = line.find(',', start);
                if (comma == std::string::npos)
                    comma = line.size();
                const std::string field = line.substr(start, comma - start);
                const std::size_t eq = field.find('=');
                if (eq != std::string::npos)
                    if (std::string* slot = find(group, field.substr(0, eq)))
                        *slot = field.substr(eq + 1);
                start = comma + 1;
            }
        }
        m_changed.notify_all();
    }
    if (!reply.empty())
        writeReply(reply);
}

void InstrumentSimulator::serve()
{
    char buffer[1024];
    while (m_running) {
        bool closeNow;
        int client;
        {
            std::lock_guard lock(m_mutex);
            closeNow = m_closeRequested;
            client = m_client;
        }
        if (closeNow && client >= 0) {
            dropClient();
            continue;
        }
        pollfd fds[2] = {{m_listen, POLLIN, 0}, {client, POLLIN, 0}};
        const int n = ::poll(fds, client >= 0 ? 2 : 1, kPollMs);
        if (n <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                const int one = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                dropClient();
                std::lock_guard lock(m_mutex);
                m_client = fd;
                ++m_connections;
                m_changed.notify_all();
                continue;
            }
        }
        if (client >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                if (got < 0 && errno == EINTR)
                    continue;
                dropClient();
                continue;
            }
            std::vector<std::string> lines;
            {
                std::lock_guard lock(m_mutex);
                m_received.append(buffer, static_cast<std::size_t>(got));
                m_pending.append(buffer, static_cast<std::size_t>(got));
                // Lines end with LF (CR LF and a zero byte are accepted too).
                std::size_t end;
                while ((end = m_pending.find_first_of(std::string("\n\0", 2))) != std::string::npos) {
                    std::string line = m_pending.substr(0, end);
                    m_pending.erase(0, end + 1);
                    if (!line.empty() && line.back() == '\r')
                        line.pop_back();
                    lines.push_back(std::move(line));
                }
                m_changed.notify_all();
            }
            for (const std::string& line : lines)
                handleLine(line);
        }
    }
}

} // namespace instrumentsim
