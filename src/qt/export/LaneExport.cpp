#include "qt/export/LaneExport.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <sstream>

#include "app/GeneController.h"
#include "chart/LaneZoom.h"
#include "headless/HeadlessToolkit.h"
#include "qt/chart/LaneView.h"
#include "qt/chart/StandardView.h"

namespace lociview::qt {

namespace {

// A band tall enough for its peaks and label, the whole within what any
// picture viewer opens.
constexpr int kPictureWidth = 1200;
constexpr int kBandHeight = 90;
constexpr int kMinHeight = 300, kMaxHeight = 8000;
constexpr int kStandardHeight = 300;  // a trace lane's row of the size-standard view

}  // namespace

std::optional<std::vector<int>> parseLaneList(const QString& text) {
    std::vector<int> lanes;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        bool okFirst = false, okLast = false;
        const int first = ends.first().toInt(&okFirst);
        const int last = ends.size() == 2 ? ends.last().toInt(&okLast) : first;
        if (ends.size() > 2 || !okFirst || (ends.size() == 2 && !okLast) || last < first || last - first > 100000)
            return std::nullopt;
        for (int lane = first; lane <= last; ++lane) lanes.push_back(lane);
    }
    return lanes;
}

int runLaneExport(const LaneExport& job, QTextStream& err) {
    std::ostringstream trace;
    headless::HeadlessToolkit tk(trace, false);
    GeneController controller(tk.outlets());
    tk.dialogs.onAlert = [&err](const AlertRequest& alert, const std::string&) {
        if (alert.id == AlertId::ConfirmOpenAnother) return;
        err << "lociview: " << QString::fromStdString(alert.message);
        if (!alert.informative.empty()) err << ' ' << QString::fromStdString(alert.informative);
        err << '\n';
    };
    const std::pair<const std::optional<QString>*, headless::Field*> fields[] = {
        {&job.p1, &tk.progenitor1}, {&job.p2, &tk.progenitor2}, {&job.low, &tk.lowrange},
        {&job.high, &tk.highrange}, {&job.shift, &tk.shift},     {&job.stutter, &tk.stuttertol}};
    for (const auto& [text, field] : fields)
        if (*text) field->setText((*text)->toStdString());
    if (job.locusCell) tk.locusmatrix.select(*job.locusCell);
    if (job.maybes) {
        tk.Maybes.setState(1);
        controller.toggleMaybes();
    }
    std::vector<std::string> paths;
    for (const QString& file : job.files) paths.push_back(QFile::encodeName(file).toStdString());
    tk.dialogs.setOpenAnswers(paths);
    if (controller.openData() != Outcome::Done) return 1;
    // Unscored lanes draw too, unmarked: the alert above says why.
    if (job.p1 && job.p2) controller.scoreData();

    std::vector<LaneData> lanes = controller.laneData();
    if (!job.lanes.empty()) {
        std::vector<LaneData> chosen;
        for (const int number : job.lanes) {
            const auto at = std::find_if(lanes.begin(), lanes.end(), [&](const LaneData& l) { return l.lane == number; });
            if (at == lanes.end()) err << "lociview: --export-lanes: there is no lane " << number << '\n';
            else chosen.push_back(*at);
        }
        if (chosen.empty()) return 1;
        lanes = std::move(chosen);
    }
    if (job.standard) {
        if (std::none_of(lanes.begin(), lanes.end(), [](const LaneData& l) { return l.standard.has_value(); })) {
            err << "lociview: --export-standard: no lane was read from a trace file, so none has a size standard\n";
            return 1;
        }
        const int height = std::clamp(static_cast<int>(std::min<size_t>(lanes.size(), kMaxHeight)) * kStandardHeight,
                                      kStandardHeight, kMaxHeight);
        const QString problem = writeStandardPicture(job.out, lanes, kPictureWidth, height);
        if (problem.isEmpty()) return 0;
        err << "lociview: " << job.out << " was not written: " << problem << '\n';
        return 1;
    }
    LaneView view;
    view.mode = job.overlaid ? LaneMode::Overlaid : LaneMode::Stacked;
    const auto number = [](const std::string& text) { return std::optional(QString::fromStdString(text).toDouble()); };
    view.markers = {job.p1 ? number(tk.progenitor1.text()) : std::nullopt,
                    job.p2 ? number(tk.progenitor2.text()) : std::nullopt, number(tk.lowrange.text()),
                    number(tk.highrange.text())};
    view.window = fullWindow(lanes, view.markers);
    view.width = kPictureWidth;
    const int bands = job.overlaid ? 4 : static_cast<int>(std::min<size_t>(lanes.size(), kMaxHeight / kBandHeight));
    view.height = std::clamp(60 + bands * kBandHeight, kMinHeight, kMaxHeight);
    const QString problem = writeLanePicture(job.out, lanes, view);
    if (problem.isEmpty()) return 0;
    err << "lociview: " << job.out << " was not written: " << problem << '\n';
    return 1;
}

}  // namespace lociview::qt
