#pragma once

// The values the print settings sheet edits and the rules by which it loads them from the
// configuration store and the current trace and writes them back. No widgets.

#include <array>
#include <string>

class ConfigStore;
class TraceTable;

struct PrintSheetValues {
    std::array<int, 6> content{1, 1, 1, 1, 1, 1};  // "SelectLogo" .. "SelectEvent"
    std::array<std::string, 8> link;               // "OriginLocation" .. "EndColor"
    int selfDefine = 1;                            // "SelfDefine"
    std::array<std::string, 9> measurement;        // "Wavelength" .. "Average"
    std::array<std::string, 4> job;                // "Job", "Contractor", "Customer", "Operator"
    std::string fileName;                          // the current trace's file (not stored)
    std::string testTime;                          // its time stamp (not stored)
    std::string comment;                           // "Comment"
};

// "SelfDefine": on unless exactly "0".
int readSelfDefine(const ConfigStore& store);

// The configuration page's share: the eight link values from the store; the nine measurement
// values from the store when selfDefine is on, else from the current trace while one is loaded
// (with no trace they keep what they held).
void loadConfigValues(PrintSheetValues& v, const ConfigStore& store, const TraceTable& table);

// Everything: content flags, the configuration page's values, job values, file and test time of
// the current trace (empty with no trace loaded), comment. selfDefine is taken as it is in v.
void loadSheetValues(PrintSheetValues& v, const ConfigStore& store, const TraceTable& table);

// Writes flags, link values, "SelfDefine", the nine measurement values, job values and comment
// into "PrintSetting". File and test time are never written.
void saveConfigValues(const PrintSheetValues& v, const ConfigStore& store);
void saveSheetValues(const PrintSheetValues& v, const ConfigStore& store);

// "清空" of the configuration page: all seventeen value texts; of the job page: job values and
// comment (not file and test time).
void clearConfigValues(PrintSheetValues& v);
void clearJobValues(PrintSheetValues& v);
