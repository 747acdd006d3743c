// Section and key names of the configuration file, in one place. The names are those of existing
// configuration files and must not change.
#pragma once

namespace cfg {

// Language of the user interface: "0", "1" or "2".
inline constexpr const char* kLanguage = "Language";
inline constexpr const char* kLanguageOpt = "LanguageOpt";

// Display colours, "%u" of 0x00BBGGRR.
inline constexpr const char* kColor = "Color";
inline constexpr const char* kTraceColourKeys[8] = {"Trace1", "Trace2", "Trace3", "Trace4",
                                                    "Trace5", "Trace6", "Trace7", "Trace8"};
inline constexpr const char* kBack = "Back";
inline constexpr const char* kGrid = "Grid";
inline constexpr const char* kEventMarker = "EventMarker";
inline constexpr const char* kCursor = "Cursor";

// "Condition": "Grid" ("0" shows the grid), "Cursor", "Ghost" (zero-flags).
inline constexpr const char* kCondition = "Condition";
inline constexpr const char* kGhost = "Ghost";

// "FileList" "MultiMode" (nonzero-flag).
inline constexpr const char* kFileList = "FileList";
inline constexpr const char* kMultiMode = "MultiMode";

// "Unit": "Figure" (dB decimals), "DFigure" (distance decimals), "Distance" ("m", "ft", "mi").
inline constexpr const char* kUnit = "Unit";
inline constexpr const char* kFigure = "Figure";
inline constexpr const char* kDFigure = "DFigure";
inline constexpr const char* kDistance = "Distance";

// "EventAnal": thresholds "%.2f" or "0", backscatter "%.2f", refraction "%.4f".
inline constexpr const char* kEventAnal = "EventAnal";
inline constexpr const char* kBendTH = "BendTH";
inline constexpr const char* kReflectTH = "ReflectTH";
inline constexpr const char* kTermial = "Termial";
inline constexpr const char* kBackScatter = "BackScatter";
inline constexpr const char* kBackScatter1550 = "BackScatter1550";
inline constexpr const char* kBackScatter1625 = "BackScatter1625";
inline constexpr const char* kRefraction = "Refraction";
inline constexpr const char* kRefraction1550 = "Refraction1550";
inline constexpr const char* kRefraction1625 = "Refraction1625";

// "RemoteSetting": "Ip" ("%d.%d.%d.%d"), "Port" ("%d").
inline constexpr const char* kRemoteSetting = "RemoteSetting";
inline constexpr const char* kIp = "Ip";
inline constexpr const char* kPort = "Port";

// "OTDR": the instrument settings, texts as exchanged with the instrument.
inline constexpr const char* kOtdr = "OTDR";
inline constexpr const char* kOtdrLanguage = "Language";
inline constexpr const char* kLightLevel = "LightLevel";
inline constexpr const char* kAutoPowerOff = "AutoPowerOff";
inline constexpr const char* kTouchSreeenStatus = "TouchSreeenStatus";
inline constexpr const char* kTestWave = "TestWave";
inline constexpr const char* kTestTime = "TestTime";
inline constexpr const char* kTestMode = "TestMode";
inline constexpr const char* kTestRange = "TestRange";
inline constexpr const char* kTestUnit = "TestUnit";
inline constexpr const char* kPluseWidth = "PluseWidth";
inline constexpr const char* kResolution = "Resolution";
inline constexpr const char* kAutoSave = "AutoSave";
inline constexpr const char* kStrTestRange = "strTestRange";

// "PrintSetting": content flags (nonzero-flags, "%d") and printout header texts.
inline constexpr const char* kPrintSetting = "PrintSetting";
inline constexpr const char* kSelectLogo = "SelectLogo";
inline constexpr const char* kSelectJob = "SelectJob";
inline constexpr const char* kSelectConfig = "SelectConfig";
inline constexpr const char* kSelectComment = "SelectComment";
inline constexpr const char* kSelectTrace = "SelectTrace";
inline constexpr const char* kSelectEvent = "SelectEvent";
inline constexpr const char* kSelfDefine = "SelfDefine";
inline constexpr const char* kJob = "Job";
inline constexpr const char* kContractor = "Contractor";
inline constexpr const char* kCustomer = "Customer";
inline constexpr const char* kOperator = "Operator";
inline constexpr const char* kComment = "Comment";
inline constexpr const char* kOriginLocation = "OriginLocation";
inline constexpr const char* kOriginCable = "OriginCable";
inline constexpr const char* kOriginFiber = "OriginFiber";
inline constexpr const char* kOriginColor = "OriginColor";
inline constexpr const char* kEndLocation = "EndLocation";
inline constexpr const char* kEndCable = "EndCable";
inline constexpr const char* kEndFiber = "EndFiber";
inline constexpr const char* kEndColor = "EndColor";
inline constexpr const char* kWavelength = "Wavelength";
inline constexpr const char* kPulse = "Pulse";
inline constexpr const char* kRange = "Range";
inline constexpr const char* kLossThreshold = "LossThreshold";
inline constexpr const char* kReflectionThreshold = "ReflectionThreshold";
inline constexpr const char* kEndThreshold = "EndThreshold";
inline constexpr const char* kBackscatterCoeff = "BackscatterCoeff";
inline constexpr const char* kIndex = "Index";
inline constexpr const char* kAverage = "Average";

// "ExcelOut" "Path".
inline constexpr const char* kExcelOut = "ExcelOut";
inline constexpr const char* kPath = "Path";

// Report sections. The per-language ones take a suffix by language (see reportSection()).
inline constexpr const char* kRepLayListTotalList = "RepLayListTotalList"; // "Add"
inline constexpr const char* kRepLayFileSelect = "RepLayFileSelect";       // "SetOptionSort"
inline constexpr const char* kFileSelOption = "FileSelOption";             // "BeAdapted", "WLIndex"
inline constexpr const char* kRepLayListLay = "RepLayListLay";
inline constexpr const char* kRepLayWaveLay = "RepLayWaveLay";
inline constexpr const char* kRepLayListTitle = "RepLayListTitle";
inline constexpr const char* kRepLayWaveHeader = "RepLayWaveHeader";
inline constexpr const char* kWaveList = "WaveList";
inline constexpr const char* kFolder1 = "Folder1";
inline constexpr const char* kHeading = "Heading";

} // namespace cfg
