// The process-wide settings records and the load and save groups that fill them from the
// configuration store. Plain records without widgets; colours are 0x00BBGGRR values.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class ConfigStore;

// How traces are shown. Index i of the trace arrays is trace colour i + 1 ("Trace<i+1>").
struct DisplaySettings {
    // Active colours, used for drawing.
    std::array<uint32_t, 8> traceColour{};
    uint32_t backgroundColour = 0;
    uint32_t gridColour = 0;
    uint32_t eventMarkerColour = 0;
    uint32_t cursorColour = 0;
    // Stored colours: colour of newly read traces, trace-list swatches, colours page preview.
    std::array<uint32_t, 8> storedTraceColour{};
    uint32_t storedBackgroundColour = 0;
    uint32_t storedGridColour = 0;
    uint32_t storedEventMarkerColour = 0;
    uint32_t storedCursorColour = 0;

    int gridShown = 0;          // "Condition" "Grid" == "0"
    int multiTraceDisplay = 1;  // "FileList" "MultiMode" != "0"
    int dbDecimals = 0;         // "Unit" "Figure": 1, 2 or 3
    int distanceDecimals = 0;   // "Unit" "DFigure": 3, 4 or 5
    std::string distanceUnit;   // "Unit" "Distance": "m" km, "mi" miles, "ft" kilofeet
    int previewCursor = 0;      // "Condition" "Cursor" == "0"
    int previewGhost = 0;       // "Condition" "Ghost" == "0"
};

// Analysis conditions of the automatic search and of event editing. Thresholds of 0 mean
// automatic.
struct AnalysisSettings {
    float BendTH = 0;
    float ReflectTH = 0;
    float Termial = 0;
    float BackScatter = 0;      // 1310 nm
    float BackScatter1550 = 0;
    float BackScatter1625 = 0;
    float Refraction = 0;       // 1310 nm
    float Refraction1550 = 0;
    float Refraction1625 = 0;
};

// Last known instrument settings, texts exactly as exchanged with the instrument.
struct InstrumentSettings {
    std::string Language;
    std::string LightLevel;
    std::string AutoPowerOff;
    std::string DateTime;          // not stored in the configuration
    std::string TouchSreeenStatus;
    std::string TestWave;
    std::string TestTime;
    std::string TestMode;
    std::string TestRange;
    std::string TestUnit;
    std::string PluseWidth;
    std::string Resolution;
    std::string AutoSave;
};

// Captions of the printed report boxes, section "NewReport_CH" / "_EN" / "_PT".
struct ReportCaptions {
    std::string JobTitle, JobID, JobContractor, JobCustomer, JobFile, JobDate, JobOperator,
        JobComment, EventTitle, ConfigTitle, ConfigOrigin, ConfigOriginLocation, ConfigOriginCable,
        ConfigOriginFiber, ConfigOriginColor, ConfigEnd, ConfigEndLocation, ConfigEndCable,
        ConfigEndFiber, ConfigEndColor, ConfigWave, ConfigIndex, ConfigPulse, ConfigRange,
        ConfigAverage, ConfigResolution, ConfigRBS, ConfigLossTH, ConfigReflectionTH,
        ConfigEndFiberTH, TraceTitle;
};

// Report settings, one text per configuration key; numbers are kept as their decimal text
// (read them with configTextToInt). Arrays are indexed from 0: Item[0] is key "Item1".
struct ReportSettings {
    // "RepLayListLay" (per language)
    std::string ListFormat, TotalLossOnOff, AddAbnormality;
    // "RepLayWaveLay" (per language)
    std::string Print, Direction, NumberOfWaveLength, MeasureDir, OutputSort, EventSort,
        UpDownSort, FileFormat, NumberOfFiber, StartOfFiberNo, Folder1, Folder2;
    // "RepLayWaveLay" "WaveList": always the plain section, shared by all languages
    std::string WaveList;
    // "RepLayListTitle" (per language)
    std::string Heading;
    std::array<std::string, 12> Item, Edit;
    std::array<std::string, 16> ComboBox;
    // "RepLayWaveHeader" (per language): loaded, never written back
    std::string FirstTime;
    std::array<std::string, 6> HeaderItem, HeaderEdit;
    std::array<std::string, 10> HeaderComboBox;
    // Carried values of the plain sections "RepLayListTotalList", "RepLayFileSelect",
    // "FileSelOption"
    std::string Add, SetOptionSort, BeAdapted, WLIndex;
    // "NewReport_CH" / "_EN" / "_PT": loaded, never written back
    ReportCaptions captions;
};

// The process-wide records.
DisplaySettings& displaySettings();
AnalysisSettings& analysisSettings();
InstrumentSettings& instrumentSettings();
ReportSettings& reportSettings();

// Section name of a per-language report section: base for language 0, base + "_EN" for 1,
// base + "_PT" for 2 (any other language: the plain name).
std::string reportSection(const std::string& base, int language);
// "NewReport_CH", "NewReport_EN" or "NewReport_PT" (any other language: "NewReport_CH").
std::string reportCaptionSection(int language);

// Single groups, usable on any store and record.
void loadDisplaySettings(const ConfigStore& store, DisplaySettings& out);
// Reads the twelve colours of "Color" into the active set only (trace view start, colours page).
void loadActiveColours(const ConfigStore& store, DisplaySettings& out);
void loadAnalysisSettings(const ConfigStore& store, AnalysisSettings& out);
void loadInstrumentSettings(const ConfigStore& store, InstrumentSettings& out);
void saveInstrumentSettings(const ConfigStore& store, const InstrumentSettings& in);
void loadReportSettings(const ConfigStore& store, int language, ReportSettings& out);
void saveReportSettings(const ConfigStore& store, int language, const ReportSettings& in);

// Load groups on the process-wide store and records.
// While the main frame is constructed: colours, condition, file list, units, instrument, analysis.
// Trace colours 1..8 also become the colours of the records of trace slots 0..7: when given,
// setSlotColour(slot, colour) is called for slots 0..7 right after the colours are read.
void loadStartupSettings(const std::function<void(int slot, uint32_t colour)>& setSlotColour = nullptr);
// On language apply and at the start of report mode.
void loadReportSettings(int language);
// After the exit question: the instrument settings and the report settings of the language.
void saveExitSettings(int language);
