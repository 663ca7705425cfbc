#pragma once
// Printed forms of lists for "%@" developer log lines: one line, entries in
// parentheses separated by ", ".
#include <cstdint>
#include <string>
#include <vector>

namespace lociview {

std::string describe(const std::vector<int32_t>& numbers);
std::string describe(const std::vector<double>& numbers);
std::string describe(const std::vector<std::string>& texts);

}  // namespace lociview
