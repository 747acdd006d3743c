// Helpers shared by the SOR reader and writer: bounded little-endian cursor, byte sink, the
// derived values.
#pragma once

#include "SorFile.h"

#include <cstring>
#include <string_view>

namespace sorimpl {

inline constexpr double kSpeedOfLight = 299792458.0;

inline constexpr std::string_view kGenParams = "GenParams";
inline constexpr std::string_view kSupParams = "SupParams";
inline constexpr std::string_view kFxdParams = "FxdParams";
inline constexpr std::string_view kKeyEvents = "KeyEvents";
inline constexpr std::string_view kDataPts = "DataPts";
inline constexpr std::string_view kCksum = "Cksum";

inline bool isInterpretedName(std::string_view name)
{
    return name == kGenParams || name == kSupParams || name == kFxdParams || name == kKeyEvents
        || name == kDataPts || name == kCksum;
}

// Reads little-endian fields from a byte range. Any read past the end clears `ok` and yields
// zeros; callers check `ok` once after a group of fields.
class Cursor {
public:
    Cursor(const uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_ok ? m_size - m_pos : 0; }

    bool need(std::size_t n)
    {
        if (!m_ok || m_size - m_pos < n) {
            m_ok = false;
            return false;
        }
        return true;
    }
    uint16_t u16()
    {
        if (!need(2))
            return 0;
        const uint8_t* p = m_data + m_pos;
        m_pos += 2;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t u32()
    {
        if (!need(4))
            return 0;
        const uint8_t* p = m_data + m_pos;
        m_pos += 4;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8)
            | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    // A fixed-length character field (no terminator; may hold zero bytes).
    std::string chars(std::size_t n)
    {
        if (!need(n))
            return {};
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }
    // A zero-terminated string; fails when no terminator lies within the range.
    std::string zstring()
    {
        if (!m_ok)
            return {};
        const void* end = std::memchr(m_data + m_pos, 0, m_size - m_pos);
        if (!end) {
            m_ok = false;
            return {};
        }
        const auto len = static_cast<std::size_t>(static_cast<const uint8_t*>(end) - (m_data + m_pos));
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), len);
        m_pos += len + 1;
        return s;
    }
    // True (and consumed) when the range continues with `text` and a zero byte.
    bool skipName(std::string_view text)
    {
        if (!m_ok || m_size - m_pos < text.size() + 1)
            return false;
        if (std::memcmp(m_data + m_pos, text.data(), text.size()) != 0 || m_data[m_pos + text.size()] != 0)
            return false;
        m_pos += text.size() + 1;
        return true;
    }
    const uint8_t* here() const { return m_data + m_pos; }
    void skip(std::size_t n)
    {
        if (need(n))
            m_pos += n;
    }

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

// Appends little-endian fields; a string that cannot be written as given marks the sink bad.
class Sink {
public:
    explicit Sink(std::vector<uint8_t>& out) : m_out(out) {}

    bool ok() const { return m_ok; }
    const std::string& problem() const { return m_problem; }
    std::size_t size() const { return m_out.size(); }

    void u16(uint16_t v)
    {
        m_out.push_back(static_cast<uint8_t>(v));
        m_out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v)
    {
        m_out.push_back(static_cast<uint8_t>(v));
        m_out.push_back(static_cast<uint8_t>(v >> 8));
        m_out.push_back(static_cast<uint8_t>(v >> 16));
        m_out.push_back(static_cast<uint8_t>(v >> 24));
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void chars(const std::string& s, std::size_t n, const char* what)
    {
        if (s.size() != n) {
            fail(std::string(what) + " must have exactly " + std::to_string(n) + " characters");
            return;
        }
        m_out.insert(m_out.end(), s.begin(), s.end());
    }
    void zstring(const std::string& s, const char* what)
    {
        if (s.find('\0') != std::string::npos) {
            fail(std::string(what) + " contains a zero character");
            return;
        }
        m_out.insert(m_out.end(), s.begin(), s.end());
        m_out.push_back(0);
    }
    void bytes(const std::vector<uint8_t>& b) { m_out.insert(m_out.end(), b.begin(), b.end()); }
    void fail(std::string problem)
    {
        if (m_ok) {
            m_ok = false;
            m_problem = std::move(problem);
        }
    }

private:
    std::vector<uint8_t>& m_out;
    bool m_ok = true;
    std::string m_problem;
};

// Values the program sees, derived from the raw file values.
inline float samplingRateFromSpacing(uint32_t dataSpacing)
{
    // One-way time per point T = spacing x 1e-14 s; the round-trip sampling rate is 1 / (2T).
    return dataSpacing ? static_cast<float>(5e7 / static_cast<double>(dataSpacing)) : 0.0f;
}

inline double metresPerTimeUnit(int32_t groupIndex)
{
    // Metres for one unit of 100 ps (one-way) at the given group index (x 100000).
    return groupIndex > 0 ? kSpeedOfLight * 1e-10 / (groupIndex / 100000.0) : 0.0;
}

inline float sampleSpacingFrom(uint32_t dataSpacing, int32_t groupIndex)
{
    return static_cast<float>(metresPerTimeUnit(groupIndex) * dataSpacing * 1e-4);
}

inline float refractiveIndexFrom(int32_t groupIndex)
{
    return groupIndex > 0 ? static_cast<float>(groupIndex / 100000.0) : 0.0f;
}

// Acquisition range (units of 100 ps) in whole metres.
inline int32_t rangeMetresFrom(uint32_t acquisitionRange, int32_t groupIndex)
{
    const double metres = metresPerTimeUnit(groupIndex) * acquisitionRange;
    return metres < 2147483647.0 ? static_cast<int32_t>(metres) : 0;
}

// Actual wavelength in nm: units of 0.1 nm, except for instruments that write whole nm.
inline int32_t actualWavelengthNm(uint16_t raw)
{
    if (raw == 0)
        return 0;
    if (raw < 2000)
        return raw;
    return static_cast<int32_t>((raw + 5) / 10);
}

} // namespace sorimpl
