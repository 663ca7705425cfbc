#include "qt/LociviewWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QCheckBox>
#include <QDialog>
#include <QVBoxLayout>
#include <QFormLayout>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <exception>
#include <functional>
#include <map>

#include "app/ScoringFields.h"

#include "base/NumberText.h"
#include "qt/AccumulatedRunList.h"
#include "qt/chart/ChartPicture.h"
#include "qt/chart/Chartview.h"
#include "scoring/Locus.h"
#include "qt/CleanUpHistory.h"
#include "qt/FieldHints.h"
#include "qt/InstabilityPlot.h"
#include "qt/chart/LaneView.h"
#include "qt/export/ExportMenu.h"
#include "qt/ResultsTableModel.h"
#include "qt/StatisticsPanel.h"
#include "ui_AccumWindow.h"
#include "ui_CleanupWindow.h"
#include "ui_ExportWindow.h"
#include "ui_GeWindow.h"
#include "ui_MainWindow.h"

namespace lociview::qt {

// The adapters over the widgets of all five windows.
struct LociviewWindow::Controls {
    Ui::GeWindow ge;
    Ui::AccumWindow acc;
    Ui::CleanupWindow cleanup;
    Ui::ExportWindow exporting;

    QButtonGroup* locusGroup = nullptr;
    ResultsTableModel* tableModel = nullptr;

