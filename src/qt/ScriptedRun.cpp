#include "qt/ScriptedRun.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "qt/ChartArea.h"
#include "qt/LociviewWindow.h"

namespace lociview::qt {

namespace {

const QStringList valueOptions = {QStringLiteral("--open"),       QStringLiteral("--p1"),
                                  QStringLiteral("--p2"),         QStringLiteral("--graph-rows"),
                                  QStringLiteral("--size"),       QStringLiteral("--screenshot")};
const QStringList flagOptions = {QStringLiteral("--by-lane")};

// "--name" of "--name=value" or "--name".
QString optionName(const QString& argument) {
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    return equals < 0 ? argument : argument.left(equals);
}

bool isScriptedOption(const QString& argument) {
    const QString name = optionName(argument);
    return valueOptions.contains(name) || flagOptions.contains(name);
}

std::optional<std::vector<int>> parseRows(const QString& text) {
    std::vector<int> rows;
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int row = part.trimmed().toInt(&ok);
        if (!ok || row < 0) return std::nullopt;
        rows.push_back(row);
    }
    return rows;
}

std::optional<QSize> parseSize(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('x'));
    if (parts.size() != 2) return std::nullopt;
    bool okWidth = false, okHeight = false;
    const int width = parts[0].toInt(&okWidth);
    const int height = parts[1].toInt(&okHeight);
    // Smaller than this the window cannot lay out its controls; larger is
    // no screen's size.
    const auto fits = [](int v) { return v >= 200 && v <= 10000; };
    if (!okWidth || !okHeight || !fits(width) || !fits(height)) return std::nullopt;
    return QSize(width, height);
}

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

ParsedArguments parseArguments(const QStringList& arguments) {
    ParsedArguments parsed;
    bool scripted = false;
    for (const QString& argument : arguments) scripted = scripted || isScriptedOption(argument);
    if (!scripted) return parsed;

    ScriptedRun run;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString name = optionName(argument);
        if (flagOptions.contains(name)) {
            if (name != argument) {
                parsed.error = QStringLiteral("%1 takes no value").arg(name);
                return parsed;
            }
            run.byLane = true;
            continue;
        }
        if (!valueOptions.contains(name)) {
            parsed.error = QStringLiteral("unknown argument: %1").arg(argument);
            return parsed;
        }
        QString value;
        if (name != argument) {
            value = argument.mid(name.size() + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            parsed.error = QStringLiteral("%1 needs a value").arg(name);
            return parsed;
        }

        if (name == QLatin1String("--open")) {
            run.open = value;
        } else if (name == QLatin1String("--p1")) {
            run.p1 = value;
        } else if (name == QLatin1String("--p2")) {
            run.p2 = value;
        } else if (name == QLatin1String("--screenshot")) {
            run.screenshot = value;
        } else if (name == QLatin1String("--graph-rows")) {
            const auto rows = parseRows(value);
            if (!rows) {
                parsed.error = QStringLiteral("--graph-rows wants row numbers from 0 separated by commas, not %1").arg(value);
                return parsed;
            }
            run.graphRows = *rows;
        } else if (name == QLatin1String("--size")) {
            const auto size = parseSize(value);
            if (!size) {
                parsed.error = QStringLiteral("--size wants WIDTHxHEIGHT, each 200 to 10000, not %1").arg(value);
                return parsed;
            }
            run.size = *size;
        }
    }
    parsed.run = run;
    return parsed;
}

int ScriptedDialogs::runAlert(const AlertRequest& alert) {
    std::fprintf(stderr, "alert: %s [%s]\n", alert.message.c_str(), alert.defaultButton.c_str());
    return 1;
}

std::optional<std::string> ScriptedDialogs::runOpenPanel() {
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

bool ScriptedDialogs::runPrintDialog(QPrinter&) { return false; }

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
        if (!picture.save(run.screenshot, "PNG")) {
            std::fprintf(stderr, "lociview: could not save %s\n", QFile::encodeName(run.screenshot).constData());
            return 1;
        }
        report << "screenshot: " << run.screenshot << " (" << picture.width() << " x " << picture.height() << ")\n";
        report.flush();
    }
    return 0;
}

}  // namespace lociview::qt
