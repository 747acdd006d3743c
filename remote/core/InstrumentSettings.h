#pragma once
// The last known instrument settings, every value a text exactly as exchanged with the instrument.

#include <string>

namespace remote {

struct InstrumentSettings {
    std::string Language;          // "0" Chinese, "1" English
    std::string LightLevel;        // screen brightness 15..100
    std::string AutoPowerOff;      // "Never", "1", "3", "5", "10", "20", "30", "60" (minutes)
    std::string DateTime;          // "%Y-%m-%d %H:%M:%S"
    std::string TouchSreeenStatus; // "0" touch screen on, "1" off
    std::string TestWave;          // "1310", "1550", "2000" (both)
    std::string TestTime;          // 0..100
    std::string TestMode;          // "0" manual, "1" automatic
    std::string TestRange;         // metres, "100" dead-zone test, "500000" automatic
    std::string TestUnit;          // "m", "ft", "mi"
    std::string PluseWidth;        // nanoseconds, "50000" automatic
    std::string Resolution;        // "0" normal, "1" high
    std::string AutoSave;          // "1" yes, "0" no
};

} // namespace remote
