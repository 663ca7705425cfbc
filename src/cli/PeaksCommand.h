#pragma once
// "lociview-cli peaks": the peaks of instrument trace files (.fsa) called,
// sized against the size standard and written as a sizing table that
// Lociview reads back to the same data set.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace lociview::headless {

// args: the words after "peaks". Exit status 0 when every file was read
// and sized, 1 when a file could not be read or its standard not matched
// (the others are still written), 2 for a usage error.
int runPeaks(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kPeaksHelp;

}  // namespace lociview::headless
