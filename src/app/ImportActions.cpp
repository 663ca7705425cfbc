// Opening sizing tables, genotype tables and per-sample files: reading the chosen files, the
// review and dye choice, and refusals that leave the open data set as it
// was. A single file the classic grammar reads, or that no reader
// recognises, is read exactly as before.
#include <algorithm>
#include <new>
#include <system_error>

#include "app/GeneController.h"
#include "base/NumberText.h"
#include "base/Sha256.h"
#include "input/FileBytes.h"

namespace lociview {

std::string dataSetSha256(const std::vector<std::optional<std::string>>& contents) {
    // A run added to the log names the exact bytes it was scored from: one
    // file's own checksum, or the checksum of the files' checksums in order.
    std::string sha;
    // (A view: a conditional between the bytes and an empty string would copy the whole file.)
    for (const std::optional<std::string>& bytes : contents)
        sha += sha256Hex(bytes ? std::string_view(*bytes) : std::string_view());
    return contents.size() == 1 ? sha : sha256Hex(sha);
}

std::future<std::string> dataSetSha256Beside(const std::vector<std::optional<std::string>>& contents) {
    try {
        return std::async(std::launch::async, [&contents] { return dataSetSha256(contents); });
    } catch (const std::system_error&) {
        std::promise<std::string> now;
        now.set_value(dataSetSha256(contents));
        return now.get_future();
    }
}

std::optional<Outcome> GeneController::readTables(const std::vector<std::string>& paths, std::vector<Row>& kept,
                                                  const std::optional<ImportAnswer>& choices) {
    for (const std::string& path : paths) logf(log, "%s", path.c_str());
    std::vector<std::optional<std::string>> contents;
    contents.reserve(paths.size());
    for (const std::string& path : paths) contents.push_back(readWholeFile(path));
    std::vector<ImportFile> files;
    files.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        files.push_back({paths[i], contents[i] ? std::optional<std::string_view>(*contents[i]) : std::nullopt});

    // Trace files are sized, not read as tables; a data set is one or the other.
    const auto isTrace = [](const ImportFile& f) { return isTraceFile(f.name, f.bytes.value_or(std::string_view())); };
    const auto trace = std::find_if(files.begin(), files.end(), isTrace);
    if (trace != files.end()) {
        const auto table = std::find_if_not(files.begin(), files.end(), isTrace);
        if (table == files.end()) return readTraces(files, contents, kept);
        const std::string message = "Trace files and peak tables cannot be opened together: \"" + trace->name +
                                    "\" is a trace file, \"" + table->name +
                                    "\" is not. Open the trace files together, or the tables.";
        logf(log, "Peak import refused: %s", message.c_str());
        return refuseTables(message, kept);
    }

    // Worked out beside the reading, as a classic table's is: a single
    // file's checksum is its own, so a classic table takes it over.
    std::future<std::string> checksum;
    if (checksumsWanted) checksum = dataSetSha256Beside(contents);
    PeakImport tables = importPeakTables(files, log);
    switch (tables.status) {
        case ImportStatus::Classic:
        case ImportStatus::NotRecognised:
            // One file, read as it always was; without rows it ends with the
            // no-data alert and no data set.
            dataSet.isWorkingOnFile = true;
            openFileBytes(files.front().bytes, contents.size() == 1 && contents.front() && checksum.valid()
                                                   ? std::move(checksum)
                                                   : std::future<std::string>());
            dataSet.imported = {};
            dataSet.imported.tables.status = ImportStatus::Classic;
            dataSet.imported.tables.layoutName = "Peak table with lane numbers";
            dataSet.imported.tables.files = {paths.front()};
            return std::nullopt;
        case ImportStatus::Refused: return refuseTables(tables.message, kept);
        case ImportStatus::Imported: break;
    }
    const std::string tablesSha256 = checksum.valid() ? checksum.get() : std::string();
    files.clear();
    contents.clear();  // the peaks hold their numbers: the bytes can go

    const std::optional<ImportAnswer> asked = choices ? choices : outlets.dialogs.runImportReview(tables, defaultDye(tables));
    if (!asked) {
        logf(log, "Peak import cancelled");
        dataSet.data.swap(kept);
        return Outcome::Cancelled;
    }
    return takeTables(tables, *asked, tablesSha256, kept);
}

std::optional<Outcome> GeneController::takeTables(PeakImport& tables, const ImportAnswer& answer,
                                                  const std::string& tablesSha256, std::vector<Row>& kept) {
    // One marker of a multiplex table, never all pooled: the marker's peaks
    // are then the ones the dye is chosen among.
    if (const std::string refusal = selectMarker(tables, answer.marker, dyeLetter(answer.dye)); !refusal.empty()) {
        logf(log, "Peak import refused: %s", refusal.c_str());
        return refuseTables(refusal, kept);
    }
    if (!tables.marker.empty()) logf(log, "%s: marker %s scored", tables.layoutName.c_str(), tables.marker.c_str());
    const DyeChoice choice = selectDye(tables, answer.dye);
    if (!choice.refusal.empty()) {
        logf(log, "Peak import refused: %s", choice.refusal.c_str());
        return refuseTables(choice.refusal, kept);
    }
    std::vector<Row> rows;
    try {
        rows = classicRows(tables, choice.dye);
        tables.samples = sampleLanes(tables, choice.dye);
    } catch (const std::bad_alloc&) {
        // Rows too many to hold: refused before anything of the open data
        // set is touched, rather than ending the program.
        return refuseTables("The peak tables are too large to hold in memory.", kept);
    }
    tables.peaks = {};
    logf(log, "%s: dye %s scored", tables.layoutName.c_str(), dyeName(choice.dye).c_str());
    dataSet.isWorkingOnFile = true;
    dataSet.data = std::move(rows);
    logf(log, "datacount = %d", clampedCount(dataSet.data.size()));
    dataSet.imported = {std::move(tables), choice.dye, {}, {}};
    dataSet.fileSha256 = tablesSha256;
    return std::nullopt;
}

Outcome GeneController::refuseTables(const std::string& message, std::vector<Row>& kept) {
    AlertRequest alert = alertRequest(AlertId::ImportRefused);
    alert.message = message;
    outlets.dialogs.runAlert(alert);
    dataSet.data.swap(kept);
    return Outcome::Refused;
}

}  // namespace lociview
