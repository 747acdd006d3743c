#pragma once
// Control identifiers of the remote-connection dialog and the instrument settings pages. Widgets
// carry them as object names (decimal text) and as the "controlId" property.

namespace remote::ids {

// Commands of the main frame.
constexpr int kCmdRemoteConnect = 32776;
constexpr int kCmdRemoteSetting = 32777;

// Remote-connection dialog (resource 173).
constexpr int kDlgRemoteConn = 173;
constexpr int kIpAddress = 1530;
constexpr int kPortEdit = 1009;
constexpr int kConnect = 1533;
constexpr int kDisconnect = 1534;
constexpr int kIpLabel = 1531;
constexpr int kPortLabel = 1532;

// Both settings pages.
constexpr int kOtdrToPc = 1615;
constexpr int kPcToOtdr = 1616;

// System page (resource 175).
constexpr int kPageSystem = 175;
constexpr int kLangEnglish = 1001;
constexpr int kLangChinese = 1002;
constexpr int kPowerOffNever = 1003;
constexpr int kPowerOff1 = 1004;
constexpr int kPowerOff3 = 1009;
constexpr int kPowerOff5 = 1005;
constexpr int kPowerOff10 = 1010;
constexpr int kPowerOff20 = 1011;
constexpr int kPowerOff30 = 1006;
constexpr int kPowerOff60 = 1012;
constexpr int kTouchOn = 1007;
constexpr int kTouchOff = 1008;
constexpr int kBrightnessSlider = 1542;
constexpr int kDatePicker = 1539;
constexpr int kTimePicker = 1540;
constexpr int kGroupLanguage = 1535;
constexpr int kGroupPowerOff = 1536;
constexpr int kGroupBrightness = 1545;
constexpr int kGroupDate = 1543;
constexpr int kGroupTime = 1544;
constexpr int kGroupTouch = 1537;

// Test page (resource 138).
constexpr int kPageTest = 138;
constexpr int kWave1310 = 1021;
constexpr int kWave1550 = 1022;
constexpr int kWaveDual = 1023;
constexpr int kResolutionNormal = 1056;
constexpr int kResolutionHigh = 1055;
constexpr int kAutoSaveYes = 1057;
constexpr int kAutoSaveNo = 1058;
constexpr int kTestTimeEdit = 1033;
constexpr int kTestTimeSpin = 1034;
constexpr int kModeManual = 1050;
constexpr int kModeAuto = 1051;
constexpr int kRange500m = 1026;
constexpr int kRange2km = 1027;
constexpr int kRange5km = 1028;
constexpr int kRange10km = 1029;
constexpr int kRange20km = 1030;
constexpr int kRange40km = 1031;
constexpr int kRange80km = 1032;
constexpr int kRange120km = 1052;
constexpr int kRange160km = 1035;
constexpr int kRangeDeadZone = 1036;
constexpr int kRangeAuto = 1037;
constexpr int kUnitKm = 1462;
constexpr int kUnitKfeet = 1025;
constexpr int kUnitMiles = 1053;
constexpr int kPulse3 = 1054;
constexpr int kPulse5 = 1038;
constexpr int kPulse10 = 1039;
constexpr int kPulse20 = 1040;
constexpr int kPulse50 = 1041;
constexpr int kPulse100 = 1042;
constexpr int kPulse200 = 1043;
constexpr int kPulse500 = 1044;
constexpr int kPulse1000 = 1045;
constexpr int kPulse2000 = 1046;
constexpr int kPulse5000 = 1047;
constexpr int kPulse10000 = 1048;
constexpr int kPulseAuto = 1049;
constexpr int kGroupWave = 1201;
constexpr int kGroupResolution = 1204;
constexpr int kGroupAutoSave = 1645;
constexpr int kGroupTestTime = 1205;
constexpr int kGroupMode = 1206;
constexpr int kGroupRange = 1202;
constexpr int kGroupUnit = 1207;
constexpr int kGroupPulse = 1203;

} // namespace remote::ids
