#pragma once
// A picture of the lane view without a window, for scripts and reports:
//
//   lociview --export-lanes OUT.svg|png|pdf [--lanes LIST] [--overlaid]
//            [--p1 TEXT --p2 TEXT] [--low TEXT] [--high TEXT] [--shift TEXT]
//            [--stutter TEXT] [--locus CELL] [--maybes] FILE...
//
//   lociview --export-standard OUT.svg|png|pdf [--lanes LIST] FILE...
//
// The files are opened as the Open dialog opens them (several as the lanes
// of one data set) and, with both progenitors given, scored, so the peaks
// take their marks' colours; or, for the standard, each trace lane's size
// standard and its fit drawn. CommandLine.h reads the options.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QTextStream;

namespace lociview::qt {

struct LaneExport {
    QString out;
    bool standard = false;  // the size-standard view, not the lanes
    QStringList files;
    std::vector<int> lanes;  // the lanes drawn; all when empty
    bool overlaid = false;
    // Typed into the fields; unset ones keep the start-up values.
    std::optional<QString> p1, p2, low, high, shift, stutter;
    std::optional<int> locusCell;
    bool maybes = false;
};

// "1,3,8-12": lane numbers and ranges of them; nothing when it does not read.
std::optional<std::vector<int>> parseLaneList(const QString& text);

// Writes the picture; why it did not goes to err. Exit status 0 when it is
// written (also when the lanes are drawn unscored, which err says), 1 when
// not.
int runLaneExport(const LaneExport& job, QTextStream& err);

}  // namespace lociview::qt
