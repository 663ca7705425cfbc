// Opening a data set: confirming, choosing the file, reading it into rows
// and rows into records; and printing the main window.
#include <future>
#include <new>

#include "app/GeneController.h"
#include "base/NumberText.h"
#include "base/Sha256.h"
#include "input/FileBytes.h"
#include "input/PeakRecords.h"

namespace lociview {

namespace {

// The last component of a path, trailing slashes dropped.
std::string lastComponent(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || path.size() == 1) return path;
    return path.substr(slash + 1);
}

}  // namespace

bool GeneController::confirmReplacing(std::vector<Row>& kept) {
    if (!dataSet.isWorkingOnFile) return true;
    const int answer = ask(AlertId::ConfirmOpenAnother);
    logf(log, "result of error = %d", answer);
    if (answer == 0) return false;
    kept.swap(dataSet.data);
    return true;
}

Outcome GeneController::openData() {
    // The open data set's rows, given back when new peak tables are refused.
    std::vector<Row> kept;
    if (!confirmReplacing(kept)) return Outcome::Cancelled;
    const std::vector<std::string> paths = outlets.dialogs.runOpenPanelForFiles();
    if (paths.empty()) return Outcome::Cancelled;
    return openChosen(paths, kept, std::nullopt);
}

Outcome GeneController::openPaths(const std::vector<std::string>& paths, std::optional<ImportAnswer> choices) {
    if (paths.empty()) return Outcome::Cancelled;
    std::vector<Row> kept;
    if (!confirmReplacing(kept)) return Outcome::Cancelled;
    return openChosen(paths, kept, choices);
}

Outcome GeneController::openChosen(const std::vector<std::string>& paths, std::vector<Row>& kept,
                                   const std::optional<ImportAnswer>& choices) {
    if (const std::optional<Outcome> ended = readTables(paths, kept, choices)) return *ended;
    // The table keeps the last results until the next scoring: they are now
    // another file's.
    if (scored.resultSource) scored.resultSource->previousFile = true;
    logf(log, "data acquired. Converting...");
    std::string name = lastComponent(paths.front());
    if (paths.size() > 1) name += format(" and %zu more", paths.size() - 1);
    outlets.window.setTitle("Lociview: " + name);
    dataSet.fileName = name;
    dataSet.openedName = name;
    outlets.numemptylanes.setText("");
    outlets.chart.clearGraph();
    dataSet.database.removeAllAlleles();
    dataSet.database.purgeBackup();
    ++scored.cleanUpEpoch;
    scored.merges.clear();
    scored.shiftState.alreadyScored = false;
    convertDataTextToDataData();
    updateQualityFlags();
    if (byLane()) outlets.toggleTable.setState(0);
    toggleTable();
    return dataSet.isWorkingOnFile ? Outcome::Done : Outcome::Refused;
}

Outcome GeneController::printMyWindow() {
    outlets.window.print();
    return Outcome::Done;
}

void GeneController::openFile(const std::string& path) {
    const std::optional<std::string> bytes = readWholeFile(path);
    if (bytes) openFileBytes(*bytes);
    else openFileBytes(std::nullopt);
    dataSet.fileName = lastComponent(path);
}

void GeneController::openFileBytes(std::optional<std::string_view> bytes, std::future<std::string> checksum) {
    // A run added to the log names the exact bytes it was scored from.
    dataSet.fileName.clear();
    // Worked out beside the reading: the two passes over a plate's bytes
    // take one pass's time on two cores.
    if (bytes && !checksum.valid() && checksumsWanted) checksum = sha256HexBeside(*bytes);
    try {
        readPeakTable(bytes, dataSet.data, log);
    } catch (const std::bad_alloc&) {
        // Rows too many to hold: the file gives none rather than ending
        // the program.
        dataSet.data.clear();
        dataSet.data.shrink_to_fit();
    }
    dataSet.fileSha256 = checksum.valid() ? checksum.get() : std::string();
    logf(log, "datacount = %d", clampedCount(dataSet.data.size()));
    if (dataSet.data.empty()) {
        ask(AlertId::NoDataInFile);
        dataSet.isWorkingOnFile = false;
    }
}

void GeneController::convertDataTextToDataData() {
    std::vector<int32_t> empty;
    if (dataSet.imported.dye)
        for (const SampleLane& sample : dataSet.imported.tables.samples)
            if (sample.peaks == 0) empty.push_back(sample.lane);
    dataSet.lanelist = convertRows(dataSet.data, dataSet.database, log, empty);
    dataSet.numlanes = clampedCount(dataSet.lanelist.size());
}

}  // namespace lociview
