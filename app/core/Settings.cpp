#include "Settings.h"

#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "IniFile.h"

#include <string_view>

DisplaySettings& displaySettings()
{
    static DisplaySettings s;
    return s;
}

AnalysisSettings& analysisSettings()
{
    static AnalysisSettings s;
    return s;
}

InstrumentSettings& instrumentSettings()
{
    static InstrumentSettings s;
    return s;
}

ReportSettings& reportSettings()
{
    static ReportSettings s;
    return s;
}

std::string reportSection(const std::string& base, int language)
{
    switch (language) {
    case 1: return base + "_EN";
    case 2: return base + "_PT";
    default: return base;
    }
}

std::string reportCaptionSection(int language)
{
    switch (language) {
    case 1: return "NewReport_EN";
    case 2: return "NewReport_PT";
    default: return "NewReport_CH";
    }
}

// ---- Display, analysis, instrument -----------------------------------------------------------

void loadActiveColours(const ConfigStore& store, DisplaySettings& out)
{
    for (int i = 0; i < 8; ++i)
        out.traceColour[size_t(i)] = store.readColour(cfg::kColor, cfg::kTraceColourKeys[i]);
    out.backgroundColour = store.readColour(cfg::kColor, cfg::kBack);
    out.gridColour = store.readColour(cfg::kColor, cfg::kGrid);
    out.eventMarkerColour = store.readColour(cfg::kColor, cfg::kEventMarker);
    out.cursorColour = store.readColour(cfg::kColor, cfg::kCursor);
}

void loadDisplaySettings(const ConfigStore& store, DisplaySettings& out)
{
    loadActiveColours(store, out);
    out.storedTraceColour = out.traceColour;
    out.storedBackgroundColour = out.backgroundColour;
    out.storedGridColour = out.gridColour;
    out.storedEventMarkerColour = out.eventMarkerColour;
    out.storedCursorColour = out.cursorColour;

    out.gridShown = store.readZeroFlag(cfg::kCondition, cfg::kGrid) ? 1 : 0;
    out.previewCursor = store.readZeroFlag(cfg::kCondition, cfg::kCursor) ? 1 : 0;
    out.previewGhost = store.readZeroFlag(cfg::kCondition, cfg::kGhost) ? 1 : 0;
    out.multiTraceDisplay = store.readNonzeroFlag(cfg::kFileList, cfg::kMultiMode) ? 1 : 0;
    out.dbDecimals = store.readInt(cfg::kUnit, cfg::kFigure);
    out.distanceDecimals = store.readInt(cfg::kUnit, cfg::kDFigure);
    out.distanceUnit = store.read(cfg::kUnit, cfg::kDistance);
}

void loadAnalysisSettings(const ConfigStore& store, AnalysisSettings& out)
{
    auto f = [&](const char* key) { return static_cast<float>(store.readFloat(cfg::kEventAnal, key)); };
    out.BendTH = f(cfg::kBendTH);
    out.ReflectTH = f(cfg::kReflectTH);
    out.Termial = f(cfg::kTermial);
    out.BackScatter = f(cfg::kBackScatter);
    out.BackScatter1550 = f(cfg::kBackScatter1550);
    out.BackScatter1625 = f(cfg::kBackScatter1625);
    out.Refraction = f(cfg::kRefraction);
    out.Refraction1550 = f(cfg::kRefraction1550);
    out.Refraction1625 = f(cfg::kRefraction1625);
}

namespace {

// The twelve stored instrument keys, in file order, with their fields.
template <typename S, typename F>
void forEachInstrumentKey(S& s, F&& f)
{
    f(cfg::kOtdrLanguage, s.Language);
    f(cfg::kLightLevel, s.LightLevel);
    f(cfg::kAutoPowerOff, s.AutoPowerOff);
    f(cfg::kTouchSreeenStatus, s.TouchSreeenStatus);
    f(cfg::kTestWave, s.TestWave);
    f(cfg::kTestTime, s.TestTime);
    f(cfg::kTestMode, s.TestMode);
    f(cfg::kTestRange, s.TestRange);
    f(cfg::kTestUnit, s.TestUnit);
    f(cfg::kPluseWidth, s.PluseWidth);
    f(cfg::kResolution, s.Resolution);
    f(cfg::kAutoSave, s.AutoSave);
}

} // namespace

void loadInstrumentSettings(const ConfigStore& store, InstrumentSettings& out)
{
    forEachInstrumentKey(out, [&](const char* key, std::string& field) { field = store.read(cfg::kOtdr, key); });
}


// ---- Report settings -------------------------------------------------------------------------

