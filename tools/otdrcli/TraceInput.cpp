#include "TraceInput.h"

#include "Dravik.h"
#include "TraceFile.h"
#include "TraceTable.h"

#include <ostream>

TraceRecord* readCommandTrace(TraceTable& table, CEndDravik& engine, const std::string& file, std::ostream& err)
{
    const TraceReadResult read = readTraceIntoSlot(table, engine, file, traceFileName(file), 0);
    if (!read.loaded()) {
        err << "otdrcli: " << file << ": " << (read.detail.empty() ? read.textKey : read.detail);
        if (!read.detail.empty() && !read.textKey.empty())
            err << " (" << read.textKey << ")";
        err << '\n';
        return nullptr;
    }
    return &table.record(0);
}
