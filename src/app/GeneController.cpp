#include "app/GeneController.h"

#include "base/NumberText.h"

namespace lociview {

GeneController::GeneController(const Outlets& o)
    : sppcrwindow(o.sppcrwindow), sppcrtext(o.sppcrtext), gewindow(o.gewindow), geforun(o.geforun),
      accwindow(o.accwindow), accumgeforun(o.accumgeforun), cleanupwindow(o.cleanupwindow),
      cuwlessthanfield(o.cuwlessthanfield), cuwgreaterthanfield(o.cuwgreaterthanfield),
      cuwlanefield(o.cuwlanefield), cuwallelefield(o.cuwallelefield), log(o.devlog), raccumulator(o.devlog),
      chart(o.chart), tabl(o.tabl), datatext(o.datatext), progressbar(o.progressbar),
      numemptylanes(o.numemptylanes), numones(o.numones), numtwos(o.numtwos), database(o.devlog),
      progenitor1(o.progenitor1), progenitor2(o.progenitor2), highrange(o.highrange), lowrange(o.lowrange),
      shift(o.shift), stuttertol(o.stuttertol), locusmatrix(o.locusmatrix), Maybes(o.Maybes),
      toggleTable_(o.toggleTable), window(o.window), dialogs(o.dialogs), standardOutput(o.standardOutput) {
    // The store ("list made") and the accumulator are made by the member
    // initialisers above, in the start-up order: store, lists, accumulator.
    numemptylanes.setText("");
    progressbar.configure();
    tabl.setColumnResizing(ColumnResizing::Uniform);
    progenitor1.setText(formatDoubleField(1.0));
    progenitor2.setText(formatDoubleField(2.0));
    stuttertol.setText(formatDoubleField(1.5));
    shift.setText(formatDoubleField(0.0));
    lowrange.setText(formatDoubleField(120.0));
    highrange.setText(formatDoubleField(180.0));
}

int GeneController::alert(const std::string& message, const std::string& defaultButton) {
    return dialogs.runAlert({message, defaultButton, std::nullopt, ""});
}

int GeneController::alert(const std::string& message, const std::string& defaultButton,
                          const std::string& alternateButton) {
    return dialogs.runAlert({message, defaultButton, alternateButton, ""});
}

namespace {

// The last component of a path, trailing slashes dropped.
std::string lastComponent(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || path.size() == 1) return path;
    return path.substr(slash + 1);
}

}  // namespace

void GeneController::openData() {
    if (isWorkingOnFile) {
        const int answer = alert("Are you sure you wish to stop scoring this data?", "Open Another", "Keep Scoring");
        logf(log, "result of error = %d", answer);
        if (answer == 0) return;
        data.clear();
    }
    const std::optional<std::string> path = dialogs.runOpenPanel();
    if (!path) return;
    logf(log, "%s", path->c_str());
    isWorkingOnFile = 1;
    openFile(*path);
    logf(log, "data acquired. Converting...");
    window.setTitle("Lociview: " + lastComponent(*path));
    numemptylanes.setText("");
    chart.clearGraph();
    database.removeAllAlleles();
    database.purgeBackup();
    merges.clear();
    alreadyScored = 0;
    convertDataTextToDataData();
    if (toggleTable_.state() != 0) toggleTable_.setState(0);
    toggleTable();
}

void GeneController::printMyWindow() { window.print(); }

}  // namespace lociview
