#pragma once
// The peak table reader: turns the bytes of a peak file into rows of eight
// texts by the fixed line grammar, logging how the text was split and every
// line it tossed out. Pure: it touches no file and no controller state.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DevLog.h"

namespace lociview {

// One accepted line: lane digits, letters, dataID digits, then the five
// numbers as "%f" / "%d" texts. All texts are UTF-8.
using PeakRow = std::vector<std::string>;

// How the bytes of a file read as text.
enum class TextEncoding { Latin1, Utf16LE, Utf16BE, None };

// A leading FF FE / FE FF byte-order mark means UTF-16 in that byte order
// (odd length: no text); anything else is one Latin-1 character per byte.
TextEncoding detectEncoding(std::string_view bytes);

// Reads the text of a peak file and appends every line that fits the grammar
// to rows. bytes is nothing for a file that could not be read at all.
void readPeakTable(std::optional<std::string_view> bytes, std::vector<PeakRow>& rows, LogSink& log);

}  // namespace lociview
