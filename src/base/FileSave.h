#pragma once
// Writing a whole file so that a failure never costs the old one: the bytes
// go to a temporary file beside it, which is checked and flushed to disk
// before it takes the file's name.
#include <filesystem>
#include <string>
#include <string_view>

namespace lociview {

// Writes bytes as the file path: to a new file in path's folder, every byte
// written (a full disk or a size limit that stops the write part way is a
// failure), its length checked, flushed to disk, then renamed over path,
// whose permissions it takes. Any failure removes the temporary file and
// leaves path as it was. The answer is "" when path holds the bytes, else
// why not, in one line ("No space left on device").
std::string saveFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace lociview
