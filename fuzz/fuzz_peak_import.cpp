// Bytes in -> the peak import of today's tables: one to four files, split
// at lines "----8<----". Nothing may crash; every data row must be a peak
// or a skipped entry with its reason; samples, lanes and dyes must agree
// with the peaks; each dye's classic rows must be exactly its peaks in lane
// order; and the same text in UTF-16 or with CR LF line ends must read the
// same.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/NumberText.h"
#include "input/NumberForms.h"
#include "input/PeakImport.h"

using namespace lociview;
using namespace lociview::fuzz;

namespace {

constexpr std::string_view kMarker = "----8<----\n";

std::vector<std::string> splitFiles(std::string_view bytes) {
    std::vector<std::string> files;
    while (files.size() < 3) {
        const size_t at = bytes.find(kMarker);
        if (at == std::string_view::npos) break;
        files.emplace_back(bytes.substr(0, at));
        bytes.remove_prefix(at + kMarker.size());
    }
    files.emplace_back(bytes);
    return files;
}

PeakImport import(const std::vector<std::string>& texts, KeepLog& log) {
    std::vector<ImportFile> files;
    for (size_t i = 0; i < texts.size(); ++i) files.push_back({"f" + std::to_string(i) + ".txt", texts[i]});
    return importPeakTables(files, log);
}

void checkRows(const PeakImport& im, char dye, int64_t count) {
    const std::vector<PeakRow> rows = classicRows(im, dye);
    check(static_cast<int64_t>(rows.size()) == count, "rows are not the dye's peaks");
    size_t r = 0;
    int32_t lane = 0;
    int32_t number = 0;
    for (const ImportedPeak& p : im.peaks) {
        if (p.dye != dye) continue;
        const PeakRow& row = rows[r++];
        check(row.size() == 8, "row without eight fields");
        number = r > 1 && p.lane == lane ? number + 1 : 1;
        lane = p.lane;
        check(row[0] == intText(p.lane) && row[1] == std::string(1, dye) && row[2] == intText(number),
              "row lane, dye or peak number wrong", std::string(row[0]) + std::string(row[1]) + std::string(row[2]));
        check(row[4] == floatText(p.size) && row[5] == intText(p.height) && row[6] == floatText(p.area),
              "row numbers are not the peak's", row[4]);
        check(decimalNumberLength(row[4]) == row[4].size(), "size text is not a number", row[4]);
    }
}

void checkImported(const PeakImport& im, size_t fileCount) {
    check(!im.peaks.empty() && im.message.empty(), "imported without peaks, or with a message");
    check(im.files.size() == fileCount, "file names lost");
    for (size_t s = 0; s < im.samples.size(); ++s) {
        check(s == 0 || im.samples[s - 1].lane < im.samples[s].lane, "sample lanes not ascending and distinct");
        check(im.samples[s].lane >= 0 && im.samples[s].file < fileCount, "sample lane or file out of range");
    }
    std::vector<int64_t> perSample(im.samples.size(), 0);
    int64_t perDye[256] = {};
    for (size_t i = 0; i < im.peaks.size(); ++i) {
        const ImportedPeak& p = im.peaks[i];
        check(p.sample < im.samples.size() && im.samples[p.sample].lane == p.lane, "peak lane is not its sample's");
        check(i == 0 || im.peaks[i - 1].lane <= p.lane, "peaks not in lane order");
        check(std::isfinite(p.size) && std::isfinite(p.area), "peak number not finite");
        check((p.dye >= 'A' && p.dye <= 'Z') || p.dye == kNoDye, "dye not a letter");
        ++perSample[p.sample];
        ++perDye[static_cast<unsigned char>(p.dye)];
    }
    for (size_t s = 0; s < im.samples.size(); ++s) check(perSample[s] == im.samples[s].peaks, "sample peak count wrong");

    // Every data row became a peak or was skipped with a reason; a row of
    // Size/Height pairs (a genotype table, or a per-sample file with such a
    // header) may give several, a pair each.
    int64_t skipped = 0;
    for (const int64_t n : im.skipped) skipped += n;
    const int64_t entries = static_cast<int64_t>(im.peaks.size()) + skipped;
    check(entries >= im.dataRows, "rows neither read nor skipped");
    if (im.layout == PeakLayout::SizingTable) check(entries == im.dataRows, "a sizing table row counted twice");
    // Each file's rows and skips add up to the data set's.
    int64_t rows = 0;
    SkipCounts perReason{};
    check(im.fileRows.size() == fileCount, "not a row count per file");
    for (const FileRows& f : im.fileRows) {
        check(f.skippedRows >= 0 && f.skippedRows <= f.rows, "more rows skipped than read");
        rows += f.rows;
        for (size_t r = 0; r < kSkipReasons; ++r) perReason[r] += f.skipped[r];
    }
    check(rows == im.dataRows && perReason == im.skipped, "files' rows do not add up");

    int64_t dyed = 0;
    for (const DyeCount& d : im.dyes) {
        check(d.peaks > 0 && d.peaks == perDye[static_cast<unsigned char>(d.dye)], "dye count wrong");
        dyed += d.peaks;
        checkRows(im, d.dye, d.peaks);
    }
    check(dyed == static_cast<int64_t>(im.peaks.size()), "dyes do not cover the peaks");

    const char byDefault = defaultDye(im);
    const char standard = sizeStandardDye(im);
    check(perDye[static_cast<unsigned char>(byDefault)] > 0, "default dye has no peaks");
    check(im.dyes.size() == 1 || byDefault != standard, "size standard is the default beside another dye");
    check(selectDye(im, "").dye == byDefault, "empty choice is not the default");
    for (char c = 'A'; c <= 'Z'; ++c) {
        if (perDye[static_cast<unsigned char>(c)] > 0) continue;
        const DyeChoice absent = selectDye(im, std::string(1, c));
        check(absent.dye == 0 && !absent.refusal.empty(), "absent dye chosen");
        for (const DyeCount& d : im.dyes)
            check(absent.refusal.find(dyeName(d.dye)) != std::string::npos, "refusal does not name a dye", absent.refusal);
        break;
    }
    const std::string table = sampleTableText(im, byDefault);
    check(static_cast<size_t>(std::count(table.begin(), table.end(), '\n')) == im.samples.size() + 1,
          "sample table is not a line per sample");
}

bool sameImport(const PeakImport& a, const PeakImport& b, bool sameNames) {
    if (a.status != b.status || a.skipped != b.skipped || a.dataRows != b.dataRows) return false;
    if (a.peaks.size() != b.peaks.size() || a.samples.size() != b.samples.size()) return false;
    for (size_t i = 0; i < a.peaks.size(); ++i) {
        const ImportedPeak &p = a.peaks[i], &q = b.peaks[i];
        if (p.lane != q.lane || p.dye != q.dye || floatText(p.size) != floatText(q.size) || p.height != q.height ||
            floatText(p.area) != floatText(q.area))
            return false;
    }
    for (size_t s = 0; s < a.samples.size(); ++s)
        if (a.samples[s].lane != b.samples[s].lane || (sameNames && a.samples[s].sample != b.samples[s].sample))
            return false;
    return true;
}

std::string utf16le(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (const char c : ascii) out += {c, '\0'};
    return out;
}

std::string crlf(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> files = splitFiles(bytes);
    KeepLog log;
    const PeakImport im = import(files, log);
    switch (im.status) {
        case ImportStatus::NotRecognised:
            // The caller then ends as for a file without data: nothing is said.
            check(im.message.empty() && im.peaks.empty() && log.lines.empty(), "unrecognised but not silent");
            break;
        case ImportStatus::Classic:
            check(files.size() == 1 && peakTableHasRows(files[0]), "classic without a classic row");
            break;
        case ImportStatus::Refused:
            check(!im.message.empty() && im.peaks.empty(), "refused without a message");
            break;
        case ImportStatus::Imported:
            checkImported(im, files.size());
            break;
    }

    // The same text spelt another way reads the same: in UTF-16 when it is
    // ASCII, with CR LF line ends when it has no CR.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (size % 3 == 0 && ascii) {
        std::vector<std::string> wide;
        for (const std::string& f : files) wide.push_back(utf16le(f));
        KeepLog other;
        check(sameImport(im, import(wide, other), true), "UTF-16 reads differently");
    } else if (size % 3 == 1 && bytes.find('\r') == std::string_view::npos &&
               std::all_of(files.begin(), files.end(),
                           [](const std::string& f) { return detectEncoding(f) == TextEncoding::Latin1; })) {
        std::vector<std::string> ended;
        for (const std::string& f : files) ended.push_back(crlf(f));
        KeepLog other;
        check(sameImport(im, import(ended, other), false), "CR LF line ends read differently");
    }
    return 0;
}
