#include "SorFile.h"

SorStatus parseSor(std::span<const uint8_t>, SORDATA&)
{
    return {SorError::Malformed, "not implemented"};
}
