// otdrcli remote: the built program against the instrument simulator on loopback.
#include "CliRun.h"
#include "InstrumentSimulator.h"
#include "JsonRead.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

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

class OtdrcliRemote : public CliTest {
protected:
    OtdrcliRemote() : CliTest("otdrcli-remote", std::string("timeout 30 '") + OTDRCLI_PATH + "' remote") {}

    void SetUp() override
    {
        CliTest::SetUp();
        ASSERT_TRUE(sim.start());
        target = "127.0.0.1:" + std::to_string(sim.port());
    }

    instrumentsim::InstrumentSimulator sim;
    std::string target;
};

TEST_F(OtdrcliRemote, GetPrintsTheSettingsAsJson)
{
    sim.setSetting("TestRange", "160000");
    sim.setSplitReplies(3);
    sim.setCoalesceReplies(true); // the other group's line comes along and is skipped
    const CliRun r = run({target, "get", "test"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto json = JsonReader::parse(r.out);
    ASSERT_TRUE(json) << r.out;
    const std::vector<std::string> keys{"TestWave", "TestTime", "TestMode", "TestRange",
                                        "TestUnit", "PluseWidth", "Resolution", "AutoSave"};
    ASSERT_EQ(json->members.size(), keys.size()) << r.out;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(json->members[i].first, keys[i]);
        EXPECT_EQ(json->members[i].second.text, sim.setting(keys[i]));
    }
    EXPECT_EQ((*json)["TestRange"].text, "160000");
    EXPECT_EQ(sim.receivedLines(), std::vector<std::string>{"get2"});

    const CliRun s = run({target, "get", "system"});
    ASSERT_EQ(s.exitCode, 0) << s.err;
    const auto system = JsonReader::parse(s.out);
    ASSERT_TRUE(system) << s.out;
    EXPECT_EQ((*system)["DateTime"].text, "2026-01-01 08:00:00");
}

TEST_F(OtdrcliRemote, SetSendsTheWholeLineAsThePageBuildsIt)
{
    sim.setSetting("PluseWidth", "7"); // a value the page cannot show is sent back unchanged
    const CliRun r = run({target, "set", "test", "TestRange=50000", "TestWave=1310", "TestTime=250"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(sim.waitForLines(2, 3s));
    EXPECT_EQ(sim.receivedLines()[0], "get2");
    EXPECT_EQ(sim.receivedLines()[1], "2TestWave=1310,TestTime=100,TestMode=0,TestRange=100,"
                                      "TestUnit=m,PluseWidth=7,Resolution=0,AutoSave=1,");
    const auto json = JsonReader::parse(r.out);
    ASSERT_TRUE(json) << r.out;
    EXPECT_EQ((*json)["sent"].text, sim.receivedLines()[1]);

    const CliRun s = run({target, "set", "system", "Language=0", "DateTime=2025-01-02 03:04:05"});
    ASSERT_EQ(s.exitCode, 0) << s.err;
    ASSERT_TRUE(sim.waitForLines(4, 3s));
    EXPECT_EQ(sim.receivedLines()[3], "1Language=0,AutoPowerOff=10,LightLevel=80,"
                                      "DateTime=2025-01-02 03:04:05,TouchSreeenStatus=0,");
}

TEST_F(OtdrcliRemote, RefusesBadArgumentsBeforeConnecting)
{
    const std::vector<std::vector<std::string>> cases{
        {target, "set", "test", "Language=1"},      // key of the other group
        {target, "set", "test", "TestRange=123"},   // no radio for it
        {target, "set", "system", "DateTime=soon"},
        {target, "set", "test"},
        {target, "get", "both"},
        {"127.0.0.1", "get", "test"},
        {"127.0.0.1:70000", "get", "test"},
    };
    for (const auto& args : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(sim.connections(), 0);
}

TEST_F(OtdrcliRemote, ConnectionFailuresAreClearAndNonZero)
{
    const CliRun refused = run({"127.0.0.1:" + std::to_string(closedLoopbackPort()), "get", "system"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("cannot connect to 127.0.0.1:"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());

    // The instrument hangs up instead of replying.
    sim.setSilent(true);
    std::thread closer([this] {
        if (sim.waitForLines(1, 10s))
            sim.closeClient();
    });
    const CliRun closed = run({target, "get", "test"});
    closer.join();
    EXPECT_EQ(closed.exitCode, 1);
    EXPECT_NE(closed.err.find("closed the connection"), std::string::npos) << closed.err;
}

} // namespace
