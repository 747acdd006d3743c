#pragma once

// Control, command and resource identifiers of the program, one place for all subsystems.
// Widgets that carry one of these expose it as the object name "id_<number>" and as the
// dynamic property "otdrId" (see otdrTagWidget in uikit/OtdrIds.h), so that tests find
// "button 1004 of the waveform view" by the number the design documents use.
//
// Keep the groups by subsystem; identifiers may repeat across groups because each dialog
// has its own numbering (as 1004 does below).

namespace otdr::ids {

// ---- Application shell: menus, toolbar, frame -------------------------------------------
// Menu resources of the three interface languages.
inline constexpr int kMenuChinese = 129;
inline constexpr int kMenuEnglish = 195;
inline constexpr int kMenuPortuguese = 224;
// Toolbar resource and its image strips.
inline constexpr int kToolbar = 128;
inline constexpr int kToolbarBitmapNormal = 155;
inline constexpr int kToolbarBitmapDisabled = 154;
// About box.
inline constexpr int kAboutDialog = 100;
// Resource text shown when the object runtime cannot start.
inline constexpr int kTextOleInitFailed = 100;
// Remote-connection dialog template.
inline constexpr int kRemoteConnDialog = 173;

// Commands (menu items and toolbar buttons share them).
inline constexpr int kCmdOpenFile = 32778;
inline constexpr int kCmdSaveFile = 32779;
inline constexpr int kCmdPrint = 32781;
inline constexpr int kCmdPrintPreview = 32782;
inline constexpr int kCmdPrintSetting = 32837;
inline constexpr int kCmdExit = 57665;
inline constexpr int kCmdRemoteConnect = 32776;
inline constexpr int kCmdRemoteSetting = 32777;
inline constexpr int kCmdLanguageChinese = 32787;
inline constexpr int kCmdLanguageEnglish = 32788;
inline constexpr int kCmdLanguagePortuguese = 32805;
inline constexpr int kCmdWaveWindow = 32773;
inline constexpr int kCmdThumbnailWindow = 32793;
inline constexpr int kCmdEventWindow = 32783;
inline constexpr int kCmdWaveScreenSetting = 32784;
inline constexpr int kCmdOriginalSetting = 32794;
inline constexpr int kCmdAutoSearch = 32790;
inline constexpr int kCmdAnalyseCondition = 32791;
inline constexpr int kCmdReportWizard = 32785;
inline constexpr int kCmdHelpContent = 32792;
inline constexpr int kCmdAbout = 57664;

// ---- Waveform view (trace view buttons) --------------------------------------------------
inline constexpr int kWaveAddEvent = 1004;
inline constexpr int kWaveDeleteEvent = 1005;

// ---- Screen settings sheet ----------------------------------------------------------------
// Property-sheet buttons.
inline constexpr int kSheetOk = 1;
inline constexpr int kSheetCancel = 2;
inline constexpr int kSheetHelp = 9;
inline constexpr int kSheetApply = 12321;
// Page templates.
inline constexpr int kColourPage = 160;
inline constexpr int kUnitPage = 161;
inline constexpr int kGridPage = 165;
// Colours page: swatches 1447, 1449 .. 1469 (odd numbers), change buttons 1000 .. 1011.
inline constexpr int kColourSwatchFirst = 1447;
inline constexpr int kColourButtonFirst = 1000;
inline constexpr int kColourPreview = 1471;
inline constexpr int kColourGroupWave = 1562;
inline constexpr int kColourGroupBackAndGrid = 1473;
inline constexpr int kColourGroupOther = 1472;
inline constexpr int kColourGroupPreview = 1438;
// Units page.
inline constexpr int kUnitDb3 = 1442;
inline constexpr int kUnitDb2 = 1443;
inline constexpr int kUnitDb1 = 1444;
inline constexpr int kUnitDist5 = 1450;
inline constexpr int kUnitDist4 = 1451;
inline constexpr int kUnitDist3 = 1460;
inline constexpr int kUnitKm = 1462;
inline constexpr int kUnitMiles = 1463;
inline constexpr int kUnitKfeet = 1464;
// Grid page.
inline constexpr int kGridShow = 1435;
inline constexpr int kGridHide = 1436;
inline constexpr int kGridGroup = 1437;
inline constexpr int kGridGroupPreview = 1438;
inline constexpr int kGridPreview = 1440;

// ---- Trace views: plot, waveform view, trace list panel, thumbnail -------------------------
// Waveform view (dialog 105); 1004 and 1005 are kWaveAddEvent and kWaveDeleteEvent above.
inline constexpr int kWaveView = 105;
inline constexpr int kWaveZoomHIn = 1000;
inline constexpr int kWaveZoomHOut = 1001;
inline constexpr int kWaveShowAll = 1002;
inline constexpr int kWaveZoomVIn = 1009;
inline constexpr int kWaveZoomVOut = 1010;
inline constexpr int kWaveNextEvent = 1011;
inline constexpr int kWavePrevEvent = 1012;
inline constexpr int kWaveCursorButton = 1013;
inline constexpr int kWaveMarkersCheck = 1734;
inline constexpr int kWaveMarkersIndependent = 1664;
inline constexpr int kWaveMarkersLinked = 1665;
inline constexpr int kWaveOffsetEdit = 1644;
inline constexpr int kWaveOffsetSpin = 1661;
inline constexpr int kWaveFirstDistance = 1388;
inline constexpr int kWaveLastDistance = 1389;
inline constexpr int kWaveDistancePerDiv = 1386;
inline constexpr int kWaveLevelPerDiv = 1387;
inline constexpr int kWaveLevelHidden = 1390;
inline constexpr int kWavePlot = 1391;
// Trace plot context menu (menu 231) and its commands.
inline constexpr int kPlotMenu = 231;
inline constexpr int kCmdPlotMarkers = 32842;
inline constexpr int kCmdPlotScaleText = 32843;
inline constexpr int kCmdPlotEventMarks = 32845;
// Trace list panel (dialog 156).
inline constexpr int kWaveLeftPanel = 156;
inline constexpr int kLeftMultiTrace = 1005;
inline constexpr int kLeftTraceList = 1392;
inline constexpr int kLeftConditionsGroup = 1553;
inline constexpr int kLeftWavelengthLabel = 1397;
inline constexpr int kLeftWavelength = 1394;
inline constexpr int kLeftPulseLabel = 1396;
inline constexpr int kLeftPulse = 1395;
inline constexpr int kLeftRangeLabel = 1398;
inline constexpr int kLeftRange = 1399;
inline constexpr int kLeftIndexLabel = 1400;
inline constexpr int kLeftIndex = 1401;
inline constexpr int kLeftSamplesLabel = 1406;
inline constexpr int kLeftSamples = 1407;
inline constexpr int kCmdCloseTrace = 32798;
inline constexpr int kLeftMenuChinese = 194;
inline constexpr int kLeftMenuEnglish = 208;
inline constexpr int kLeftMenuPortuguese = 225;
// Thumbnail view (dialog 158).
inline constexpr int kThumbnailView = 158;

// ---- Event table and analysis conditions -------------------------------------------------
// Event table view (dialog 106) and its list control; row icons (image 0 and image 1).
inline constexpr int kEventTableView = 106;
inline constexpr int kEventTableList = 1563;
inline constexpr int kIconEventReflective = 205;
inline constexpr int kIconEventNonReflective = 206;
// Analysis-conditions sheet: search-conditions page (dialog 174), analysis-conditions page (176).
inline constexpr int kSearchConPage = 174;
inline constexpr int kAnalConPage = 176;
// Search-conditions page: group boxes; the rows' labels, "自动" boxes, edits and arrows are
// listed with their fields in analysis/AnalysisConditions.cpp.
inline constexpr int kSearchConThresholdGroup = 1546;
inline constexpr int kSearchConBackscatterGroup = 1556;
inline constexpr int kSearchConBendAuto = 1005;
inline constexpr int kSearchConReflectAuto = 1006;
inline constexpr int kSearchConEndAuto = 1007;
// Analysis-conditions page: group box.
inline constexpr int kAnalConRefractionGroup = 1400;

// ---- Printing: print settings sheet --------------------------------------------------------
// Pages: content (dialog 227), configuration (228), job (230).
inline constexpr int kPrintContentPage = 227;
inline constexpr int kPrintConfigPage = 228;
inline constexpr int kPrintJobPage = 230;
// Content page: group box and the six check boxes (logo, job, configuration, comment, trace,
// events).
inline constexpr int kPrintContentGroup = 1695;
inline constexpr int kPrintContentChecks[6] = {1005, 1006, 1007, 1008, 1009, 1010};
// Configuration page: link edits (origin location, cable, fibre, colour, end location, cable,
// fibre, colour), measurement edits (wavelength, pulse, range, loss, reflection and end
// thresholds, backscatter, index, averages) and their labels.
inline constexpr int kPrintLinkEdits[8] = {1644, 1645, 1649, 1651, 1648, 1646, 1650, 1647};
inline constexpr int kPrintMeasurementEdits[9] = {1668, 1670, 1671, 1674, 1675, 1676, 1673, 1669, 1732};
inline constexpr int kPrintMeasurementLabels[9] = {1687, 1688, 1689, 1690, 1691, 1692, 1693, 1694, 1733};
inline constexpr int kPrintLinkColumnLabels[4] = {1681, 1682, 1683, 1684};
inline constexpr int kPrintOriginLabel = 1679;
inline constexpr int kPrintEndLabel = 1680;
inline constexpr int kPrintLinkGroup = 1678;
inline constexpr int kPrintMeasurementGroup = 1686;
inline constexpr int kPrintSelfDefine = 1026;
inline constexpr int kPrintConfigClear = 1677;
// Job page: job id, contractor, customer, operator edits; file, test time, comment; labels.
inline constexpr int kPrintJobEdits[4] = {1644, 1645, 1646, 1647};
inline constexpr int kPrintJobFile = 1670;
inline constexpr int kPrintJobTime = 1649;
inline constexpr int kPrintJobComment = 1671;
inline constexpr int kPrintJobLabels[7] = {1697, 1698, 1699, 1700, 1701, 1702, 1703};
inline constexpr int kPrintJobGroup = 1696;
inline constexpr int kPrintJobClear = 1672;

// ---- Window messages of the remote link (queued notifications) ---------------------------
inline constexpr int kMsgSocketData = 2026;
inline constexpr int kMsgSocketClosed = 2027;
inline constexpr int kMsgRemoteReply = 2028;

} // namespace otdr::ids
