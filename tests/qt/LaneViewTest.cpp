// The lane view in the window: it shows a file's lanes as soon as it is
// opened, zooms about the pointer, makes a peak Progenitor 1 from its menu,
// asks before filling the suggested progenitors, and exports what it shows;
// the flags' levels typed beside it.
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QWheelEvent>
#include <cmath>
#include <memory>
#include <tuple>

#include "chart/LaneZoom.h"
#include "qt/chart/LaneView.h"
#include "WindowFixture.h"

namespace lociview::qt::test {
namespace {

using LaneViewTest = WindowFixture;

TEST_F(LaneViewTest, OpensViewsZoomsSetsP1FromAPeakAndExports) {
    open(examplePlate);
    LanePanel* panel = window.lanePanel();
    ASSERT_TRUE(panel);
    LaneCanvas* canvas = panel->canvas();
    EXPECT_TRUE(window.laneDock()->isVisible());
    const QAbstractItemModel* rows = panel->laneList()->model();
    ASSERT_EQ(rows->rowCount(), 12);
    ASSERT_EQ(canvas->lanes().size(), 12u);

    // A level that is no number is said and the one before kept; a new one
    // flags the lanes anew, in the list too.
    panel->saturationField()->setText(QStringLiteral("lots"));
    Q_EMIT panel->saturationField()->editingFinished();
    EXPECT_EQ(panel->saturationField()->text(), QStringLiteral("30000"));
    EXPECT_EQ(controller.levels().saturation, 30000.0);
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("levelNote"))->text().contains(QStringLiteral("\"lots\" is not a number")));
    panel->lowSignalField()->setText(QStringLiteral("1e6"));
    Q_EMIT panel->lowSignalField()->editingFinished();
    EXPECT_EQ(controller.levels().lowSignal, 1e6);
    const auto lowSignal = [](const QualityFlag& f) { return f.kind == QualityFlagKind::LowSignal; };
    const std::vector<QualityFlag> flags = controller.qualityFlags();
    ASSERT_GT(std::count_if(flags.begin(), flags.end(), lowSignal), 0);
    const int32_t flagged = std::find_if(flags.begin(), flags.end(), lowSignal)->lane;
    const QModelIndex row = rows->index(flagged - 1, 0);
    EXPECT_TRUE(row.data(Qt::ToolTipRole).toString().contains(QStringLiteral("low-signal")));
    EXPECT_EQ(std::tuple(row.data(Qt::UserRole).toInt(), row.data().toString()), std::tuple(flagged, QString::number(flagged)));

    // A lane chosen in the list is drawn alone, and stays chosen when new
    // levels redraw the list; its tallest peak is under the pointer.
    panel->chooseLanes({3});
    ASSERT_EQ(canvas->lanes().size(), 1u);
    panel->lowSignalField()->setText(QStringLiteral("2e6"));
    Q_EMIT panel->lowSignalField()->editingFinished();
    ASSERT_EQ(canvas->lanes().size(), 1u);
    EXPECT_EQ(canvas->lanes().front().lane, 3);
    EXPECT_EQ(panel->laneList()->selectionModel()->selectedRows().size(), 1);
    // Chosen in the list by hand: rows 2 and 5, then lane 3 again.
    QItemSelectionModel* chosen = panel->laneList()->selectionModel();
    chosen->select(rows->index(1, 0), QItemSelectionModel::ClearAndSelect);
    chosen->select(rows->index(4, 0), QItemSelectionModel::Select);
    ASSERT_EQ(canvas->lanes().size(), 2u);
    EXPECT_EQ(std::tuple(canvas->lanes()[0].lane, canvas->lanes()[1].lane), std::tuple(2, 5));
    panel->chooseLanes({3});
    const std::vector<LanePeak> peaks = canvas->lanes().front().peaks;
    ASSERT_FALSE(peaks.empty());
    const LanePeak tallest = *std::max_element(peaks.begin(), peaks.end(),
                                               [](const LanePeak& a, const LanePeak& b) { return a.height < b.height; });
    // Whatever layout is still pending (a busy machine delays it) is done
    // before the frame is measured: the tooltip reads the frame last painted.
    QApplication::processEvents();
    canvas->repaint();
    const LaneFrame before = canvas->layOut();
    const QPointF onPeak(before.x(tallest.size), before.plot.bottom() - 2);
    EXPECT_TRUE(canvas->tipAt(onPeak).contains(QStringLiteral("lane 3"))) << canvas->tipAt(onPeak).toStdString();

