#include "SorInput.h"

#include <ostream>

bool readSorForCli(const std::string& path, SORDATA& data, std::ostream& err)
{
    CSorFile file;
    if (file.readSorFile(path, data) == 1)
        return true;
    err << "otdrcli: " << path << ": " << file.lastError() << '\n';
    return false;
}

double sorEventDistance(const SORDATA& data, int32_t propagationTime)
{
    const double time = double(propagationTime) + double(data.userOffset) - double(data.acquisitionOffset);
    return 299792458.0 / (double(data.refractiveIndex) * 1e10) * time;
}