    std::unique_ptr<WidgetWindow> sppcrwindow, gewindow, accwindow, cleanupwindow;
    std::unique_ptr<PlainTextField> sppcrtext;
    std::unique_ptr<LineEditField> geforun, accumgeforun, cuwlessthanfield, cuwgreaterthanfield, cuwlanefield,
        cuwallelefield;
    std::unique_ptr<TableViewAdapter> tabl;
    std::unique_ptr<PlainTextLog> datatext;
    std::unique_ptr<ProgressBarIndicator> progressbar;
    std::unique_ptr<LineEditField> numemptylanes, numones, numtwos;
    std::unique_ptr<LineEditField> progenitor1, progenitor2, highrange, lowrange, shift, stuttertol;
    std::unique_ptr<ButtonGroupMatrix> locusmatrix;
    std::unique_ptr<ButtonState> Maybes, toggleTable;
    std::map<std::string_view, QLineEdit*, std::less<>> scoringEdits;  // by field name
};

LociviewWindow::LociviewWindow(QtDialogs* injected, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), dialogs(injected),
      controls(std::make_unique<Controls>()) {
    ui->setupUi(this);
    // The first size fits the screen, title bar and window frame included.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableGeometry().size() - QSize(16, 40)));
    if (!dialogs) {
        ownDialogs = std::make_unique<QtDialogs>();
        dialogs = ownDialogs.get();
    }
    dialogs->setParentWindow(this);

    Controls& c = *controls;
    // Column numbers of the locus cells: mono, di, tri, penta.
    c.locusGroup = new QButtonGroup(this);
    c.locusGroup->addButton(ui->locusMono, 0);
    c.locusGroup->addButton(ui->locusDi, 1);
    c.locusGroup->addButton(ui->locusTri, 2);
    c.locusGroup->addButton(ui->locusPenta, 3);
    c.locusGroup->addButton(ui->locusTetra, 4);
    c.locusGroup->addButton(ui->locusHexa, 5);
    c.locusGroup->setExclusive(true);
    ui->walkEveryLocus->setText(QString::fromUtf8(kWalkEveryLocusTitle));

    c.tableModel = new ResultsTableModel(this);
    // The control lanes checked by lane: the index size of the controls'
    // mean, and the group the others are compared with.
    connect(c.tableModel, &ResultsTableModel::controlsChanged, this, [this] {
        if (!controller) return;
        InstabilityChoices choices = controller->instabilityChoices();
        choices.controls = controls->tableModel->controlLanes();
        controller->setInstabilityChoices(std::move(choices));
        controls->tableModel->refreshIndices();
        refreshViews();
    });
    c.tabl = std::make_unique<TableViewAdapter>(ui->tabl, c.tableModel);
    c.datatext = std::make_unique<PlainTextLog>(ui->datatext);
    c.progressbar = std::make_unique<ProgressBarIndicator>(ui->progressbar, ui->cancelScoringButton);
    c.numemptylanes = std::make_unique<LineEditField>(ui->numemptylanes);
    c.numones = std::make_unique<LineEditField>(ui->numones);
    c.numtwos = std::make_unique<LineEditField>(ui->numtwos);
    c.progenitor1 = std::make_unique<LineEditField>(ui->progenitor1);
    c.progenitor2 = std::make_unique<LineEditField>(ui->progenitor2);
    c.highrange = std::make_unique<LineEditField>(ui->highrange);
    c.lowrange = std::make_unique<LineEditField>(ui->lowrange);
    c.shift = std::make_unique<LineEditField>(ui->shift);
    c.stuttertol = std::make_unique<LineEditField>(ui->stuttertol);
    c.locusmatrix = std::make_unique<ButtonGroupMatrix>(c.locusGroup);
    c.Maybes = std::make_unique<ButtonState>(ui->Maybes);
    c.toggleTable = std::make_unique<ButtonState>(ui->toggleTable);

    buildAuxiliaryWindows();
    const Outlets all = outlets();
    for (const ScoringField& f : scoringFields())
        c.scoringEdits.emplace(f.number.name, static_cast<LineEditField&>(f.outlet(all)).widget());
    history = new CleanUpHistory(this);
    history->connectActions(ui->actionUndo, ui->actionRedo);
    connect(history, &CleanUpHistory::stepShown, this, [this](const QString& text) {
        refreshViews();
        ui->statusbar->showMessage(text);
    });
    exports = new ExportMenu(*this, chartModel(), ui->menuFile, ui->actionPrint, ui->menuEdit, ui->tabl, *dialogs);
    connect(exports, &ExportMenu::done, ui->statusbar, [this](const QString& text) { ui->statusbar->showMessage(text); });
    connectActions();
    buildStatisticsDock();
    buildLaneDock();
    installFieldHints(this);
    updateStatus();
}

LociviewWindow::~LociviewWindow() { detach(); }

void LociviewWindow::buildAuxiliaryWindows() {
    Controls& c = *controls;
    // Tool dialogs of the main window: they stay in front of it and are
    // hidden, not destroyed, when closed.
    geDialog = new QDialog(this);
    c.ge.setupUi(geDialog);
    accDialog = new QDialog(this);
    c.acc.setupUi(accDialog);
    cleanupDialog = new QDialog(this);
    c.cleanup.setupUi(cleanupDialog);
    exportDialog = new QDialog(this);
    c.exporting.setupUi(exportDialog);
    prepareRunList(c.acc.accumruns);
    // A GE typed into a window that is then cancelled is no run's GE: the
    // run's statistics read the Add Run window's field.
    for (const auto& [dialog, field] : {std::pair{geDialog, c.ge.geforun}, {accDialog, c.acc.accumgeforun}})
        connect(dialog, &QDialog::rejected, field, &QLineEdit::clear);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    c.exporting.sppcrtext->setFont(fixed);

    c.gewindow = std::make_unique<WidgetWindow>(geDialog);
    c.accwindow = std::make_unique<WidgetWindow>(accDialog);
    c.cleanupwindow = std::make_unique<WidgetWindow>(cleanupDialog);
    c.sppcrwindow = std::make_unique<WidgetWindow>(exportDialog);
    c.sppcrtext = std::make_unique<PlainTextField>(c.exporting.sppcrtext);
    c.geforun = std::make_unique<LineEditField>(c.ge.geforun);
    c.accumgeforun = std::make_unique<LineEditField>(c.acc.accumgeforun);
    c.cuwlessthanfield = std::make_unique<LineEditField>(c.cleanup.cuwlessthanfield);
    c.cuwgreaterthanfield = std::make_unique<LineEditField>(c.cleanup.cuwgreaterthanfield);
    c.cuwlanefield = std::make_unique<LineEditField>(c.cleanup.cuwlanefield);
    c.cuwallelefield = std::make_unique<LineEditField>(c.cleanup.cuwallelefield);
}

void LociviewWindow::installChartView(QWidget* view) {
    QWidget* placeholder = ui->chartPlaceholder;
    if (!placeholder || !view) return;
    view->setMinimumSize(placeholder->minimumSize());
    ui->resultsSplitter->replaceWidget(ui->resultsSplitter->indexOf(placeholder), view);
    ui->chartPlaceholder = nullptr;
    delete placeholder;
}

Outlets LociviewWindow::outlets() {
    Controls& c = *controls;
    return Outlets{*c.sppcrwindow, *c.sppcrtext,      *c.gewindow,         *c.geforun,         *c.accwindow,
                   *c.accumgeforun, *c.cleanupwindow, *c.cuwlessthanfield, *c.cuwgreaterthanfield,
                   *c.cuwlanefield, *c.cuwallelefield, chartModel(),       *c.tabl,            *c.datatext,
                   *c.progressbar,  *c.numemptylanes, *c.numones,          *c.numtwos,         *c.progenitor1,
                   *c.progenitor2,  *c.highrange,     *c.lowrange,         *c.shift,           *c.stuttertol,
                   *c.locusmatrix,  *c.Maybes,        *c.toggleTable,      *this,              *dialogs,
                   devlog,          standardOutput};
}

void LociviewWindow::attach(GeneController& source) {
    controller = &source;
    controls->tableModel->setController(&source);
    history->setController(&source);
    exports->setController(&source);
    source.setWalkEveryLocus(ui->walkEveryLocus->isChecked());
    updateStatus();
}

void LociviewWindow::detach() {
    controller = nullptr;
    controls->tableModel->setController(nullptr);
    history->setController(nullptr);
    exports->setController(nullptr);
}

Outcome LociviewWindow::perform(ControllerAction action) {
    return perform(action, [this, action] { return (controller->*action)(); });
}

Outcome LociviewWindow::perform(ControllerAction action, const std::function<Outcome()>& run) {
    outcome = Outcome::Cancelled;
    if (!controller) return outcome;
    try {
        outcome = run();
    } catch (const std::exception& e) {
        // An action that fails must not take the window down with it.
        outcome = Outcome::Refused;
        logf(devlog, "action failed: %s", e.what());
    } catch (...) {
        outcome = Outcome::Refused;
        logf(devlog, "action failed");
    }
    controls->progressbar->endRun();
    controls->datatext->flush();
    history->follow();
    updateStatus();
    // What the action read its fields as, where a text is not one plain number.
    fieldNotes = QString::fromStdString(controller->takeFieldNotes());
    if (!fieldNotes.isEmpty()) ui->statusbar->showMessage(QStringLiteral("Read as typed: %1.").arg(fieldNotes));
    // A locus that is not walked marks no peak: said once for the run.
    if (action == &GeneController::scoreData && outcome == Outcome::Done && controller->lastRunUnwalked())
        ui->statusbar->showMessage(QString::fromStdString(unwalkedLocusNote(
            controller->locusType(), std::string("turn on \"") + kWalkEveryLocusTitle + '"')));
    Q_EMIT actionFinished(action, outcome);
    return outcome;
}

// A clean-up becomes a step of Edit › Undo, and the status bar says what it did.
void LociviewWindow::performCleanUp(ControllerAction action) {
    if (!controller) return;
    CleanUpSnapshot before = controller->cleanUpSnapshot();
    if (perform(action) != Outcome::Done) return;
    history->recordStep(std::move(before));
    QString status = QString::fromStdString(controller->cleanUpSummary());
    if (!fieldNotes.isEmpty()) status += QStringLiteral(" (read as typed: %1)").arg(fieldNotes);
    ui->statusbar->showMessage(status);
}

void LociviewWindow::connectActions() {
    const auto on = [this](auto* sender, auto signal, ControllerAction action) {
        connect(sender, signal, this, [this, action] { perform(action); });
    };
    Controls& c = *controls;

    on(ui->actionOpen, &QAction::triggered, &GeneController::openData);
    on(ui->openButton, &QPushButton::clicked, &GeneController::openData);
    // Print… prints the report; Print Window… the window as it is.
    connect(ui->actionPrint, &QAction::triggered, exports, &ExportMenu::printReport);
    on(exports->printWindowAction(), &QAction::triggered, &GeneController::printMyWindow);
    connect(ui->actionQuit, &QAction::triggered, this, &QWidget::close);

    on(ui->actionScore, &QAction::triggered, &GeneController::scoreData);
    on(ui->scoreButton, &QPushButton::clicked, &GeneController::scoreData);
    on(ui->actionGraph, &QAction::triggered, &GeneController::graphSelections);
    on(ui->graphButton, &QPushButton::clicked, &GeneController::graphSelections);

    // The two switches send their actions on a user's click only; the menu
    // items mirror them both ways without sending twice.
    on(ui->toggleTable, &QPushButton::clicked, &GeneController::toggleTable);
    connect(ui->toggleTable, &QPushButton::toggled, ui->actionTableByLane, &QAction::setChecked);
    connect(ui->actionTableByLane, &QAction::triggered, this, [this](bool checked) {
        ui->toggleTable->setChecked(checked);
        perform(&GeneController::toggleTable);
    });
    on(ui->Maybes, &QCheckBox::clicked, &GeneController::toggleMaybes);
    connect(ui->Maybes, &QCheckBox::toggled, ui->actionMaybes, &QAction::setChecked);
    connect(ui->actionMaybes, &QAction::triggered, this, [this](bool checked) {
        ui->Maybes->setChecked(checked);
        perform(&GeneController::toggleMaybes);
    });

    // Tetra and hexa are offered only while every repeat unit is walked;
    // one of them chosen when the walk is turned off gives way to di.
    connect(ui->walkEveryLocus, &QCheckBox::toggled, this, [this](bool on) {
        if (!on && (ui->locusTetra->isChecked() || ui->locusHexa->isChecked())) ui->locusDi->setChecked(true);
        ui->locusTetra->setVisible(on);
        ui->locusHexa->setVisible(on);
        if (controller) controller->setWalkEveryLocus(on);
    });

    on(ui->actionCleanUp, &QAction::triggered, &GeneController::cleanUpWindow);
    on(ui->cleanUpButton, &QPushButton::clicked, &GeneController::cleanUpWindow);
    const auto onCleanUp = [this](QPushButton* button, Outcome (GeneController::*action)()) {
        connect(button, &QPushButton::clicked, this, [this, action] { performCleanUp(action); });
    };
    onCleanUp(c.cleanup.cuwlessthanbutton, &GeneController::cleanUpLessThan);
    onCleanUp(c.cleanup.cuwgreaterthanbutton, &GeneController::cleanUpGreaterThan);
    onCleanUp(c.cleanup.cuwlaneallelebutton, &GeneController::cleanUpLaneAndOrAllele);

    on(ui->actionAddToAccumulator, &QAction::triggered, &GeneController::preAddToAccumulator);
    on(ui->addToAccumulatorButton, &QPushButton::clicked, &GeneController::preAddToAccumulator);
    on(c.acc.accumgesubmitbutton, &QPushButton::clicked, &GeneController::addToAccumulator);
    // The desktop asks before a reset, naming the runs.
    on(ui->actionResetAccumulator, &QAction::triggered, &GeneController::confirmResetAccumulator);
    on(ui->resetAccumulatorButton, &QPushButton::clicked, &GeneController::confirmResetAccumulator);
    on(ui->actionExportSPPCR, &QAction::triggered, &GeneController::exportSPPCRData);
    on(ui->exportButton, &QPushButton::clicked, &GeneController::exportSPPCRData);
    on(c.ge.gesubmitbutton, &QPushButton::clicked, &GeneController::exportSPPCR2);
    on(ui->actionExportAccumulated, &QAction::triggered, &GeneController::exportAccumulatedSPPCRData);
    on(ui->exportAccumulatedButton, &QPushButton::clicked, &GeneController::exportAccumulatedSPPCRData);

    connect(c.exporting.sppcrcopybutton, &QPushButton::clicked, this, [&c] {
        QGuiApplication::clipboard()->setText(c.exporting.sppcrtext->toPlainText());
    });
}

std::string LociviewWindow::title() const {
    const QByteArray bytes = windowTitle().toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void LociviewWindow::setTitle(const std::string& title) { setWindowTitle(QString::fromUtf8(title.c_str())); }

void LociviewWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    // The page turned the way the window is, so the picture fills it.
    printer.setPageOrientation(width() > height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!dialogs->runPrintDialog(printer)) return;
    if (!printOnto(printer)) logf(devlog, "printing failed: the printer could not be opened");
}

QImage LociviewWindow::windowPicture(qreal scale) {
    QImage picture(size() * scale, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(scale);
    picture.fill(palette().color(QPalette::Window));
    render(&picture);
    // The chart painted again over its place, from the frame its view draws.
    const Chartview* view = findChild<Chartview*>();
    if (view && view->isVisible() && view->problem().isEmpty()) {
        QPainter painter(&picture);
        paintChart(painter, ChartGeometry::frame(chart), QRectF(view->mapTo(this, QPoint(0, 0)), view->size()),
                   kChartBackground);
    }
    return picture;
}

bool LociviewWindow::printOnto(QPrinter& printer) {
    const QImage picture = windowPicture();
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = painter.viewport();
    QSize size = picture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(page.center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    return painter.end();
}

QLineEdit* LociviewWindow::scoringField(std::string_view name) const {
    const auto found = controls->scoringEdits.find(name);
    return found != controls->scoringEdits.end() ? found->second : nullptr;
}

QAbstractButton* LociviewWindow::locusCell(int column) const { return controls->locusGroup->button(column); }
QAbstractButton* LociviewWindow::walkEveryLocusSwitch() const { return ui->walkEveryLocus; }
QAbstractButton* LociviewWindow::maybesSwitch() const { return ui->Maybes; }
QMenu* LociviewWindow::fileMenu() const { return ui->menuFile; }
QAction* LociviewWindow::printAction() const { return ui->actionPrint; }

Outcome LociviewWindow::openFiles(const QStringList& files) {
    std::vector<std::string> paths;
    for (const QString& file : files) paths.push_back(QFile::encodeName(file).toStdString());
    return perform(&GeneController::openData, [this, &paths] { return controller->openPaths(paths); });
}

QStringList LociviewWindow::openedFiles() const {
    QStringList files;
    if (!controller || !controller->workingOnFile()) return files;
    for (const std::string& path : controller->importedData().tables.files)
        files.append(QFile::decodeName(QByteArray::fromStdString(path)));
    return files;
}

QString LociviewWindow::statusText() const {
    if (!controller || controller->dataSetName().empty()) return QStringLiteral("No peak table open");
    QString text = QStringLiteral("%1 — %2 peaks in %3 lanes")
                       .arg(QString::fromStdString(controller->dataSetName()))
                       .arg(controller->store().count())
                       .arg(controller->laneCount());
    // Sizing tables, genotype tables and per-sample files: which layout was read and which dye is scored.
    const ImportedDataSet& opened = controller->importedData();
    if (opened.dye && controller->workingOnFile()) {
        text += QStringLiteral(" — %1, dye %2")
                    .arg(QString::fromStdString(opened.tables.layoutName), QString::fromStdString(dyeName(opened.dye)));
        if (!opened.tables.marker.empty())
            text += QStringLiteral(", marker %1").arg(QString::fromStdString(opened.tables.marker));
    }
    return text;
}

void LociviewWindow::updateStatus() {
    ui->statusbar->showMessage(statusText());
    refreshViews();
}

void LociviewWindow::refreshViews() {
    const std::optional<ResultProvenance>* source = controller ? &controller->provenance() : nullptr;
    if (source && *source) {
        // Results left from the file before the one open now stand out.
        ui->provenanceLabel->setText(QString::fromStdString(provenanceText(**source)));
        ui->provenanceLabel->setStyleSheet((*source)->previousFile ? QStringLiteral("color: #b35900; font-style: italic;")
                                                                   : QString());
    } else {
        ui->provenanceLabel->setText(QStringLiteral("No results yet"));
        ui->provenanceLabel->setStyleSheet(QString());
    }
    fillRunList(controls->acc.accumruns, controller ? controller->accumulatedRunList() : std::vector<LoggedRun>{});
    updateStatistics();
    updateLanes();
}

QDockWidget* LociviewWindow::addResultsDock(QWidget* content, const QString& title, const char* name,
                                            const char* toggleName, const char* keys) {
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(QString::fromLatin1(name));
    dock->setWidget(content);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    QAction* toggle = dock->toggleViewAction();
    toggle->setObjectName(QString::fromLatin1(toggleName));
    toggle->setShortcut(QKeySequence(QString::fromLatin1(keys)));
    ui->menuResults->addAction(toggle);
    return dock;
}

void LociviewWindow::buildStatisticsDock() {
    statistics = new StatisticsPanel;
    ui->menuResults->addSeparator();
    statisticsDockWidget = addResultsDock(statistics, QStringLiteral("Statistics"), "statisticsDock", "actionStatistics", "Ctrl+I");
    exports->setStatisticsPanel(statistics);
    connect(statistics, &StatisticsPanel::saveChartRequested, exports, &ExportMenu::exportSpectrumChart);

    // The choices the indices are counted with, above their plot.
    auto* pane = new QWidget;
    auto* form = new QFormLayout;
    auto* indexSize = new QComboBox;
    indexSize->setObjectName(QStringLiteral("instabilityIndexSize"));
    indexSize->addItems({QStringLiteral("each lane's main peak"), QStringLiteral("P1"),
                         QStringLiteral("mean main peak of the controls")});
    auto* threshold = new QLineEdit(QStringLiteral("0.2"));
    threshold->setObjectName(QStringLiteral("instabilityThreshold"));
    threshold->setToolTip(QStringLiteral("Peaks at least this fraction of the main peak's height are kept (0 to 1)"));
    auto* unit = new QLineEdit;
    unit->setObjectName(QStringLiteral("instabilityUnit"));
    unit->setPlaceholderText(QStringLiteral("the locus step"));
    form->addRow(QStringLiteral("Index size"), indexSize);
    form->addRow(QStringLiteral("Peak threshold"), threshold);
    form->addRow(QStringLiteral("Repeat unit (bp)"), unit);
    auto* column = new QVBoxLayout(pane);
    column->addLayout(form);
    instabilityPlot = new InstabilityPlot;
    column->addWidget(instabilityPlot, 1);
    const auto choose = [this, indexSize, threshold, unit] {
        if (!controller) return;
        InstabilityChoices choices = controller->instabilityChoices();
        const IndexSizeChoice kinds[] = {IndexSizeChoice::OwnMainPeak, IndexSizeChoice::Progenitor1,
                                         IndexSizeChoice::ControlMean};
        choices.index = kinds[std::clamp(indexSize->currentIndex(), 0, 2)];
        choices.threshold = thresholdValue(threshold->text().toStdString());
        choices.unit = unit->text().trimmed().isEmpty()
                           ? std::nullopt
                           : std::optional<double>(wholeNumberValue(unit->text().toStdString()).value_or(0.0));
        controller->setInstabilityChoices(std::move(choices));
        controls->tableModel->refreshIndices();
        updateInstability();
    };
    connect(indexSize, &QComboBox::currentIndexChanged, this, choose);
    connect(threshold, &QLineEdit::editingFinished, this, choose);
    connect(unit, &QLineEdit::editingFinished, this, choose);
    instabilityDockWidget = new QDockWidget(QStringLiteral("Instability"), this);
    instabilityDockWidget->setObjectName(QStringLiteral("instabilityDock"));
    instabilityDockWidget->setWidget(pane);
    addDockWidget(Qt::RightDockWidgetArea, instabilityDockWidget);
    tabifyDockWidget(statisticsDockWidget, instabilityDockWidget);
    statisticsDockWidget->raise();
    // Counted only while it can be seen.
    connect(instabilityDockWidget, &QDockWidget::visibilityChanged, this, [this](bool seen) {
        if (seen) updateInstability();
    });
    QAction* toggleInstability = instabilityDockWidget->toggleViewAction();
    toggleInstability->setObjectName(QStringLiteral("actionInstability"));
    toggleInstability->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+I")));
    ui->menuResults->addAction(toggleInstability);
}

void LociviewWindow::buildLaneDock() {
    lanes = new LanePanel;
    laneDockWidget = addResultsDock(lanes, QStringLiteral("Lanes"), "laneDock", "actionLanes", "Ctrl+L");
    tabifyDockWidget(statisticsDockWidget, laneDockWidget);
    exports->setLanePanel(lanes);

    connect(laneDockWidget, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) updateLanes();
    });
    connect(lanes, &LanePanel::suggestRequested, this, [this] {
        perform(&GeneController::suggestProgenitorsAction);
    });
    connect(lanes->canvas(), &LaneCanvas::progenitorChosen, this, [this](int which, double size) {
        if (controller) controller->fillProgenitor(which, size);
    });
    connect(lanes, &LanePanel::levelsEdited, this, &LociviewWindow::setQualityLevels);
    // The lines follow what is typed; the lanes follow the rows chosen in the by-lane table.
    for (QLineEdit* field : {ui->progenitor1, ui->progenitor2, ui->lowrange, ui->highrange})
        connect(field, &QLineEdit::textChanged, this, [this] { lanes->setMarkers(laneMarkers()); });
    connect(ui->tabl->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!controller || !ui->toggleTable->isChecked()) return;
        const std::vector<std::string> ids = controls->tabl->columnIdentifiers();
        if (ids.empty()) return;
        std::vector<int32_t> chosen;
        for (const int row : controls->tabl->selectedRows()) {
            const CellValue cell = controller->tableView(ids.front(), row);
            if (const auto* lane = std::get_if<int32_t>(&cell)) chosen.push_back(*lane);
        }
        if (!chosen.empty()) lanes->chooseLanes(chosen);
    });
}