    // A wheel notch zooms in about the pointer: the size under it stays.
    QWheelEvent wheel(onPeak, canvas->mapToGlobal(onPeak), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QApplication::processEvents();
    canvas->repaint();
    const LaneFrame after = canvas->layOut();
    EXPECT_LT(after.window.sizeHigh - after.window.sizeLow, before.window.sizeHigh - before.window.sizeLow);
    EXPECT_NEAR(after.sizeAt(onPeak.x()), before.sizeAt(onPeak.x()), 0.01);

    // The peak's menu makes it Progenitor 1, whole bp.
    QTimer::singleShot(50, canvas, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menu->actions().first()->trigger();
            menu->close();
        }
    });
    const QPoint at = QPointF(after.x(tallest.size), after.plot.bottom() - 2).toPoint();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, canvas->mapToGlobal(at));
    QApplication::sendEvent(canvas, &menuEvent);
    EXPECT_EQ(text("progenitor1"), std::to_string(std::lround(tallest.size)));

    // Suggest progenitors asks first: cancelled, the fields stay.
    dialogs.expectAlert(AlertId::SuggestProgenitors, true);
    const std::string p2 = text("progenitor2");
    click("suggestProgenitors");
    EXPECT_EQ(text("progenitor2"), p2);

    // File › Export › Lanes Picture: the lane as zoomed, as a PNG.
    const QString path = dir.filePath(QStringLiteral("lanes.png"));
    dialogs.saves.push_back({path, QString()});
    action("actionExportLanes")->trigger();
    EXPECT_GT(QFileInfo(path).size(), 1000);
    QImage picture(path);
    EXPECT_GE(picture.width(), 800);

    // Lanes chosen again are shown whole again.
    const LaneWindow whole = fullWindow(canvas->lanes(), canvas->currentView().markers);
    ASSERT_NE(canvas->window(), whole);
    panel->chooseLanes({3});
    EXPECT_EQ(canvas->window(), whole);

    // The list's rows are as wide as its widest label, wherever it is.
    const QString wide = QStringLiteral("a sample named at such length that no list is as wide");
    panel->showLanes(std::make_shared<const std::vector<LaneData>>(std::vector<LaneData>{
                         {1, "A", {}, {}, {}, {}}, {2, wide.toStdString(), {}, {}, {}, {}}, {3, "B", {}, {}, {}, {}}}),
                     {}, {}, true);
    QApplication::processEvents();
    const QListView* list = panel->laneList();
    EXPECT_GE(list->visualRect(list->model()->index(1, 0)).width(),
              list->iconSize().width() + list->fontMetrics().horizontalAdvance(QStringLiteral("2 ") + wide));

    // More lanes than fit are a stack that scrolls; the lane last clicked in
    // the list is brought into view whole.
    std::vector<LaneData> sixty;
    for (int32_t n = 1; n <= 60; ++n) sixty.push_back({n, "", {{150, 100, 0}}, {}, {}, {}});
    panel->showLanes(std::make_shared<const std::vector<LaneData>>(sixty), {}, {}, true);
    chosen->setCurrentIndex(rows->index(49, 0), QItemSelectionModel::NoUpdate);
    chosen->select(QItemSelection(rows->index(0, 0), rows->index(59, 0)), QItemSelectionModel::ClearAndSelect);
    ASSERT_EQ(canvas->lanes().size(), 60u);
    const LaneFrame stack = canvas->layOut();
    const auto shown = std::find_if(stack.bands.begin(), stack.bands.end(), [](const LaneBand& b) { return b.lane == 49; });
    ASSERT_NE(shown, stack.bands.end());
    EXPECT_TRUE(!canvas->scrollBar()->isHidden() && stack.bands.size() < 30 && shown->rect.top >= stack.plot.top &&
                shown->rect.bottom() <= stack.plot.bottom() + 1e-6);
}

}  // namespace
}  // namespace lociview::qt::test
