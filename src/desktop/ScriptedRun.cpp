#include "desktop/ScriptedRun.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "qt/chart/ChartPicture.h"
#include "qt/chart/ChartArea.h"
#include "qt/export/ExportMenu.h"
#include "qt/LociviewWindow.h"

namespace lociview::qt {

namespace {

// Lets the event loop run for a while: layout, exposure, chart redraws.
void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void waitUntilExposed(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 5000) settle(20);
}

template <class T>
T* widget(LociviewWindow& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) std::fprintf(stderr, "lociview: the window has no %s\n", name);
    return found;
}

void click(LociviewWindow& window, const char* name) {
    if (auto* button = widget<QAbstractButton>(window, name)) button->click();
}

// Types as a user would: the whole field replaced, then edited.
void type(LociviewWindow& window, const char* name, const QString& text) {
    if (auto* field = widget<QLineEdit>(window, name)) {
        field->selectAll();
        field->insert(text);
        Q_EMIT field->editingFinished();
    }
}

void selectRows(LociviewWindow& window, const std::vector<int>& rows) {
    auto* table = widget<QTableView>(window, "tabl");
    if (!table || !table->selectionModel()) return;
    const QAbstractItemModel* model = table->model();
    table->clearSelection();
    for (const int row : rows) {
        if (row >= model->rowCount() || model->columnCount() == 0) {
            std::fprintf(stderr, "lociview: row %d is not in the results table (%d rows)\n", row, model->rowCount());
            continue;
        }
        table->selectionModel()->select(model->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QString fieldText(LociviewWindow& window, const char* name) {
    const auto* field = widget<QLineEdit>(window, name);
    return field ? field->text() : QString();
}

void writeReport(LociviewWindow& window, const ChartArea& chart, QTextStream& report) {
    report << "title: " << window.windowTitle() << '\n';
    report << "lanes: " << fieldText(window, "numemptylanes") << " empty, " << fieldText(window, "numones")
           << " with one allele, " << fieldText(window, "numtwos") << " with two or more\n";

    if (const auto* table = widget<QTableView>(window, "tabl")) {
        const QAbstractItemModel* model = table->model();
        QStringList headers;
        for (int c = 0; c < model->columnCount(); ++c) headers << model->headerData(c, Qt::Horizontal).toString();
        report << "table: " << model->rowCount() << " rows; " << headers.join(QStringLiteral(" | ")) << '\n';
        QStringList selected;
        for (const QModelIndex& index : table->selectionModel()->selectedRows()) selected << QString::number(index.row());
        report << "selected rows: " << selected.join(QLatin1Char(' ')) << '\n';
    }
    if (const auto* log = widget<QPlainTextEdit>(window, "datatext")) {
        for (const QString& line : log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            report << "scoring log: " << line << '\n';
    }

    const Chartview* view = chart.view();
    if (!view) {
        report << "chart: " << chartNotice(Chartview::openGLProblem()) << '\n';
    } else if (!view->problem().isEmpty()) {
        report << "chart: " << chartNotice(view->problem()) << '\n';
    } else {
        report << "chart: " << window.chartModel().peaks().size() << " peaks, drawn with OpenGL\n";
    }
}

}  // namespace

int UnattendedDialogs::runAlert(const AlertRequest& alert) {
    std::fprintf(stderr, "alert: %s [%s]\n", alert.message.c_str(), alert.defaultButton.c_str());
    return 1;
}

std::optional<std::string> UnattendedDialogs::runOpenPanel() {
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

bool UnattendedDialogs::runPrintDialog(QPrinter&) { return false; }

int runScripted(LociviewWindow& window, const ChartArea& chart, const ScriptedRun& run, QTextStream& report) {
    window.resize(run.size);
    window.show();
    waitUntilExposed(window);

    if (!run.open.isEmpty()) click(window, "openButton");
    if (run.p1) type(window, "progenitor1", *run.p1);
    if (run.p2) type(window, "progenitor2", *run.p2);
    if (!run.open.isEmpty()) click(window, "scoreButton");
    if (run.byLane) {
        auto* toggle = widget<QAbstractButton>(window, "toggleTable");
        if (toggle && !toggle->isChecked()) toggle->click();
    }
    if (!run.graphRows.empty()) {
        selectRows(window, run.graphRows);
        click(window, "graphButton");
    }
    settle(400);  // a few chart redraws and the table's layout

    writeReport(window, chart, report);
    report.flush();

    if (!run.screenshot.isEmpty()) {
        const QPixmap picture = window.grab();
        if (const QString problem = writePng(run.screenshot, picture.toImage()); !problem.isEmpty()) {
            std::fprintf(stderr, "lociview: could not save %s: %s\n", QFile::encodeName(run.screenshot).constData(),
                         problem.toLocal8Bit().constData());
            return 1;
        }
        report << "screenshot: " << run.screenshot << " (" << picture.width() << " x " << picture.height() << ")\n";
        report.flush();
    }
    if (!run.report.isEmpty()) {
        if (const QString problem = window.exportMenu()->writeReport(run.report); !problem.isEmpty()) {
            std::fprintf(stderr, "lociview: could not write %s: %s\n", QFile::encodeName(run.report).constData(),
                         problem.toLocal8Bit().constData());
            return 1;
        }
        report << "report: " << run.report << '\n';
        report.flush();
    }
    return 0;
}

}  // namespace lociview::qt
