// Bytes in -> the peak table reader, in the encoding and line ends they
// have and in the others, then the rows into peak records and lanes through
// a controller. Nothing may crash, and every spelling of the same text must
// give the same rows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/NumberText.h"
#include "app/GeneController.h"
#include "headless/HeadlessToolkit.h"
#include "input/PeakTableReader.h"
#include "support/Invariants.h"

using namespace lociview;
using namespace lociview::fuzz;

namespace {

bool isAsciiDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// A float item is stored as "%f": a number text with six decimals, or an
// infinity when the file's number is beyond single precision.
void checkFloatField(std::string_view field) {
    if (field == "inf" || field == "-inf") return;
    check(decimalNumberLength(field) == field.size(), "float field is not a number", field);
    const size_t point = field.find('.');
    check(point != std::string_view::npos && field.size() - point == 7, "float field without six decimals", field);
}

void checkRows(const std::vector<PeakRow>& rows, bool latin1) {
    for (const PeakRow& row : rows) {
        check(row.size() == 8, "row without eight fields");
        for (size_t f = 0; f < row.size(); ++f) check(isValidUtf8(row[f]), "row field is not UTF-8", row[f]);
        check(!row[0].empty() && !row[1].empty() && !row[2].empty(), "empty lane, letters or dataID");
        if (latin1) {
            // No Latin-1 character beyond ASCII is a decimal digit.
            check(isAsciiDigits(row[0]), "lane is not digits", row[0]);
            check(isAsciiDigits(row[2]), "dataID is not digits", row[2]);
        }
        for (size_t i : {3, 4, 6, 7}) checkFloatField(row[i]);
        check(formatIntField(intValue(row[5])) == row[5], "height field does not read back", row[5]);
    }
}

// Every segment of the text either became a row or logged one tossed-out
// line, in order; the first log line names the line end used.
void checkAccount(std::string_view bytes, const std::vector<PeakRow>& rows, const KeepLog& log) {
    const size_t lf = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    const size_t cr = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
    const size_t segments = std::max(lf, cr) + 1;
    check(!log.lines.empty(), "no line-end log line");
    check(log.lines[0] == (lf > cr ? "Uses \\n format" : "Uses \\r format"), "wrong line-end log line", log.lines[0]);
    check(rows.size() + log.lines.size() - 1 == segments, "segments neither read nor tossed out");
    long previous = -1;
    for (size_t i = 1; i < log.lines.size(); ++i) {
        const std::string& line = log.lines[i];
        check(line.rfind("failed trying to scan ", 0) == 0, "unexpected log line", line);
        const size_t at = line.find(" on line ");
        check(at != std::string::npos, "tossed-out line without its number", line);
        const long number = intValue(std::string_view(line).substr(at + 9));
        check(number > previous && static_cast<size_t>(number) < segments, "tossed-out line numbers out of order", line);
        previous = number;
    }
}

std::string utf16Of(std::string_view latin1, bool littleEndian) {
    std::string out = littleEndian ? std::string("\xFF\xFE") : std::string("\xFE\xFF");
    out.reserve(2 + 2 * latin1.size());
    for (char c : latin1) {
        if (littleEndian) {
            out += c;
            out += '\0';
        } else {
            out += '\0';
            out += c;
        }
    }
    return out;
}

std::string replaceLineFeeds(std::string_view text, std::string_view by) {
    std::string out;
    out.reserve(text.size() * by.size());
    for (char c : text) {
        if (c == '\n') out += by;
        else out += c;
    }
    return out;
}

struct Read {
    std::vector<PeakRow> rows;
    KeepLog log;
};

void read(std::string_view bytes, Read& r) { readPeakTable(bytes, r.rows, r.log); }

void checkSameRead(const Read& a, const Read& b, bool sameLineEnd, const char* what) {
    check(a.rows == b.rows, what, "rows differ");
    // The tossed-out lines must match; the line-end line only when the
    // line ends were not changed.
    check(a.log.lines.size() == b.log.lines.size(), what, "log lengths differ");
    for (size_t i = sameLineEnd ? 0 : 1; i < a.log.lines.size(); ++i)
        check(a.log.lines[i] == b.log.lines[i], what, a.log.lines[i] + " / " + b.log.lines[i]);
}

void checkController(std::string_view bytes, const std::vector<PeakRow>& expected, bool logOn) {
    NullStream out;
    headless::HeadlessToolkit tk(out, logOn);
    GeneController controller(tk.outlets());
    controller.openFileBytes(bytes);
    controller.convertDataTextToDataData();

    check(controller.rows() == expected, "controller rows differ from the reader's");
    check(tk.dialogs.shown.size() == (expected.empty() ? 1u : 0u), "empty-file alert wrong");
    if (expected.empty()) check(!controller.workingOnFile(), "empty file still worked on");

    // The state rules of the test suite: keys, store, lane list, chart.
    const std::string rule = StateWatch().broken(controller, tk, "open");
    check(rule.empty(), rule.c_str());
    check(controller.store().workingList().size() == expected.size(), "not one record per row");
    check(controller.lanes().size() <= expected.size(), "more lanes than rows");
    for (const AllelePtr& a : controller.store().workingList()) check(a->getScore() == 0, "new record is not UNMARKED");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TextEncoding encoding = detectEncoding(bytes);

    Read plain;
    read(bytes, plain);
    checkRows(plain.rows, encoding == TextEncoding::Latin1);
    if (encoding == TextEncoding::Latin1) checkAccount(bytes, plain.rows, plain.log);

    // The same characters spelt another way must read the same, or the rows
    // must make the same records through a controller. One of these per
    // input, chosen by its length, keeps each run quick.
    const bool latin1 = encoding == TextEncoding::Latin1;
    const bool lfOnly = bytes.find('\r') == std::string_view::npos && bytes.find('\n') != std::string_view::npos;
    const size_t pick = size % 5;
    if (latin1 && pick < 2) {
        const bool le = pick == 0;
        Read wide;
        read(utf16Of(bytes, le), wide);
        checkSameRead(plain, wide, true, le ? "UTF-16LE differs from Latin-1" : "UTF-16BE differs from Latin-1");
    } else if (latin1 && lfOnly && pick < 4) {
        // CR or CR LF line ends in place of LF.
        const std::string_view end = pick == 2 ? "\r" : "\r\n";
        Read other;
        read(replaceLineFeeds(bytes, end), other);
        checkSameRead(plain, other, false, end.size() == 1 ? "CR line ends differ" : "CR LF line ends differ");
        check(other.log.lines[0] == "Uses \\r format", "CR text not split at CR");
    } else {
        checkController(bytes, plain.rows, size % 2 == 0);
    }
    return 0;
}
