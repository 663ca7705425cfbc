#pragma once
// The command line of lociview-cli: "run SCRIPT", "score ...", "--help".
#include <iosfwd>
#include <string>
#include <vector>

namespace lociview::headless {

// args are the words after the program name. Answers the exit status.
int cliMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kCliHelp;

}  // namespace lociview::headless
