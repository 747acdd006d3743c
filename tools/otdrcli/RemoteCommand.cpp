// otdrcli remote HOST:PORT get system|test
// otdrcli remote HOST:PORT set system|test KEY=VALUE...
//
// Reads or writes the instrument's settings over its TCP settings link. "get" prints the settings
// line of the group as one JSON object (keys and values as the instrument sent them). "set" reads
// the group first, replaces the given values and sends the whole settings line as the settings
// pages build it: every value passes through the page's controls, so a value a page cannot show
// is refused, and the instrument's date and time become the computer's current ones unless
// DateTime is given.
#include "CClientSocket.h"
#include "Command.h"
#include "Json.h"
#include "RemotePages.h"
#include "RemoteProtocol.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <mutex>
#include <ostream>

namespace {

using namespace std::chrono_literals;

constexpr auto kConnectTimeout = 4s;
constexpr auto kReplyTimeout = 5s;

// The link as the program uses it, with a condition variable in place of the window messages.
class Link {
public:
    Link()
        : m_socket([this](int message) {
              std::lock_guard lock(m_mutex);
              if (message == remote::kMsgSocketClosed)
                  m_closed = true;
              ++m_events;
              m_changed.notify_all();
          })
    {
        m_socket.setLineEnd(remote::CCESocket::LineEndLf);
        m_socket.setConnectTimeout(kConnectTimeout);
    }

    bool open(const std::string& host, unsigned port, std::string& error)
    {
        if (!m_socket.create()) {
            error = "cannot create a socket (error " + std::to_string(m_socket.lastError()) + ")";
            return false;
        }
        if (!m_socket.connect(port, host)) {
            error = describe(m_socket.lastError());
            return false;
        }
        return true;
    }

    bool send(const std::string& line, std::string& error)
    {
        if (m_socket.sendLine(line) < 0) {
            error = "sending failed: " + describe(m_socket.lastError());
            return false;
        }
        return true;
    }

    // Waits for the settings line of the group; the other group's lines are skipped.
    bool awaitReply(int group, std::string& reply, std::string& error)
    {
        const auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
        std::unique_lock lock(m_mutex);
        for (;;) {
            std::string line;
            while (m_socket.readLine(line)) {
                const std::string_view body = remote::stripLineEnd(line);
                if (body.size() >= 4 && body.front() == static_cast<char>('0' + group)) {
                    reply.assign(body);
                    return true;
                }
            }
            if (m_closed) {
                error = "the instrument closed the connection before it replied";
                return false;
            }
            const long events = m_events;
            if (!m_changed.wait_until(lock, deadline, [&] { return m_events != events; })) {
                error = "no reply from the instrument within " +
                        std::to_string(std::chrono::seconds(kReplyTimeout).count()) + " s";
                return false;
            }
        }
    }

private:
    static std::string describe(int code)
    {
        switch (code) {
        case remote::kErrTimedOut: return "no answer (timed out)";
        case remote::kErrHostNotFound: return "unknown host";
        case remote::kErrInvalidPort: return "invalid port";
        case remote::kErrNotConnected: return "not connected";
        default: return code > 0 && code < 10000 ? std::strerror(code) : "error " + std::to_string(code);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    long m_events = 0;
    bool m_closed = false;
    remote::CClientSocket m_socket; // last: its reader thread stops before the members above go
};

bool parseTarget(const std::string& target, std::string& host, unsigned& port)
{
    const std::size_t colon = target.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == target.size())
        return false;
    host = target.substr(0, colon);
    const std::string digits = target.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    port = static_cast<unsigned>(std::stoul(digits));
    return port > 0 && port < 65536;
}

bool validDateTime(const std::string& text)
{
    std::tm tm{};
    const char* end = ::strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &tm);
    return end && *end == '\0';
}

std::string nowText()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    return remote::formatDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                                  tm.tm_sec);
}

int runRemote(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const char* usage = "usage: otdrcli remote HOST:PORT get system|test\n"
                        "       otdrcli remote HOST:PORT set system|test KEY=VALUE...\n";
    if (args.size() < 3 || (args[1] != "get" && args[1] != "set") ||
        (args[2] != "system" && args[2] != "test") || (args[1] == "get" && args.size() != 3) ||
        (args[1] == "set" && args.size() < 4)) {
        err << usage;
        return kExitUsage;
    }
    std::string host;
    unsigned port = 0;
    if (!parseTarget(args[0], host, port)) {
        err << "otdrcli remote: '" << args[0] << "' is not HOST:PORT (port 1 to 65535)\n";
        return kExitUsage;
    }
    const bool system = args[2] == "system";
    const int group = system ? remote::kGroupSystem : remote::kGroupTest;
    const std::vector<std::string>& keys = system ? remote::systemKeys() : remote::testKeys();

    // The values to set, checked before anything goes out.
    std::vector<remote::KeyValue> changes;
    for (std::size_t i = 3; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        const std::string key = args[i].substr(0, eq);
        if (eq == std::string::npos || std::find(keys.begin(), keys.end(), key) == keys.end()) {
            err << "otdrcli remote: '" << args[i] << "' is not KEY=VALUE with a key of the " << args[2]
                << " settings (";
            for (std::size_t k = 0; k < keys.size(); ++k)
                err << (k ? ", " : "") << keys[k];
            err << ")\n";
            return kExitUsage;
        }
        const std::string value = args[i].substr(eq + 1);
        const std::string normalised =
            key == "DateTime" ? (validDateTime(value) ? value : "") : remote::pageValue(key, value);
        if (normalised.empty()) {
            err << "otdrcli remote: " << key << " cannot be set to '" << value << "'\n";
            return kExitUsage;
        }
        changes.push_back({key, normalised});
    }

    Link link;
    std::string error;
    std::string reply;
    if (!link.open(host, port, error)) {
        err << "otdrcli remote: cannot connect to " << args[0] << ": " << error << "\n";
        return kExitFailure;
    }
    if (!link.send(remote::requestLine(group), error) || !link.awaitReply(group, reply, error)) {
        err << "otdrcli remote: " << args[0] << ": " << error << "\n";
        return kExitFailure;
    }

    JsonWriter j;
    if (args[1] == "get") {
        j.beginObject();
        for (const remote::KeyValue& kv : remote::splitPairs(std::string_view(reply).substr(1)))
            j.field(kv.key, kv.value);
        j.endObject();
        out << j.str() << "\n";
        return kExitOk;
    }

    // The page's view of the instrument's settings, the changes applied, read back as the page does.
    remote::InstrumentSettings s;
    remote::applyReplyLine(reply, s);
    s.DateTime = nowText();
    for (const remote::KeyValue& kv : changes)
        *remote::settingByKey(s, kv.key) = kv.value;
    std::string line;
    if (system) {
        remote::systemPageToSettings(remote::systemPageFromSettings(s), s);
        line = remote::systemSettingsLine(s);
    } else {
        remote::testPageToSettings(remote::testPageFromSettings(s), s);
        line = remote::testSettingsLine(s);
    }
    if (!link.send(line, error)) {
        err << "otdrcli remote: " << args[0] << ": " << error << "\n";
        return kExitFailure;
    }
    j.beginObject();
    j.field("sent", line);
    j.endObject();
    out << j.str() << "\n";
    return kExitOk;
}

} // namespace

OTDRCLI_COMMAND({"remote", "HOST:PORT get|set system|test [KEY=VALUE...]",
                 "read or write the instrument's system or test settings over its TCP link", &runRemote});
