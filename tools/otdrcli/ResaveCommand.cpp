// otdrcli resave IN OUT: reads a SOR file and writes it back unchanged (checksum recomputed).
#include "Command.h"
#include "SorInput.h"

#include <ostream>

namespace {

int runResave(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    if (args.size() != 2) {
        err << "usage: otdrcli resave IN OUT\n";
        return kExitUsage;
    }
    SORDATA d;
    if (!readSorForCli(args[0], d, err))
        return kExitFailure;
    CSorFile file;
    if (file.saveSorFile(args[1], d) != 1) {
        err << "otdrcli: " << args[1] << ": " << file.lastError() << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

OTDRCLI_COMMAND({"resave", "IN OUT", "read a SOR file and write it again unchanged (checksum recomputed)",
    &runResave})
