#pragma once
// The instrument settings record is the application's (kept in section "OTDR" of the
// configuration); the remote link works on it under its own namespace.

#include "Settings.h"

namespace remote {
using ::InstrumentSettings;
} // namespace remote
