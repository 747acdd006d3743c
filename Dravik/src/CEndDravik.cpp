#include "Dravik.h"

#include <cstring>

namespace {
Dravik_Result initialRecord()
{
    Dravik_Result r;
    std::memset(&r, 0, sizeof r);
    r.valueB = 10.0f;
    return r;
}
} // namespace

CEndDravik::CEndDravik() = default;
CEndDravik::~CEndDravik() = default;

Dravik_Result CEndDravik::dravik_arithmetic(int, int, const unsigned short*, int, double, double, float, float,
                                           float, float, float, float, int)
{
    return initialRecord();
}

Dravik_Result CEndDravik::insertEvent(int, int, int, const unsigned short*, int, Dravik_Result record, float, float,
                                     float)
{
    return record;
}

Dravik_Result CEndDravik::deleteEvent(int, int, int, const unsigned short*, Dravik_Result record, float, float, float)
{
    return record;
}

Dravik_Result CEndDravik::deleteEvent(int, int, int, const unsigned short*, int, Dravik_Result record, float, float,
                                     float)
{
    return record;
}

Dravik_Result CEndDravik::Acount_Total_Loss(int, int, const unsigned short*, Dravik_Result record, float, float)
{
    return record;
}

Dravik_Result CEndDravik::Acount_Total_Loss(int, int, const unsigned short*, int, Dravik_Result record, float, float)
{
    return record;
}
