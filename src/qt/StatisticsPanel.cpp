#include "qt/StatisticsPanel.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QHeaderView>
#include <QTableWidget>

#include "app/GeneController.h"
#include "qt/chart/SpectrumChart.h"
#include "stats/StatDisplay.h"
#include "ui_StatisticsPanel.h"

#include <algorithm>

namespace lociview::qt {

namespace {

void fitRows(QTableWidget* table);

void prepare(QTableWidget* table) {
    table->setColumnCount(3);
    table->setHorizontalHeaderLabels({QStringLiteral("Statistic"), QStringLiteral("Value"), QStringLiteral("95% interval")});
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionResized, table, [table] { fitRows(table); });
}

// Rows as tall as their text at the table's width now. A note spans the
// three columns, which the table's own sizing does not reckon with; and a
// title that only just fits on one line by the table's reckoning is cut
// short ("One-allele lanes ...") where the style draws it inside margins.
void fitRows(QTableWidget* table) {
    for (int r = 0; r < table->rowCount(); ++r) {
        const QTableWidgetItem* item = table->item(r, 0);
        const bool note = table->columnSpan(r, 0) >= 3;
        if (!note) table->resizeRowToContents(r);
        if (!item) continue;
        // The size the style draws the wrapped text in, a little narrower
        // than the cell.
        QStyleOptionViewItem option;
        option.initFrom(table->viewport());
        option.font = item->font();
        option.fontMetrics = QFontMetrics(option.font);
        option.text = item->text();
        option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::WrapText;
        const int width = table->visualRect(table->model()->index(r, 0)).width() - 8;
        option.rect = QRect(0, 0, std::max(width, 1), 1);  // valid, or no wrapping
        const int needed = table->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), table).height() + 2;
        table->setRowHeight(r, note ? needed : std::max(needed, table->rowHeight(r)));
    }
}

// A row per statistic, and below a row with a note its note across the
// whole width, so a narrow panel still shows every note in full.
void fill(QTableWidget* table, const std::vector<StatLine>& lines) {
    table->clearSpans();
    int rows = 0;
    for (const StatLine& line : lines) rows += line.note.empty() ? 1 : 2;
    table->setRowCount(rows);
    int r = 0;
    for (const StatLine& line : lines) {
        table->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(line.title)));
        for (const auto& [column, cell] : {std::pair{1, &line.value}, std::pair{2, &line.interval}}) {
            auto* item = new QTableWidgetItem(QString::fromStdString(*cell));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, column, item);
        }
        ++r;
        if (line.note.empty()) continue;
        auto* note = new QTableWidgetItem(QString::fromStdString(line.note));
        QFont italic = note->font();
        italic.setItalic(true);
        note->setFont(italic);
        note->setForeground(table->palette().color(QPalette::PlaceholderText));
        table->setItem(r, 0, note);
        table->setSpan(r, 0, 1, 3);
        ++r;
    }
    fitRows(table);
}

}  // namespace

QString runSpectrumTitle(const GeneController& controller) {
    return controller.runStatisticsSource() == StatisticsSource::AfterCleanUp
               ? QStringLiteral("Allele spectrum of this run, after clean-up")
               : QStringLiteral("Allele spectrum of this run");
}

StatisticsPanel::StatisticsPanel(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::StatisticsPanel>()) {
    ui->setupUi(this);
    prepare(ui->runTable);
    prepare(ui->accumulatedTable);
    runSpectrum = new SpectrumChartView;
    runSpectrum->setObjectName(QStringLiteral("runSpectrum"));
    ui->runSplitter->addWidget(runSpectrum);
    ui->runSplitter->setSizes({300, 250});
    accumulatedSpectrum = new SpectrumChartView;
    accumulatedSpectrum->setObjectName(QStringLiteral("accumulatedSpectrum"));
    ui->accumulatedSplitter->addWidget(accumulatedSpectrum);
    ui->accumulatedSplitter->setSizes({300, 250});
    connect(ui->saveChartButton, &QPushButton::clicked, this, &StatisticsPanel::saveChartRequested);
}

StatisticsPanel::~StatisticsPanel() = default;

QSize StatisticsPanel::sizeHint() const { return {400, 560}; }

QTableWidget* StatisticsPanel::runTable() const { return ui->runTable; }
QTableWidget* StatisticsPanel::accumulatedTable() const { return ui->accumulatedTable; }

SpectrumChartView* StatisticsPanel::currentChart() const {
    return ui->statisticsTabs->currentWidget() == ui->accumulatedTab ? accumulatedSpectrum : runSpectrum;
}

void StatisticsPanel::refresh(const GeneController& controller) {
    // Which state the numbers come from, so they are never read as another's.
    const StatisticsSource source = controller.runStatisticsSource();
    const QString sourceText = QString::fromStdString(controller.runStatisticsSourceText());
    ui->runSource->setText(sourceText);
    ui->runSource->setStyleSheet(source == StatisticsSource::ScoredRun || source == StatisticsSource::None
                                     ? QString()
                                     : QStringLiteral("color: #b35900; font-style: italic;"));
    if (const std::optional<RunStatistics> run = controller.runStatistics()) {
        showStatistics(ui->runTable, runSpectrum, runText, runSpectrumTitle(controller), statRows(*run), &run->spectrum);
    } else {
        showStatistics(ui->runTable, runSpectrum, runText, sourceText, {}, nullptr);
    }
    const AccumulatedStatistics accumulated = controller.accumulatedStatistics();
    showStatistics(ui->accumulatedTable, accumulatedSpectrum, accumulatedText,
         QStringLiteral("Allele spectrum of the accumulated runs"), statRows(accumulated), &accumulated.spectrum);
}

void StatisticsPanel::showStatistics(QTableWidget* table, SpectrumChartView* chart, std::string& shownText,
                           const QString& title, const std::vector<StatRow>& rows, const AlleleSpectrum* spectrum) {
    const std::string now =
        title.toStdString() + '\n' + statsText(rows) + (spectrum ? spectrumText(*spectrum) : std::string());
    if (now == shownText) return;
    shownText = now;
    fill(table, statLines(rows));
    chart->showSpectrum(spectrum ? spectrumBars(*spectrum) : SpectrumBars{}, title);
}

}  // namespace lociview::qt
