// Runs the built otdrcli as a user does, in a scratch folder of the test's own, and captures its
// exit code, standard output and standard error.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A test with a scratch folder `dir`; run() starts `otdrcli <prefix> <args...>` (arguments quoted
// for the shell) with its output captured in that folder.
class CliTest : public ::testing::Test {
protected:
    CliTest(std::string scratchName, std::string commandPrefix)
        : m_scratchName(std::move(scratchName)), m_prefix(std::move(commandPrefix))
    {
    }

    void SetUp() override
    {
        dir = std::filesystem::path(::testing::TempDir()) / (m_scratchName + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    CliRun run(const std::vector<std::string>& args) const
    {
        std::string command = m_prefix;
        for (const std::string& a : args)
            command += " '" + a + "'";
        command += " >'" + (dir / "stdout").string() + "' 2>'" + (dir / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        CliRun r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(dir / "stdout");
        r.err = slurp(dir / "stderr");
        return r;
    }

    static std::filesystem::path fixture(const char* name)
    {
        return std::filesystem::path(OTDR_FIXTURES) / "sor" / name;
    }

    std::filesystem::path dir;

private:
    std::string m_scratchName;
    std::string m_prefix;
};
