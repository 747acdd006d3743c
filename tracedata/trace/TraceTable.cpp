#include "TraceTable.h"

#include <cctype>

namespace {

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (std::tolower(ca) != std::tolower(cb))
            return false;
    }
    return true;
}

} // namespace

TraceTable::TraceTable() = default;

bool TraceTable::isAlreadyLoaded(const std::string& path) const
{
    for (int i = 0; i < loadedCount && i < TRACE_SLOT_COUNT; ++i)
        if (equalsIgnoringCase(slots[static_cast<std::size_t>(i)].filePath, path))
            return true;
    return false;
}

int TraceTable::firstFreeSlot() const
{
    for (int i = 0; i < TRACE_SLOT_COUNT; ++i)
        if (slots[static_cast<std::size_t>(i)].loaded == 0)
            return i;
    return TRACE_SLOT_COUNT;
}

std::uint32_t TraceTable::traceColourFor(int n) const
{
    if (n >= 1 && n <= MAX_OPEN_TRACES)
        return traceColours[static_cast<std::size_t>(n - 1)];
    return traceColours[0];
}

void TraceTable::resetSlot(int i)
{
    if (!validSlot(i))
        return;
    TraceSlot& s = slots[static_cast<std::size_t>(i)];
    s.record = std::make_unique<TraceRecord>();
    s.loaded = 0;
    s.fileName.clear();
    s.filePath.clear();
}

void TraceTable::moveSlot(int from, int to)
{
    if (!validSlot(from) || !validSlot(to) || from == to)
        return;
    TraceSlot& src = slots[static_cast<std::size_t>(from)];
    TraceSlot& dst = slots[static_cast<std::size_t>(to)];
    dst.loaded = src.loaded;
    dst.fileName = std::move(src.fileName);
    dst.filePath = std::move(src.filePath);
    dst.record = std::move(src.record);
    dst.record->colour = traceColourFor(from);
    resetSlot(from);
}

void TraceTable::removeCurrentTrace()
{
    if (loadedCount <= 0 || !validSlot(currentTrace))
        return;
    resetSlot(currentTrace);
    for (int i = 0; i < loadedCount && i + 1 < TRACE_SLOT_COUNT; ++i) {
        if (slots[static_cast<std::size_t>(i)].loaded == 0 && slots[static_cast<std::size_t>(i + 1)].loaded != 0)
            moveSlot(i + 1, i);
    }
    if (currentTrace > 0)
        --currentTrace;
    --loadedCount;
}

void TraceTable::clearAllTraces()
{
    for (int i = 0; i < loadedCount && i < TRACE_SLOT_COUNT; ++i)
        resetSlot(i);
    currentTrace = 0;
    loadedCount = 0;
}

TraceRecord* TraceTable::currentRecord()
{
    if (loadedCount <= 0 || !validSlot(currentTrace))
        return nullptr;
    return slots[static_cast<std::size_t>(currentTrace)].record.get();
}

TraceTable& traceTable()
{
    static TraceTable table;
    return table;
}