void LociviewWindow::setQualityLevels(const QString& saturation, const QString& lowSignal) {
    if (!controller) return;
    // A text that is not a level keeps the one before, and says so.
    QualityLevels levels = controller->levels();
    QStringList refused;
    const std::tuple<const QString&, double*, const char*> typed[] = {{saturation, &levels.saturation, "saturation"},
                                                                      {lowSignal, &levels.lowSignal, "low signal"}};
    for (const auto& [text, level, name] : typed) {
        if (const std::optional<double> value = rfuLevel(text.toStdString())) *level = *value;
        else
            refused << QStringLiteral("The %1 level \"%2\" is not a number of RFU (0 or more): %3 RFU is kept.")
                           .arg(QLatin1String(name), text, QString::number(*level));
    }
    if (levels.saturation != controller->levels().saturation || levels.lowSignal != controller->levels().lowSignal) {
        controller->setQualityLevels(levels);
        controls->tabl->reloadData();
        // The list's flags change with the levels; the window stays where it is.
        if (controller->workingOnFile() && laneDockWidget->isVisible())
            lanes->showLanes(controller->flaggedFrom(), controller->qualityFlags(), laneMarkers(), false);
    }
    lanes->showLevels(levels, refused.join(QLatin1Char(' ')));
}

LaneMarkers LociviewWindow::laneMarkers() const {
    // A field that holds no number draws no line.
    const auto value = [](const QLineEdit* field) -> std::optional<double> {
        bool ok = false;
        const double v = field->text().trimmed().toDouble(&ok);
        if (!ok) return std::nullopt;
        return v;
    };
    return {value(ui->progenitor1), value(ui->progenitor2), value(ui->lowrange), value(ui->highrange)};
}

