#include "EngineInternal.h"

namespace dravik {

// The automatic analysis. Placeholder until the candidate search, positions and pruning land.
Dravik_Result analyse(const Params&, Samples, float, float, int)
{
    return initialRecord();
}

} // namespace dravik
