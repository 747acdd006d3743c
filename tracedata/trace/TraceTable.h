// The process-wide table of loaded traces. Loaded traces always occupy the slots
// 0 .. loadedCount - 1 without gaps: opening fills the next slot, closing the current trace moves
// the later ones down by one, and starting a report empties the whole table.
#pragma once

#include "TraceRecord.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// Number of slots of the table; the report pages may fill all of them.
constexpr int TRACE_SLOT_COUNT = 500;
// The Open command keeps at most this many traces loaded (slots 0..7).
constexpr int MAX_OPEN_TRACES = 8;

struct TraceSlot {
    std::int32_t loaded = 0;       // 1 once a trace was read into the slot
    std::string fileName;          // name without folder, as shown to the user
    std::string filePath;          // full path; refuses a second opening of the same file
    std::unique_ptr<TraceRecord> record = std::make_unique<TraceRecord>();
};

class TraceTable {
public:
    TraceTable();
    TraceTable(const TraceTable&) = delete;
    TraceTable& operator=(const TraceTable&) = delete;

    std::array<TraceSlot, TRACE_SLOT_COUNT> slots;
    std::int32_t currentTrace = 0;
    std::int32_t loadedCount = 0;

    // Colours given to newly read traces: the stored trace colours 1..8 of the display settings
    // (index 0 holds trace colour 1). The shell keeps them up to date.
    std::array<std::uint32_t, MAX_OPEN_TRACES> traceColours{};

    // True when path equals, ignoring case, the path of one of the loaded traces.
    bool isAlreadyLoaded(const std::string& path) const;
    // The lowest slot index whose loaded is 0; TRACE_SLOT_COUNT when every slot is taken.
    int firstFreeSlot() const;
    // Colour of the n-th loaded trace (n from 1): trace colour n for n = 1..8, else colour 1.
    std::uint32_t traceColourFor(int n) const;

    // Gives slot i a fresh record and empties its name, path and loaded flag.
    void resetSlot(int i);
    // Slot `to` takes over slot `from` (flag, name, path, record); the moved record gets
    // traceColourFor(from); slot `from` is then reset.
    void moveSlot(int from, int to);
    // Closes the current trace; the later traces move down by one and the one before becomes current.
    void removeCurrentTrace();
    // Empties the slots of every loaded trace; no trace is current or loaded afterwards.
    void clearAllTraces();

    TraceRecord& record(int slot) { return *slots.at(static_cast<std::size_t>(slot)).record; }
    const TraceRecord& record(int slot) const { return *slots.at(static_cast<std::size_t>(slot)).record; }
    // The current trace's record, or nullptr while no trace is loaded.
    TraceRecord* currentRecord();

    static bool validSlot(int i) { return i >= 0 && i < TRACE_SLOT_COUNT; }
};

// The one table of the program.
TraceTable& traceTable();
