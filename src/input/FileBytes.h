#pragma once
// The whole content of a file the user picked, or nothing when it cannot be
// read: missing, a folder, no permission, a pipe or a device (which could
// hang the program), a read error, or too large to hold in memory.
#include <optional>
#include <string>

namespace lociview {

std::optional<std::string> readWholeFile(const std::string& path);

}  // namespace lociview
