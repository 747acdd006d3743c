// Helpers for the SOR component's tests: fixture files, synthetic records.
#pragma once

#include "SorFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sortest {

inline std::filesystem::path fixtureDir()
{
    return std::filesystem::path(OTDR_FIXTURES) / "sor";
}

inline std::vector<uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A record as a program would build it: two data sets, three events (one without carried
// extras), an opaque maker block.
inline SORDATA syntheticRecord(int version)
{
    SORDATA d;
    d.carried.version = version;
    for (int s = 0; s < 2; ++s) {
        SorDataSet set;
        set.scaleFactor = static_cast<uint16_t>(1000 + s);
        for (int i = 0; i < 5000 + s * 7; ++i)
            set.samples.push_back(static_cast<uint16_t>((i * 37 + s * 1000) & 0xFFFF));
        set.pointCount = static_cast<uint32_t>(set.samples.size());
        d.dataSets.push_back(std::move(set));
    }
    d.range = 20000;
    d.pulseWidth = 100;
    d.wavelength = 1550;
    d.samplingRate = 50.0f;
    d.refractiveIndex = 1.4685f;
    d.groupIndex = 146850;
    d.backscatterCoeff = -81.5f;
    d.lossThreshold = 0.05f;
    d.reflectanceThreshold = -65.0f;
    d.endThreshold = 3.0f;
    d.acquisitionOffset = -120;
    d.timeStamp = 1700000000;
    d.userOffset = 250;
    d.averages = 4096;
    d.carried.genParams.cableId = "Cable \"7\"";
    d.carried.genParams.operatorName = "Ana";
    d.carried.supParams.supplier = "Test maker";
    d.carried.eventSummary.endToEndLoss = 4321;
    d.carried.eventSummary.opticalReturnLoss = 35000;

    SorKeyEvent start;
    start.propagationTime = 0;
    start.reflectance = -45000;
    start.eventCode = "1F9999";
    start.lossTechnique = "LS";
    start.further = SorEventFurther{1, {0, 0, 10, 20, 5}, "launch"};
    SorKeyEvent splice;
    splice.propagationTime = 48961;
    splice.attenuation = 345;
    splice.eventLoss = -120;
    splice.eventCode = "0A9999";
    splice.lossTechnique = "2P";
    SorKeyEvent end;
    end.propagationTime = 97922;
    end.attenuation = 340;
    end.eventLoss = 25000;
    end.reflectance = -14000;
    end.eventCode = "1E9999";
    end.lossTechnique = "LS";
    end.further = SorEventFurther{3, {1, 2, 3, 4, 5}, ""};
    d.keyEvents = {start, splice, end};

    SorBlock maker;
    maker.name = "MakerBlock";
    maker.revision = version == 2 ? 210 : 110;
    maker.bytes = {'M', 'a', 'k', 'e', 'r', 'B', 'l', 'o', 'c', 'k', 0, 1, 2, 3, 0xFF};
    d.carried.blocks.push_back(maker);
    return d;
}

} // namespace sortest
