#pragma once
// The Statistics panel: the SP-PCR statistics of the scored run and of the
// accumulated runs as tables of titles, values, 95% intervals and notes,
// each with its allele spectrum chart, which the exporter saves.
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "chart/SpectrumBars.h"
#include "stats/StatsText.h"

class QTableWidget;

namespace Ui {
class StatisticsPanel;
}

namespace lociview {
class GeneController;
}

namespace lociview::qt {

class SpectrumChartView;

// The title of the run's spectrum chart, which says when it counts the
// records after a clean-up.
QString runSpectrumTitle(const GeneController& controller);

class StatisticsPanel final : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsPanel(QWidget* parent = nullptr);
    ~StatisticsPanel() override;

    QSize sizeHint() const override;

    // Reads both statistics from the controller and shows what changed.
    void refresh(const GeneController& controller);

    QTableWidget* runTable() const;
    QTableWidget* accumulatedTable() const;
    SpectrumChartView* runChart() const { return runSpectrum; }
    SpectrumChartView* accumulatedChart() const { return accumulatedSpectrum; }
    // The chart of the tab shown.
    SpectrumChartView* currentChart() const;

Q_SIGNALS:
    // Save Chart was pressed: the window's exporter saves currentChart().
    void saveChartRequested();

private:
    void showStatistics(QTableWidget* table, SpectrumChartView* chart, std::string& shownText, const QString& title,
              const std::vector<StatRow>& rows, const AlleleSpectrum* spectrum);

    std::unique_ptr<Ui::StatisticsPanel> ui;
    SpectrumChartView* runSpectrum = nullptr;
    SpectrumChartView* accumulatedSpectrum = nullptr;
    // What each tab shows, printed, so an action that changed nothing
    // redraws nothing.
    std::string runText = "-";
    std::string accumulatedText = "-";
};

}  // namespace lociview::qt
