#include "SorFile.h"

uint16_t sorCrc16(std::span<const uint8_t> bytes, uint16_t crc)
{
    for (uint8_t b : bytes) {
        crc ^= static_cast<uint16_t>(b << 8);
        for (int i = 0; i < 8; ++i)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : (crc << 1));
    }
    return crc;
}

int CSorFile::readSorFile(const std::string&, SORDATA&)
{
    m_status = {SorError::OpenFailed, "not implemented"};
    return 0;
}

int CSorFile::saveSorFile(const std::string&, SORDATA)
{
    m_status = {SorError::WriteFailed, "not implemented"};
    return 0;
}
