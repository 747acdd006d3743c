// otdrcli's command table. Each command lives in its own source (a *Command.cpp file) and adds
// itself to the table with OTDRCLI_COMMAND; main.cpp dispatches on the first argument.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct CliCommand {
    const char* name;     // the word on the command line, e.g. "info"
    const char* args;     // argument synopsis for the usage text, e.g. "FILE"
    const char* summary;  // one line for the usage text
    // Runs with the arguments after the command name; returns the exit code.
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// Exit codes shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the work could not be done (unreadable file, ...)
inline constexpr int kExitUsage = 2;    // wrong arguments

// The table, sorted by name.
const std::vector<CliCommand>& cliCommands();
bool registerCliCommand(const CliCommand& command);

// Usage line of one command, for its own argument errors.
std::string cliUsage(const CliCommand& command);

#define OTDRCLI_CONCAT2(a, b) a##b
#define OTDRCLI_CONCAT(a, b) OTDRCLI_CONCAT2(a, b)
// At namespace scope in a command's source: OTDRCLI_COMMAND({"info", "FILE", "...", &runInfo});
#define OTDRCLI_COMMAND(...) \
    namespace { \
    [[maybe_unused]] const bool OTDRCLI_CONCAT(otdrcliRegistered, __LINE__) = registerCliCommand(__VA_ARGS__); \
    }
