// Mapping between SOR file data and trace records, and the reading and saving of traces into the
// trace table. No dialogs here: each operation returns what happened, with the text key of the
// message the user should see, and the shell shows it.
#pragma once

#include "TraceTable.h"

#include <string>
#include <vector>

#include "SorFile.h"

class CEndDravik;

// Text keys of the messages of opening and saving.
inline constexpr const char* TRACE_TEXT_MAX_CURVE = "IDS_MAX_CURVE";
inline constexpr const char* TRACE_TEXT_OPEN_FILE_ERROR = "IDS_OPEN_FILE_ERROR";
inline constexpr const char* TRACE_TEXT_OPEN_DATA_INVALID = "IDS_OPEN_DATA_INVALID";
inline constexpr const char* TRACE_TEXT_SAVE_FILE_ERROR = "IDS_SAVE_FILE_ERROR";

enum class TraceReadStatus {
    Loaded,         // the trace is in its slot and current
    AlreadyLoaded,  // the same path (any case) is loaded already: skipped without a message
    NoFreeSlot,     // no slot left for it: skipped without a message
    DataInvalid,    // the file holds no trace data ("IDS_OPEN_DATA_INVALID")
    FileError,      // the file could not be read ("IDS_OPEN_FILE_ERROR")
};

struct TraceReadResult {
    TraceReadStatus status = TraceReadStatus::FileError;
    std::string textKey;     // message to show; empty for none
    std::string detail;      // the file component's own description of a failure
    std::string path;
    int slot = -1;           // the slot read into (also on failure, when one was tried)
    int maxLevelDb = 0;      // maxLevelDb of the file read, for the plot's full scale

    bool loaded() const { return status == TraceReadStatus::Loaded; }
};

struct TraceSaveResult {
    bool ok = false;
    std::string textKey;     // "IDS_SAVE_FILE_ERROR" on failure
    std::string detail;      // the file component's description of the failure
};

// Distance in metres of a key event's time, measured along the trace's samples: the file's time
// counts from the start of the fibre, so the launch-cable user offset is added and the acquisition
// offset (time of the first sample) subtracted. All three are one-way times in 100 ps units.
double eventTimeToDistance(std::int64_t propagationTime, std::int32_t userOffset,
                           std::int32_t acquisitionOffset, float refractiveIndex);
// The reverse: the file time of a distance along the samples (integer part, then the offsets).
std::int32_t eventDistanceToTime(float distance, float refractiveIndex, std::int32_t userOffset,
                                 std::int32_t acquisitionOffset);

// Fills a record from file data: samples of the first data set, parameters, one EventItem per key
// event (distance and sample index from the event's time), the events' cumulative losses from the
// engine. The record keeps the data as the source of later saves.
void loadFromSor(TraceRecord& record, CEndDravik& engine, SORDATA data);

// Writes a record into file data in place: one data set, parameters, thresholds, the key events
// and the range. All other fields keep their values.
void storeToSor(SORDATA& data, const TraceRecord& record);

// Largest whole level in dB, (65535 - s) / 1000, over every sample of every data set; 0 for none.
int maxLevelDb(const SORDATA& data);

// The message to show instead of the open dialog: "IDS_MAX_CURVE" while 8 traces are loaded,
// else nullptr.
const char* openRefusalTextKey(const TraceTable& table);

// Reads one file into one slot. On success the slot is loaded and current, its record has its
// trace colour and computed sample spacing; on failure the slot stays empty.
TraceReadResult readTraceIntoSlot(TraceTable& table, CEndDravik& engine, const std::string& path,
                                  const std::string& name, int slot);

// The Open command after its dialog: reads the chosen files in order into the free slots 0..7.
// Files already loaded or failing leave their slot to the next file; files left over once slot 7
// is taken are skipped (NoFreeSlot). Nothing is read while the table is full (see
// openRefusalTextKey). One result per file, in order.
std::vector<TraceReadResult> readTraceFiles(TraceTable& table, CEndDravik& engine,
                                            const std::vector<std::string>& paths);

// The name shown for a path: the part after its last folder separator.
std::string traceFileName(const std::string& path);

// Saves a record to a file. The file data starts from the trace's own source data (a record not
// read from a file starts from an empty one). A failure is returned, never swallowed.
TraceSaveResult saveTrace(const TraceRecord& record, const std::string& path);

// Loads one report file (folder and name joined) into the lowest free slot of the whole table,
// without messages. Returns 1 when a read was attempted, 0 when no slot was free or the file is
// loaded already. The slot keeps its record's colour and drawn window; the current trace does not
// change. When `result` is given it receives the outcome (slot, status, full scale).
int loadReportTrace(TraceTable& table, const std::string& folder, const std::string& name,
                    TraceReadResult* result = nullptr);
