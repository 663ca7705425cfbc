#pragma once
// The size-standard view: each chosen trace lane's standard signal with its
// fragments labelled, and the fit with its residuals, painted with QPainter
// from the frame StandardGeometry lays out; in the Lanes dock and as a
// picture written without a window.
#include <QString>
#include <QWidget>
#include <vector>

#include "chart/StandardGeometry.h"

class QPainter;

namespace lociview::qt {

void paintStandards(QPainter& painter, const StandardFrame& frame);

// Written at width by height pixels as PNG, SVG or PDF by the extension:
// empty when written, else why not.
QString writeStandardPicture(const QString& path, const std::vector<LaneData>& lanes, int width, int height);

class StandardCanvas final : public QWidget {
    Q_OBJECT

public:
    explicit StandardCanvas(QWidget* parent = nullptr);
    void setLanes(std::vector<LaneData> lanes);
    const std::vector<LaneData>& lanes() const { return data; }
    StandardFrame layOut() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<LaneData> data;
};

}  // namespace lociview::qt
