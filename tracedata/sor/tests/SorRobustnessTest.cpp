// Damaged input: every prefix of a real file and seeded random corruptions. The reader must
// either fail with a reason or succeed; whatever it accepts it can write back unchanged.
#include "SorFile.h"
#include "SorTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

using namespace sortest;
namespace fs = std::filesystem;

namespace {

// Accepted input round-trips: written again it reads back as the same record.
void checkOutcome(const std::vector<uint8_t>& bytes)
{
    SORDATA d;
    const SorStatus st = parseSor(bytes, d);
    if (!st) {
        EXPECT_FALSE(st.message.empty());
        for (const SorDataSet& set : d.dataSets)
            ASSERT_EQ(set.pointCount, set.samples.size());
        return;
    }
    ASSERT_FALSE(d.dataSets.empty());
    std::vector<uint8_t> out;
    const SorStatus written = serializeSor(d, out);
    ASSERT_TRUE(written) << written.message;
    ASSERT_EQ(out.size(), bytes.size());
    SORDATA again;
    ASSERT_TRUE(parseSor(out, again));
    d.carried.checksumOk = again.carried.checksumOk;
    d.carried.storedChecksum = again.carried.storedChecksum;
    ASSERT_EQ(again, d);
}

std::vector<uint8_t> fixtureOrSynthetic(const char* name)
{
    const fs::path path = fixtureDir() / name;
    if (fs::exists(path))
        return readBytes(path);
    std::vector<uint8_t> bytes;
    serializeSor(syntheticRecord(name[0] == 'd' ? 1 : 2), bytes);
    return bytes;
}

TEST(SorRobustness, EveryPrefixFailsCleanly)
{
    for (const char* name : {"demo_ab.sor", "example3-anritsu-accessmastermt9085.sor"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = fixtureOrSynthetic(name);
        // Each prefix is placed at the end of one allocation, so that a read beyond the prefix
        // leaves the allocation and is caught by the sanitizer.
        const std::size_t size = bytes.size();
        const std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]);
        for (std::size_t n = 0; n < size; ++n) {
            uint8_t* start = buffer.get() + (size - n);
            if (n)
                std::memcpy(start, bytes.data(), n);
            SORDATA d;
            // A prefix always lacks at least the end of the last block.
            ASSERT_FALSE(parseSor(std::span<const uint8_t>(start, n), d)) << "prefix of " << n << " bytes";
        }
    }
}

TEST(SorRobustness, RandomCorruptionsFailOrRoundTrip)
{
    std::mt19937 rng(20240611);
    for (const char* name : {"demo_ab.sor", "example2-exfo-maxtester730c.sor",
             "example3-anritsu-accessmastermt9085.sor"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> original = fixtureOrSynthetic(name);
        // Most of the structure sits in the first kilobyte; aim most damage there.
        const std::size_t head = std::min<std::size_t>(original.size(), 1024);
        for (int round = 0; round < 150; ++round) {
            std::vector<uint8_t> bytes = original;
            const int flips = 1 + static_cast<int>(rng() % 6);
            for (int f = 0; f < flips; ++f) {
                const std::size_t limit = (rng() % 4) ? head : bytes.size();
                const std::size_t at = rng() % limit;
                switch (rng() % 3) {
                case 0: bytes[at] = static_cast<uint8_t>(rng()); break;
                case 1: bytes[at] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
                default: bytes[at] = (rng() % 2) ? 0xFF : 0x00; break;
                }
            }
            if (rng() % 5 == 0) {
                bytes.resize(rng() % bytes.size());
                bytes.shrink_to_fit(); // exact allocation: reads beyond it are caught
            }
            SCOPED_TRACE(round);
            checkOutcome(bytes);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

} // namespace
