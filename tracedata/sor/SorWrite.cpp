#include "SorFile.h"

SorStatus serializeSor(const SORDATA&, std::vector<uint8_t>&)
{
    return {SorError::InvalidData, "not implemented"};
}
