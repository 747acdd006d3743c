// Lookups shared by every step: pulse-width index, analysis window, distance scale, nominal attenuation.
#include "EngineInternal.h"
#include "SampleAccess.h"

namespace dravik {

int pulseWidthIndex(int pulseWidthNs)
{
    static constexpr int widths[] = {3, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    for (int p = 0; p < 12; ++p)
        if (widths[p] == pulseWidthNs)
            return p;
    return 12;
}

int analysisWindow(int pulseWidthNs, float sampleRateMHz)
{
    // Rows: pulse-width index; columns: k = 1, 2, 4, 8, 16, any other k.
    static constexpr int table[13][6] = {
        {1, 2, 3, 5, 10, 5},           {4, 6, 7, 8, 10, 10},          {5, 7, 8, 9, 10, 10},
        {6, 7, 8, 12, 14, 15},         {12, 18, 20, 40, 70, 100},     {30, 40, 80, 120, 140, 30},
        {40, 60, 80, 140, 140, 50},    {50, 100, 160, 180, 220, 100}, {80, 160, 200, 240, 280, 120},
        {120, 200, 240, 280, 320, 160}, {180, 240, 280, 320, 400, 120}, {300, 350, 400, 500, 600, 200},
        {450, 450, 500, 550, 700, 200},
    };
    // k = f / 25 truncated, at least 1. Computed without converting huge or non-finite rates to int.
    const double q = static_cast<double>(sampleRateMHz) / 25.0;
    int column = 5;
    if (!(q >= 2))
        column = 0; // below 2, including negative and NaN rates: k = 1
    else if (q < 3)
        column = 1;
    else if (q >= 4 && q < 5)
        column = 2;
    else if (q >= 8 && q < 9)
        column = 3;
    else if (q >= 16 && q < 17)
        column = 4;
    return table[pulseWidthIndex(pulseWidthNs)][column];
}

double kmPerSample(float refractiveIndex, float sampleRateMHz)
{
    const Params p{0, 0, refractiveIndex, sampleRateMHz, 0};
    if (!hasDistanceScale(p))
        return 0;
    return (300.0 / refractiveIndex) * (1.0 / sampleRateMHz) / 2000.0;
}

float nominalAttenuation(int wavelengthNm)
{
    switch (wavelengthNm) {
    case 1310: return 0.35f;
    case 1550: return 0.182f;
    case 1625: return 0.192f;
    default: return 0.0f;
    }
}

} // namespace dravik
