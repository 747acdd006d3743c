// SOR trace files (Telcordia SR-4731, versions 1 and 2): the record exchanged with the rest of the
// program (SORDATA) and the reader / writer (CSorFile).
//
// A read keeps everything the file holds: the values the program uses are plain fields of SORDATA,
// everything else is carried in named fields (and unknown blocks as opaque bytes), so that writing
// a record that was read and not changed reproduces the file byte for byte (the checksum is always
// recomputed). A save writes every field back, so a later read returns the same values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// One data set of the DataPts block: a sample p with scale factor f is the level
// -(p x f / 1000) / 1000 dB.
struct SorDataSet {
    uint32_t pointCount = 0;            // equals samples.size()
    uint16_t scaleFactor = 1000;        // 1000 means 1.0
    std::vector<uint16_t> samples;

    bool operator==(const SorDataSet&) const = default;
};

// What a key event carries beyond the values the program uses.
struct SorEventFurther {
    uint16_t number = 0;                // event number as written in the file
    std::array<int32_t, 5> markers{};   // version 2 only: end of previous event, start of this
                                        // event, end of this event, start of next event, peak
    std::string comment;

    bool operator==(const SorEventFurther&) const = default;
};

struct SorKeyEvent {
    int32_t propagationTime = 0;        // one-way time, units of 0.1 ns
    int16_t attenuation = 0;            // fibre attenuation before the event, dB/km x 1000
    int16_t eventLoss = 0;              // dB x 1000
    int32_t reflectance = 0;            // dB x 1000
    std::string eventCode;              // six characters: type digit, code letter, four more
    std::string lossTechnique;          // two characters ("LS", "2P", "  ")
    // Empty for an event made by the program: the writer then numbers the event by its position,
    // sets every marker to the propagation time and writes an empty comment.
    std::optional<SorEventFurther> further;

    bool operator==(const SorKeyEvent&) const = default;
};

// FxdParams values the program only carries (raw file units). Lists have one entry per pulse
// width; an empty pulseWidths list lets the writer build the lists from the data sets.
struct SorFixedParams {
    std::string distanceUnits = "mt";   // two characters
    uint16_t actualWavelength = 0;      // 0.1 nm (some instruments write nm)
    int32_t acquisitionOffsetDistance = 0;   // version 2 only
    std::vector<uint16_t> pulseWidths;       // ns
    std::vector<uint32_t> dataSpacings;      // time of 10 000 points, units of 100 ps
    std::vector<uint32_t> pointCounts;       // points per pulse width
    uint16_t backscatterRaw = 0;        // units of -0.1 dB
    uint16_t averagingTime = 0;         // seconds, version 2 only
    uint32_t acquisitionRange = 0;      // units of 100 ps
    int32_t acquisitionRangeDistance = 0;    // version 2 only
    int32_t frontPanelOffset = 0;
    uint16_t noiseFloorLevel = 0;
    int16_t noiseFloorScale = 0;
    uint16_t powerOffset = 0;
    uint16_t lossThresholdRaw = 0;      // 0.001 dB
    uint16_t reflectanceThresholdRaw = 0;    // units of -0.001 dB
    uint16_t endThresholdRaw = 0;       // 0.001 dB
    std::string traceType = "ST";       // two characters, version 2 only
    std::array<int32_t, 4> windowCoordinates{};  // version 2 only

    bool operator==(const SorFixedParams&) const = default;
};

struct SorGenParams {
    std::string languageCode = "EN";    // two characters
    std::string cableId;
    std::string fibreId;
    uint16_t fibreType = 652;           // version 2 only
    uint16_t nominalWavelength = 0;     // nm
    std::string originatingLocation;
    std::string terminatingLocation;
    std::string cableCode;
    std::string currentDataFlag = "BC"; // two characters
    int32_t userOffsetDistance = 0;     // version 2 only
    std::string operatorName;
    std::string comment;

    bool operator==(const SorGenParams&) const = default;
};

struct SorSupParams {
    std::string supplier;
    std::string mainframeId;
    std::string mainframeSerial;
    std::string moduleId;
    std::string moduleSerial;
    std::string softwareRevision;
    std::string other;

    bool operator==(const SorSupParams&) const = default;
};

// The values after the events of the KeyEvents block.
struct SorEventSummary {
    int32_t endToEndLoss = 0;           // dB x 1000
    std::array<int32_t, 2> endToEndMarkers{};
    uint16_t opticalReturnLoss = 0;     // dB x 1000
    std::array<int32_t, 2> returnLossMarkers{};

    bool operator==(const SorEventSummary&) const = default;
};

// One block in file order after the map. For a block the reader interprets (GenParams, SupParams,
// FxdParams, KeyEvents, DataPts, Cksum), `bytes` holds only what follows its known fields; for any
// other block it holds the whole block as it stands in the file.
struct SorBlock {
    std::string name;
    uint16_t revision = 0;
    bool interpreted = false;
    bool nameHeader = true;             // version 2: the block starts with its own name
    std::vector<uint8_t> bytes;

    bool operator==(const SorBlock&) const = default;
};

// The program-facing values as they were derived by the last read. A save compares each value
// with this snapshot and re-encodes only the values the caller changed, so unchanged values keep
// their exact file encoding.
struct SorValuesAsRead {
    int32_t range = 0;
    int32_t pulseWidth = 0;
    int32_t wavelength = 0;
    float samplingRate = 0.0f;
    float refractiveIndex = 0.0f;
    float sampleSpacing = 0.0f;
    float backscatterCoeff = 0.0f;
    float lossThreshold = 0.0f;
    float reflectanceThreshold = 0.0f;
    float endThreshold = 0.0f;
    int32_t groupIndex = 0;
    std::vector<uint32_t> pointCounts;  // of the data sets

