#pragma once
// The lane view: the chosen lanes' peaks (and a trace's sized signal)
// against size in bp, painted with QPainter from the frame LaneGeometry lays
// out; its dock beside the chart with the lane and sample list, and the
// same picture written as PNG, SVG or PDF without a window.
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "chart/LaneGeometry.h"
#include "stats/QualityFlags.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPainter;
class QPushButton;
class QScrollBar;
class QTabWidget;

namespace lociview::qt {

class StandardCanvas;
class LaneListModel;

// The style measured from the painter's font, so labels and legend fit it.
LaneStyle styleFor(const QFont& font);
// Pictures are drawn in a font of a fixed pixel size, whatever the screen.
QFont pictureFont();

// The frame as the view shows it, over its whole device.
void paintLanes(QPainter& painter, const LaneFrame& frame);

// The lanes laid out at size and written to path, its kind by its
// extension (.png, .svg, .pdf): empty when written, else why not.
QImage laneImage(const std::vector<LaneData>& lanes, LaneView view);
QString writeLanePicture(const QString& path, const std::vector<LaneData>& lanes, LaneView view);

// The painted lanes with zoom (wheel on sizes, with Shift on heights; a
// Shift-drag rubber band), a drag to pan, a reset (double-click), a tooltip
// on the peak under the pointer and its menu to make it a progenitor.
// Stacked bands keep room for a label and a scale each; more lanes than
// that fits are a stack scrolled by a bar beside the canvas.
class LaneCanvas final : public QWidget {
    Q_OBJECT

public:
    explicit LaneCanvas(QWidget* parent = nullptr);

    // fit: show the whole data, as after opening a file; otherwise the
    // window stays where the user left it.
    // The lanes are shared, not copied: a table's are thousands of peaks.
    void setLanes(std::shared_ptr<const std::vector<LaneData>> lanes, const LaneMarkers& markers, bool fit);
    void setMode(LaneMode mode);
    void setMarkers(const LaneMarkers& markers);
    void resetWindow();
    // The band of the lane of this number scrolled into view.
    void showLane(int32_t number);
    // Shown beside the canvas when the stack is taller than the plot.
    QScrollBar* scrollBar() const { return bar; }

    const LaneFrame& frame() const { return shown; }
    const LaneWindow& window() const { return view.window; }
    const std::vector<LaneData>& lanes() const { return *data; }
    // What is shown: mode, window, lines, at the widget's size now.
    LaneView currentView() const;
    // The frame at the widget's size now, as paintEvent lays it out.
    LaneFrame layOut() const;
    // What the tooltip says at a point; "" off every peak.
    QString tipAt(QPointF point) const;

Q_SIGNALS:
    // From a peak's menu: which 1 or 2.
    void progenitorChosen(int which, double size);

protected:
    bool event(QEvent* event) override;  // the tooltip: the peak under the pointer, else how to move
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void moveTo(const LaneWindow& window);
    // The scroll kept within the stack, and the bar showing it.
    void syncBar();

    QScrollBar* bar = nullptr;

    std::shared_ptr<const std::vector<LaneData>> data;
    LaneView view;
    LaneFrame shown;
    std::optional<QPointF> dragFrom;
    std::optional<QPointF> bandFrom;  // a rubber band's first corner
    QPointF pointer;
};

// The dock's content: how to draw (stacked or overlaid), Reset, the flags'
// saturation and low-signal levels, "Suggest progenitors", the lanes with
// their samples and flags to choose from, and the lane canvas with the
// size-standard view in a tab beside it.
class LanePanel final : public QWidget {
    Q_OBJECT

public:
    explicit LanePanel(QWidget* parent = nullptr);

    // The open data set's lanes (none for null) and flags; fit as for LaneCanvas::setLanes.
    void showLanes(std::shared_ptr<const std::vector<LaneData>> lanes, const std::vector<QualityFlag>& flags,
                   const LaneMarkers& markers, bool fit);
    // The flags' levels in their fields, and what was wrong with a text
    // typed there ("" for nothing).
    void showLevels(const QualityLevels& levels, const QString& note);
    QLineEdit* saturationField() const { return saturation; }
    QLineEdit* lowSignalField() const { return lowSignal; }
    // P1, P2 and the range as typed, the lanes as they are.
    void setMarkers(const LaneMarkers& markers);
    // The lanes of these numbers drawn, as when chosen in the list.
    void chooseLanes(const std::vector<int32_t>& lanes);

    LaneCanvas* canvas() const { return plot; }
    StandardCanvas* standardCanvas() const { return standard; }
    QTabWidget* viewTabs() const { return views; }
    // A row per lane: its number and sample, a warning icon when flagged,
    // its flags as tooltip, its number as Qt::UserRole.
    QListView* laneList() const { return list; }
    QPushButton* suggestButton() const { return suggest; }

Q_SIGNALS:
    void suggestRequested();
    // Either level's field was left: both texts as they stand.
    void levelsEdited(const QString& saturation, const QString& lowSignal);

private:
    void showChosen(bool fit);
    // The rows of these lanes selected, the rest not, without drawing yet.
    void select(const std::vector<int32_t>& lanes);
    std::vector<int32_t> chosenLanes() const;

    std::shared_ptr<const std::vector<LaneData>> all;
    LaneMarkers lines;
    QComboBox* mode = nullptr;
    QPushButton* suggest = nullptr;
    QLineEdit* saturation = nullptr;
    QLineEdit* lowSignal = nullptr;
    QLabel* levelNote = nullptr;
    QListView* list = nullptr;
    LaneListModel* rows = nullptr;
    bool selecting = false;  // the selection set by the program, not the user
    LaneCanvas* plot = nullptr;
    StandardCanvas* standard = nullptr;
    QTabWidget* views = nullptr;
};

}  // namespace lociview::qt