namespace {

enum class Where {
    PerLanguage, // base section with the language suffix
    Plain,       // the section as named, for every language
    Caption,     // "NewReport_CH" / "_EN" / "_PT"
};

// Calls f(where, sectionBase, key, field, writtenAtExit) for every report key, in load order.
template <typename R, typename F>
void forEachReportKey(R& r, F&& f)
{
    const std::string listLay = cfg::kRepLayListLay;
    const std::string waveLay = cfg::kRepLayWaveLay;
    const std::string listTitle = cfg::kRepLayListTitle;
    const std::string waveHeader = cfg::kRepLayWaveHeader;

    f(Where::PerLanguage, listLay, "ListFormat", r.ListFormat, true);
    f(Where::PerLanguage, waveLay, "Print", r.Print, true);
    f(Where::PerLanguage, waveLay, "Direction", r.Direction, true);
    f(Where::Plain, waveLay, "WaveList", r.WaveList, true);

    f(Where::PerLanguage, listTitle, "Heading", r.Heading, true);
    for (size_t i = 0; i < r.Item.size(); ++i)
        f(Where::PerLanguage, listTitle, "Item" + std::to_string(i + 1), r.Item[i], true);
    for (size_t i = 0; i < r.Edit.size(); ++i)
        f(Where::PerLanguage, listTitle, "Edit" + std::to_string(i + 1), r.Edit[i], true);
    for (size_t i = 0; i < r.ComboBox.size(); ++i)
        f(Where::PerLanguage, listTitle, "ComboBox" + std::to_string(i + 1), r.ComboBox[i], true);

    f(Where::PerLanguage, waveLay, "NumberOfWaveLength", r.NumberOfWaveLength, true);
    f(Where::PerLanguage, waveLay, "MeasureDir", r.MeasureDir, true);
    f(Where::PerLanguage, waveLay, "OutputSort", r.OutputSort, true);
    f(Where::PerLanguage, waveLay, "EventSort", r.EventSort, true);
    f(Where::PerLanguage, waveLay, "UpDownSort", r.UpDownSort, true);
    f(Where::PerLanguage, waveLay, "FileFormat", r.FileFormat, true);
    f(Where::PerLanguage, waveLay, "NumberOfFiber", r.NumberOfFiber, true);
    f(Where::PerLanguage, waveLay, "StartOfFiberNo", r.StartOfFiberNo, true);

    f(Where::PerLanguage, waveHeader, "FirstTime", r.FirstTime, false);
    for (size_t i = 0; i < r.HeaderItem.size(); ++i)
        f(Where::PerLanguage, waveHeader, "Item" + std::to_string(i + 1), r.HeaderItem[i], false);
    for (size_t i = 0; i < r.HeaderEdit.size(); ++i)
        f(Where::PerLanguage, waveHeader, "Edit" + std::to_string(i + 1), r.HeaderEdit[i], false);
    for (size_t i = 0; i < r.HeaderComboBox.size(); ++i)
        f(Where::PerLanguage, waveHeader, "ComboBox" + std::to_string(i + 1), r.HeaderComboBox[i], false);

    f(Where::Plain, std::string(cfg::kRepLayListTotalList), "Add", r.Add, true);
    f(Where::PerLanguage, listLay, "TotalLossOnOff", r.TotalLossOnOff, true);
    f(Where::PerLanguage, listLay, "AddAbnormality", r.AddAbnormality, true);
    f(Where::PerLanguage, waveLay, "Folder1", r.Folder1, true);
    f(Where::PerLanguage, waveLay, "Folder2", r.Folder2, true);
    f(Where::Plain, std::string(cfg::kRepLayFileSelect), "SetOptionSort", r.SetOptionSort, true);
    f(Where::Plain, std::string(cfg::kFileSelOption), "BeAdapted", r.BeAdapted, true);
    f(Where::Plain, std::string(cfg::kFileSelOption), "WLIndex", r.WLIndex, true);

    auto& c = r.captions;
    const std::string none;
    f(Where::Caption, none, "JobTitle", c.JobTitle, false);
    f(Where::Caption, none, "JobID", c.JobID, false);
    f(Where::Caption, none, "JobContractor", c.JobContractor, false);
    f(Where::Caption, none, "JobCustomer", c.JobCustomer, false);
    f(Where::Caption, none, "JobFile", c.JobFile, false);
    f(Where::Caption, none, "JobDate", c.JobDate, false);
    f(Where::Caption, none, "JobOperator", c.JobOperator, false);
    f(Where::Caption, none, "JobComment", c.JobComment, false);
    f(Where::Caption, none, "EventTitle", c.EventTitle, false);
    f(Where::Caption, none, "ConfigTitle", c.ConfigTitle, false);
    f(Where::Caption, none, "ConfigOrigin", c.ConfigOrigin, false);
    f(Where::Caption, none, "ConfigOriginLocation", c.ConfigOriginLocation, false);
    f(Where::Caption, none, "ConfigOriginCable", c.ConfigOriginCable, false);
    f(Where::Caption, none, "ConfigOriginFiber", c.ConfigOriginFiber, false);
    f(Where::Caption, none, "ConfigOriginColor", c.ConfigOriginColor, false);
    f(Where::Caption, none, "ConfigEnd", c.ConfigEnd, false);
    f(Where::Caption, none, "ConfigEndLocation", c.ConfigEndLocation, false);
    f(Where::Caption, none, "ConfigEndCable", c.ConfigEndCable, false);
    f(Where::Caption, none, "ConfigEndFiber", c.ConfigEndFiber, false);
    f(Where::Caption, none, "ConfigEndColor", c.ConfigEndColor, false);
    f(Where::Caption, none, "ConfigWave", c.ConfigWave, false);
    f(Where::Caption, none, "ConfigIndex", c.ConfigIndex, false);
    f(Where::Caption, none, "ConfigPulse", c.ConfigPulse, false);
    f(Where::Caption, none, "ConfigRange", c.ConfigRange, false);
    f(Where::Caption, none, "ConfigAverage", c.ConfigAverage, false);
    f(Where::Caption, none, "ConfigResolution", c.ConfigResolution, false);
    f(Where::Caption, none, "ConfigRBS", c.ConfigRBS, false);
    f(Where::Caption, none, "ConfigLossTH", c.ConfigLossTH, false);
    f(Where::Caption, none, "ConfigReflectionTH", c.ConfigReflectionTH, false);
    f(Where::Caption, none, "ConfigEndFiberTH", c.ConfigEndFiberTH, false);
    f(Where::Caption, none, "TraceTitle", c.TraceTitle, false);
}

std::string sectionFor(Where where, const std::string& base, int language)
{
    switch (where) {
    case Where::PerLanguage: return reportSection(base, language);
    case Where::Caption: return reportCaptionSection(language);
    case Where::Plain: break;
    }
    return base;
}

} // namespace

