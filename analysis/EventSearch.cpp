#include "EventSearch.h"

#include "TraceAnalysis.h"
#include "TraceTable.h"

bool autoSearchCurrentTrace(TraceTable& table, CEndDravik& engine, const AnalysisSettings& settings)
{
    TraceRecord* record = table.currentRecord();
    if (!record || record->sampleCount == 0)
        return false;
    return runAutoSearch(*record, engine, autoSearchParametersFor(*record, settings));
}