void LociviewWindow::updateLanes() {
    if (!lanes) return;
    if (!controller || !controller->workingOnFile()) {
        lanesOf.reset();
        lanes->showLanes(nullptr, {}, laneMarkers(), true);
        return;
    }
    try {
        // A newly opened data set is brought to the front and shown whole;
        // a view out of sight is drawn once it is shown.
        const bool opened = lanesOf != controller->store().nextKey();
        if (opened) laneDockWidget->raise();
        if (!laneDockWidget->isVisible()) return;
        lanesOf = controller->store().nextKey();
        lanes->showLanes(controller->flaggedFrom(), controller->qualityFlags(), laneMarkers(), opened);
    } catch (const std::exception& e) {
        logf(devlog, "lanes not shown: %s", e.what());
    }
}

void LociviewWindow::updateInstability() {
    if (!controller || !instabilityPlot || !instabilityDockWidget->isVisible()) return;
    const InstabilityChoices& choices = controller->instabilityChoices();
    std::optional<InstabilityResult> counted = controller->runInstability(choices);
    if (!counted) return instabilityPlot->showMessage(QStringLiteral("No scored run"));
    if (counted->problem) return instabilityPlot->showMessage(QString::fromStdString(counted->problem->message));
    GroupsResult grouped = groupInstability(counted->lanes, {}, choices.controls);
    instabilityPlot->showIndices(std::move(counted->lanes), std::move(grouped.groups));
}

void LociviewWindow::updateStatistics() {
    if (!controller || !statistics) return;
    try {
        updateInstability();
        statistics->refresh(*controller);
    } catch (const std::exception& e) {
        logf(devlog, "statistics not shown: %s", e.what());
    }
}

}  // namespace lociview::qt
