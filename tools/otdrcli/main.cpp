// otdrcli: the command-line companion of the OTDR program (no window, no display). The first
// argument names the command; each command is a source of its own that registers itself.
#include "Command.h"

#include <algorithm>
#include <cstring>
#include <iostream>

namespace {

std::vector<CliCommand>& table()
{
    static std::vector<CliCommand> commands;
    return commands;
}

void printUsage(std::ostream& out)
{
    out << "usage: otdrcli COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const CliCommand& c : cliCommands())
        out << "  " << cliUsage(c) << "\n      " << c.summary << "\n";
}

} // namespace

bool registerCliCommand(const CliCommand& command)
{
    auto& commands = table();
    const auto at = std::lower_bound(commands.begin(), commands.end(), command,
        [](const CliCommand& a, const CliCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    commands.insert(at, command);
    return true;
}

const std::vector<CliCommand>& cliCommands()
{
    return table();
}

std::string cliUsage(const CliCommand& command)
{
    std::string usage = std::string("otdrcli ") + command.name;
    if (command.args && *command.args)
        usage += std::string(" ") + command.args;
    return usage;
}

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    if (argc < 2) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") {
        printUsage(std::cout);
        return kExitOk;
    }
    for (const CliCommand& c : cliCommands())
        if (name == c.name) {
            const std::vector<std::string> args(argv + 2, argv + argc);
            const int code = c.run(args, std::cout, std::cerr);
            std::cout.flush();
            if (!std::cout) {
                std::cerr << "otdrcli: cannot write to standard output\n";
                return kExitFailure;
            }
            return code;
        }
    std::cerr << "otdrcli: unknown command '" << name << "'\n";
    printUsage(std::cerr);
    return kExitUsage;
}
