#include "qt/export/ExportMenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTableView>
#include <QWidget>
#include <set>

#include "app/GeneController.h"
#include "chart/LaneZoom.h"
#include "qt/chart/LaneView.h"
#include "qt/QtDialogs.h"
#include "qt/chart/ChartPicture.h"
#include "qt/chart/SpectrumChart.h"
#include "qt/export/SaveFile.h"
#include "qt/StatisticsPanel.h"

namespace lociview::qt {

namespace {

const QStringList kTableFilters = {QStringLiteral("CSV, comma-separated (*.csv)"),
                                   QStringLiteral("TSV, tab-separated (*.tsv)")};
const QStringList kPictureFilters = {QStringLiteral("PNG picture (*.png)"), QStringLiteral("SVG drawing (*.svg)")};
const QStringList kReportFilters = {QStringLiteral("PDF document (*.pdf)")};

// "csv" of "CSV, comma-separated (*.csv)".
QString extensionOf(const QString& filter) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)\\)")).match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString menuText(ExportTable which) {
    switch (which) {
        case ExportTable::ByAllele: return QStringLiteral("Table by &Allele…");
        case ExportTable::ByLane: return QStringLiteral("Table by &Lane…");
        case ExportTable::Counters: return QStringLiteral("Lane &Counters…");
        case ExportTable::RunStatistics: return QStringLiteral("Run &Statistics…");
        case ExportTable::AccumulatedStatistics: return QStringLiteral("Accu&mulated Statistics…");
        case ExportTable::Samples: return QStringLiteral("Samples as La&nes…");
        case ExportTable::Instability: return QStringLiteral("&Instability by Lane…");
        case ExportTable::InstabilityGroups: return QStringLiteral("Instability by &Group…");
    }
    return {};
}

QString actionName(ExportTable which) {
    switch (which) {
        case ExportTable::ByAllele: return QStringLiteral("actionExportByAllele");
        case ExportTable::ByLane: return QStringLiteral("actionExportByLane");
        case ExportTable::Counters: return QStringLiteral("actionExportCounters");
        case ExportTable::RunStatistics: return QStringLiteral("actionExportRunStatistics");
        case ExportTable::AccumulatedStatistics: return QStringLiteral("actionExportAccumulatedStatistics");
        case ExportTable::Samples: return QStringLiteral("actionExportSamples");
        case ExportTable::Instability: return QStringLiteral("actionExportInstability");
        case ExportTable::InstabilityGroups: return QStringLiteral("actionExportInstabilityGroups");
    }
    return {};
}

QAction* newAction(QObject* parent, const QString& text, const QString& name, const QKeySequence& keys = {}) {
    auto* action = new QAction(text, parent);
    action->setObjectName(name);
    action->setShortcut(keys);
    return action;
}

QString writeText(const QString& path, const std::string& text) {
    return saveFile(path, [&](QIODevice& file) {
        return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
    });
}

// Whether the file name ends in .extension, in any case.
bool hasExtension(const QString& path, const char* extension) {
    return QFileInfo(path).suffix().compare(QLatin1String(extension), Qt::CaseInsensitive) == 0;
}

}  // namespace

