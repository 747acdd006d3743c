// Reading a SOR file for a command, with the one-line error report of otdrcli.
#pragma once

#include "SorFile.h"

#include <iosfwd>
#include <string>

// Reads `path` into `data`. On failure writes "otdrcli: PATH: REASON" to `err` and returns false.
bool readSorForCli(const std::string& path, SORDATA& data, std::ostream& err);

// Distance in metres of a file time (units of 100 ps, one-way) along the samples, taking the
// file's user and acquisition offsets into account: c / (index x 10^10) x (t + user - acq).
double sorEventDistance(const SORDATA& data, int32_t propagationTime);