void loadReportSettings(const ConfigStore& store, int language, ReportSettings& out)
{
    // One read of the file for all of the keys; each value is cut as a single read would be.
    const auto doc = store.document();
    forEachReportKey(out, [&](Where where, const std::string& base, const std::string& key, std::string& field, bool) {
        auto value = doc->get(sectionFor(where, base, language), key);
        field = value ? cutToChars(*value) : std::string{};
    });
}

namespace {

void setReportKeys(IniDocument& doc, int language, const ReportSettings& in)
{
    forEachReportKey(in, [&](Where where, const std::string& base, const std::string& key, const std::string& field,
                             bool writtenAtExit) {
        if (writtenAtExit)
            doc.set(sectionFor(where, base, language), key, field);
    });
}

void setInstrumentKeys(IniDocument& doc, const InstrumentSettings& in)
{
    forEachInstrumentKey(in, [&](const char* key, const std::string& field) { doc.set(cfg::kOtdr, key, field); });
    doc.set(cfg::kOtdr, cfg::kStrTestRange, in.TestRange);
}

} // namespace

void saveReportSettings(const ConfigStore& store, int language, const ReportSettings& in)
{
    store.update([&](IniDocument& doc) { setReportKeys(doc, language, in); });
}

// ---- Load groups on the process-wide records -------------------------------------------------

void loadStartupSettings(const std::function<void(int slot, uint32_t colour)>& setSlotColour)
{
    const ConfigStore& store = configStore();
    loadDisplaySettings(store, displaySettings());
    if (setSlotColour)
        for (int slot = 0; slot < 8; ++slot)
            setSlotColour(slot, displaySettings().traceColour[size_t(slot)]);
    loadInstrumentSettings(store, instrumentSettings());
    loadAnalysisSettings(store, analysisSettings());
}

void loadReportSettings(int language) { loadReportSettings(configStore(), language, reportSettings()); }

void saveInstrumentSettings(const ConfigStore& store, const InstrumentSettings& in)
{
    store.update([&](IniDocument& doc) { setInstrumentKeys(doc, in); });
}

void saveExitSettings(int language)
{
    // Instrument and report keys in one atomic update of the file.
    configStore().update([&](IniDocument& doc) {
        setInstrumentKeys(doc, instrumentSettings());
        setReportKeys(doc, language, reportSettings());
    });
}