ExportMenu::ExportMenu(QWidget& window, ChartModel& model, QMenu* fileMenu, QAction* print, QMenu* editMenu,
                       QTableView* table, QtDialogs& dialogs)
    : QObject(&window), chartModel(model), table(table), dialogs(dialogs) {
    QMenu* exportMenu = new QMenu(QStringLiteral("&Export"), fileMenu);
    exportMenu->setObjectName(QStringLiteral("menuExport"));
    for (const ExportTable which : {ExportTable::ByAllele, ExportTable::ByLane, ExportTable::Counters,
                                    ExportTable::RunStatistics, ExportTable::AccumulatedStatistics,
                                    ExportTable::Samples, ExportTable::Instability,
                                    ExportTable::InstabilityGroups}) {
        QAction* action = newAction(this, menuText(which), actionName(which));
        connect(action, &QAction::triggered, this, [this, which] { exportTable(which); });
        exportMenu->addAction(action);
        tableActions.emplace_back(which, action);
    }
    exportMenu->addSeparator();
    chart = newAction(this, QStringLiteral("C&hart Picture…"), QStringLiteral("actionExportChart"));
    connect(chart, &QAction::triggered, this, &ExportMenu::exportChart);
    exportMenu->addAction(chart);
    spectrum = newAction(this, QStringLiteral("S&pectrum Chart Picture…"), QStringLiteral("actionExportSpectrumChart"));
    connect(spectrum, &QAction::triggered, this, &ExportMenu::exportSpectrumChart);
    exportMenu->addAction(spectrum);
    lanesPicture = newAction(this, QStringLiteral("&Lanes Picture…"), QStringLiteral("actionExportLanes"));
    connect(lanesPicture, &QAction::triggered, this, &ExportMenu::exportLanes);
    exportMenu->addAction(lanesPicture);

    reportAction = newAction(this, QStringLiteral("Export &Report…"), QStringLiteral("actionExportReport"),
                             QKeySequence(QStringLiteral("Ctrl+Shift+D")));
    connect(reportAction, &QAction::triggered, this, &ExportMenu::exportReport);
    printWindow = newAction(this, QStringLiteral("Print &Window…"), QStringLiteral("actionPrintWindow"),
                            QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    if (fileMenu) {
        fileMenu->insertMenu(print, exportMenu);
        fileMenu->insertAction(print, reportAction);
        fileMenu->insertSeparator(print);
        const QList<QAction*> items = fileMenu->actions();
        const qsizetype at = items.indexOf(print);
        fileMenu->insertAction(at + 1 < items.size() ? items[at + 1] : nullptr, printWindow);
        connect(fileMenu, &QMenu::aboutToShow, this, &ExportMenu::updateEnabled);
    }
    connect(exportMenu, &QMenu::aboutToShow, this, &ExportMenu::updateEnabled);

    table->installEventFilter(this);
    QAction* copyAction = newAction(&window, QStringLiteral("&Copy"), QStringLiteral("actionCopy"), QKeySequence::Copy);
    connect(copyAction, &QAction::triggered, this, &ExportMenu::copy);
    QAction* selectAllAction =
        newAction(&window, QStringLiteral("Select &All"), QStringLiteral("actionSelectAll"), QKeySequence::SelectAll);
    connect(selectAllAction, &QAction::triggered, this, &ExportMenu::selectAll);
    if (editMenu) {
        editMenu->addSeparator();
        editMenu->addAction(copyAction);
        editMenu->addAction(selectAllAction);
    } else {
        window.addAction(copyAction);
        window.addAction(selectAllAction);
    }
}

bool ExportMenu::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (watched != table || !key || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
        return QObject::eventFilter(watched, event);
    // Taken as a key press rather than as the window's shortcut, then copied.
    event->accept();
    if (event->type() == QEvent::KeyPress) copy();
    return true;
}

void ExportMenu::updateEnabled() {
    for (const auto& [which, action] : tableActions) action->setEnabled(controller && controller->hasExportTable(which));
    chart->setEnabled(!chartModel.peaks().empty());
}

QString ExportMenu::suggestedName(const QString& suffix, const QString& extension) const {
    QString stem = QStringLiteral("lociview");
    if (controller && controller->provenance()) {
        const QString file = QFileInfo(QString::fromStdString(controller->provenance()->fileName)).completeBaseName();
        if (!file.isEmpty()) stem = file;
    }
    return QStringLiteral("%1-%2.%3").arg(stem, suffix, extension);
}

QString ExportMenu::chosenPath(const QString& title, const QString& suffix, const QStringList& filters) {
    const QtDialogs::SaveChoice choice =
        dialogs.runSaveDialog(title, suggestedName(suffix, extensionOf(filters.front())), filters);
    if (choice.path.isEmpty()) return {};
    const QString typed = QFileInfo(choice.path).suffix().toLower();
    for (const QString& filter : filters)
        if (extensionOf(filter) == typed) return choice.path;
    // No known extension typed: the filter chosen says which.
    const QString extension = extensionOf(filters.contains(choice.filter) ? choice.filter : filters.front());
    return choice.path + QLatin1Char('.') + extension;
}

bool ExportMenu::written(const QString& problem, const QString& path) {
    if (problem.isEmpty()) {
        Q_EMIT done(QStringLiteral("Saved %1").arg(path));
        return true;
    }
    AlertRequest alert = alertRequest(AlertId::ExportNotWritten);
    alert.informative =
        QStringLiteral("%1 could not be written (%2); a file of that name is left as it was.").arg(path, problem).toStdString();
    dialogs.runAlert(alert);
    return false;
}

bool ExportMenu::exportTable(ExportTable which) {
    if (!controller || !controller->hasExportTable(which)) {
        Q_EMIT done(QStringLiteral("Nothing to export yet"));
        return false;
    }
    const QString path = chosenPath(QStringLiteral("Export %1").arg(QLatin1String(exportTableName(which))),
                                    QLatin1String(exportFileSuffix(which)), kTableFilters);
    if (path.isEmpty()) return false;
    const Delimiter delimiter = hasExtension(path, "tsv") ? Delimiter::Tab : Delimiter::Comma;
    return written(writeText(path, controller->exportText(which, delimiter)), path);
}

bool ExportMenu::exportChart() {
    const QString path = chosenPath(QStringLiteral("Export Chart"), QStringLiteral("chart"), kPictureFilters);
    if (path.isEmpty()) return false;
    const ChartFrame frame = ChartGeometry::frame(chartModel);
    return written(hasExtension(path, "svg") ? writeChartSvg(path, frame) : writePng(path, chartImage(frame, kChartPictureSize)), path);
}

bool ExportMenu::exportLanes() {
    const LanePanel* panel = lanes;
    if (!panel) return false;
    const QString path = chosenPath(QStringLiteral("Export Lanes Picture"), QStringLiteral("lanes"),
                                    kPictureFilters + QStringList{QStringLiteral("PDF document (*.pdf)")});
    if (path.isEmpty()) return false;
    // The lanes as the view shows them now, at twice its size on screen.
    LaneView view = panel->canvas()->currentView();
    view.width = std::max(view.width * 2, 800);
    view.height = std::max(view.height * 2, 400);
    return written(writeLanePicture(path, panel->canvas()->lanes(), view), path);
}

bool ExportMenu::exportSpectrumChart() {
    const StatisticsPanel* panel = statistics;
    if (!panel) return false;
    const SpectrumChartView* view = panel->currentChart();
    const QString path = chosenPath(QStringLiteral("Export Spectrum Chart"),
                                    view == panel->accumulatedChart() ? QStringLiteral("spectrum-accumulated")
                                                                      : QStringLiteral("spectrum-run"),
                                    kPictureFilters);
    if (path.isEmpty()) return false;
    return written(hasExtension(path, "svg") ? writeSpectrumSvg(path, view->bars(), view->title(), SpectrumChartView::kPictureSize)
                       : writePng(path, spectrumImage(view->bars(), view->title(), SpectrumChartView::kPictureSize)),
                   path);
}

Report ExportMenu::report() const { return controller ? controller->report() : Report{}; }

ReportPictures ExportMenu::reportPictures() const {
    ReportPictures pictures;
    if (!chartModel.peaks().empty()) pictures.chart = chartImage(ChartGeometry::frame(chartModel), kChartPictureSize);
    if (!controller) return pictures;
    if (const std::optional<RunStatistics> run = controller->runStatistics())
        pictures.runSpectrum = spectrumImage(spectrumBars(run->spectrum), runSpectrumTitle(*controller), SpectrumChartView::kPictureSize);
    if (!controller->accumulatedRunList().empty())
        pictures.accumulatedSpectrum =
            spectrumImage(spectrumBars(controller->accumulatedStatistics().spectrum),
                          QStringLiteral("Allele spectrum of the accumulated runs"), SpectrumChartView::kPictureSize);
    const std::vector<LaneData> flagged = controller->flaggedLanes();
    if (!flagged.empty() && flagged.size() <= GeneController::kReportedLaneViews) {
        LaneView view;
        view.markers = lanes ? lanes->canvas()->currentView().markers : LaneMarkers{};
        view.window = fullWindow(flagged, view.markers);
        view.width = kChartPictureSize.width();
        view.height = 60 + 90 * static_cast<int>(flagged.size());
        pictures.flaggedLanes = laneImage(flagged, view);
    }
    return pictures;
}

bool ExportMenu::exportReport() {
    const QString path = chosenPath(QStringLiteral("Export Report"), QStringLiteral("report"), kReportFilters);
    if (path.isEmpty()) return false;
    return written(writeReport(path), path);
}

QString ExportMenu::writeReport(const QString& path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString problem = writeReportPdf(path, report(), reportPictures());
    QApplication::restoreOverrideCursor();
    return problem;
}

void ExportMenu::printReport() {
    const Report content = report();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(content.title));
    printer.setPageLayout(reportPageLayout());
    if (!dialogs.runPrintDialog(printer)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int pages = paintReport(printer, content, reportPictures());
    QApplication::restoreOverrideCursor();
    Q_EMIT done(pages > 0 ? QStringLiteral("Printed the report, %1 pages").arg(pages)
                          : QStringLiteral("Printing failed: the printer could not be opened"));
}

void ExportMenu::copy() {
    // The fields and the scoring log copy their own text.
    QWidget* focus = QApplication::focusWidget();
    if (auto* field = qobject_cast<QLineEdit*>(focus)) return field->copy();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) return text->copy();
    if (!controller || !table->selectionModel()) return;
    std::set<int> rows;
    for (const QItemSelectionRange& range : table->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.insert(r);
    if (rows.empty()) {
        Q_EMIT done(QStringLiteral("Select rows of the results table to copy them"));
        return;
    }
    const TextTable copied = controller->shownTableRows({rows.begin(), rows.end()});
    QGuiApplication::clipboard()->setText(QString::fromStdString(delimitedText(copied, Delimiter::Tab)));
    Q_EMIT done(copied.rows.size() == 1 ? QStringLiteral("Copied 1 row")
                                        : QStringLiteral("Copied %1 rows").arg(copied.rows.size()));
}

void ExportMenu::selectAll() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* field = qobject_cast<QLineEdit*>(focus)) return field->selectAll();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) return text->selectAll();
    table->selectAll();
}

}  // namespace lociview::qt
