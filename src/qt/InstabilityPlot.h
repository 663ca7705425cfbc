#pragma once
// The instability of a scored run drawn with QPainter: each lane's
// repeat-change distribution as a row of a heat map (the share of the
// lane's kept height at each change from the index size, the main peak
// outlined), and below it each group's mean instability index with its
// 95% interval.
#include <QWidget>
#include <vector>

#include "stats/Instability.h"

namespace lociview::qt {

class InstabilityPlot final : public QWidget {
    Q_OBJECT

public:
    explicit InstabilityPlot(QWidget* parent = nullptr);

    // The lanes (those without indices are left out) and the groups; a
    // message instead when there is nothing to draw.
    void showIndices(std::vector<LaneInstability> lanes, std::vector<GroupInstability> groups);
    void showMessage(const QString& message);

    // Whole repeats from the lowest change of any lane to the highest.
    int lowestChange() const { return low; }
    int highestChange() const { return high; }
    // The lanes drawn, as rows.
    const std::vector<LaneInstability>& rows() const { return lanes; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintHeatMap(QPainter& painter, QRect area) const;
    void paintGroups(QPainter& painter, QRect area) const;

    std::vector<LaneInstability> lanes;
    std::vector<GroupInstability> groups;
    QString message;
    int low = 0, high = 0;
};

}  // namespace lociview::qt
