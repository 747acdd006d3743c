#include "TraceGenerator.h"
