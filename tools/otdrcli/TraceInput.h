// Reading the one trace a command works on, as the Open command of the program does.
#pragma once

#include <iosfwd>
#include <string>

class CEndDravik;
class TraceTable;
struct TraceRecord;

// Reads `file` into slot 0 of `table`. On failure it writes one line naming the file and the
// reason to `err` and returns nullptr.
TraceRecord* readCommandTrace(TraceTable& table, CEndDravik& engine, const std::string& file, std::ostream& err);