    bool operator==(const SorValuesAsRead&) const = default;
};

// Everything of a file that the listed fields of SORDATA do not hold.
struct SorCarried {
    int version = 2;                    // 1 or 2; chosen by the caller for a new file
    uint16_t mapRevision = 0;           // 0: 100 / 200 by version
    std::vector<uint8_t> mapExtra;      // bytes of the map after its entries
    // File order. Without interpreted blocks (a new record) the writer writes the standard set
    // (GenParams, SupParams, FxdParams, KeyEvents, DataPts, these blocks, Cksum).
    std::vector<SorBlock> blocks;
    std::vector<uint8_t> trailingBytes; // bytes after the last block
    SorGenParams genParams;             // written when the block list has GenParams
    SorSupParams supParams;             // written when the block list has SupParams
    SorEventSummary eventSummary;
    uint32_t dataPointsTotal = 0;       // DataPts header count as read
    SorValuesAsRead asRead;
    // Checksum found by the last read (reported, never trusted).
    bool hasChecksum = false;
    bool checksumOk = false;
    uint16_t storedChecksum = 0;

    bool operator==(const SorCarried&) const = default;
};

// The record of one SOR file. The fields 1 to 15 are those the program reads and writes; scaled
// integers are as in the file. Floats derived from file integers (sampling rate, refractive index,
// spacing, thresholds) read back to the resolution of those integers. A save re-encodes a value
// only when it differs from what the read derived (see SorValuesAsRead); the refractive index
// wins over groupIndex, and the sampling rate over the sample spacing, when both changed.
struct SORDATA {
    std::vector<SorDataSet> dataSets;   // 1
    int32_t range = 0;                  // 2  acquisition range, metres
    int32_t pulseWidth = 0;             // 3  ns (first pulse width)
    int32_t wavelength = 0;             // 4  nm (nominal; the actual one when that is missing)
    float samplingRate = 0.0f;          // 5  MHz: 1 / (2 x one-way time per point)
    float refractiveIndex = 0.0f;       // 6  group index x 0.00001
    float length = 0.0f;                // 7  metres: points of the first data set x sample spacing
                                        //    (derived only: the format has no field for it)
    float sampleSpacing = 0.0f;         // 8  metres per point
    float backscatterCoeff = 0.0f;      // 9  dB (-81.5 for a file value 815)
    float lossThreshold = 0.0f;         //    dB
    float reflectanceThreshold = 0.0f;  //    dB (negative)
    float endThreshold = 0.0f;          //    dB
    int32_t acquisitionOffset = 0;      // 10 carried fixed parameters: acquisition offset
    SorFixedParams fixedParams;         //    (units of 100 ps) and the rest of FxdParams
    int32_t timeStamp = 0;              // 11 seconds since 1970-01-01 UTC
    int32_t userOffset = 0;             // 12 carried: GenParams user offset, units of 100 ps
    uint32_t averages = 0;              // 13
    int32_t groupIndex = 0;             // 14 x 100000
    std::vector<SorKeyEvent> keyEvents; // 15 in file order

    SorCarried carried;

    bool operator==(const SORDATA&) const = default;
};

enum class SorError {
    None = 0,
    OpenFailed,       // the file could not be opened or read
    TooLarge,         // larger than any SOR file the reader accepts
    Truncated,        // the file ends inside the map or a block
    BadMap,           // the map is malformed
    BlockOverrun,     // a block claims more bytes than the file holds
    MissingBlock,     // a required block (FxdParams, DataPts) is absent
    Malformed,        // a block's fields are inconsistent or overflow
    InvalidData,      // a save was asked to write values the format cannot hold
    WriteFailed,      // the new file could not be written
};

// Outcome of parsing or serialising in memory.
struct SorStatus {
    SorError code = SorError::None;
    std::string message;                // empty on success
    explicit operator bool() const { return code == SorError::None; }
};

// Largest file the reader accepts (real files are well under a megabyte).
inline constexpr std::size_t kSorMaxFileSize = 64u * 1024u * 1024u;

// CRC-16/CCITT-FALSE (polynomial 0x1021, initial 0xFFFF, no reflection, no final XOR).
uint16_t sorCrc16(std::span<const uint8_t> bytes, uint16_t crc = 0xFFFF);

// Parses a whole file held in memory. On failure `data` may be partly filled.
SorStatus parseSor(std::span<const uint8_t> bytes, SORDATA& data);

// Serialises a record into the bytes of a file (checksum computed).
SorStatus serializeSor(const SORDATA& data, std::vector<uint8_t>& out);

// The SOR component as the program calls it: one object per read or save.
class CSorFile {
public:
    // Returns 1 on success, 0 on failure (see lastError()).
    int readSorFile(const std::string& name, SORDATA& data);
    // Writes atomically: the file is replaced whole or left as it was. Returns 1 on success.
    int saveSorFile(const std::string& name, SORDATA data);

    SorError lastErrorCode() const { return m_status.code; }
    const std::string& lastError() const { return m_status.message; }
    // After a successful read: the file had a checksum and it matched.
    bool checksumOk() const { return m_checksumOk; }

private:
    SorStatus m_status;
    bool m_checksumOk = false;
};
