#pragma once
// The real main window with its chart and the controller under a display,
// driven through its widgets, every dialog but the import review answered
// by the test: the one fixture of the GUI suites.
#include <algorithm>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "app/GeneController.h"
#include "base/DevLog.h"
#include "base/OutputSink.h"
#include "qt/chart/ChartArea.h"
#include "qt/LociviewWindow.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace lociview::qt::test {

inline const std::string examplePlate = LOCIVIEW_EXAMPLES_DIR "/di-locus-plate.txt";

// What the chart view and textures write to standard output.
class RecordingOutput final : public OutputSink {
public:
    void write(std::string_view text) override { written += text; }
    std::string written;
};

// Answers the dialogs: alerts expected in turn (any other fails the test),
// the open-file, save and print dialogs with what the test put here. The
// import review is the real one.
class AnsweringDialogs final : public QtDialogs {
public:
    void expectAlert(AlertId id, bool pressAlternate = false) { expected.push_back({id, pressAlternate}); }

    int runAlert(const AlertRequest& alert) override {
        shown.push_back(alert);
        if (expected.empty()) {
            ADD_FAILURE() << "unexpected alert: " << alert.message;
            return 1;
        }
        const auto [id, alternate] = expected.front();
        expected.pop_front();
        EXPECT_EQ(alert.id, id) << alert.message;
        return alternate && alert.alternateButton ? 0 : 1;
    }
    std::optional<std::string> runOpenPanel() override {
        if (openFiles.empty()) return std::nullopt;
        return openFiles.front();
    }
    std::vector<std::string> runOpenPanelForFiles() override { return openFiles; }
    SaveChoice runSaveDialog(const QString&, const QString&, const QStringList&) override {
        if (saves.empty()) {
            ADD_FAILURE() << "unexpected save dialog";
            return {};
        }
        SaveChoice answer = saves.front();
        saves.pop_front();
        return answer;
    }
    bool runPrintDialog(QPrinter& printer) override {  // into a PDF file when one is named
        if (pdfPath.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }

    std::deque<std::pair<AlertId, bool>> expected;
    std::vector<AlertRequest> shown;
    std::vector<std::string> openFiles;
    std::deque<SaveChoice> saves;
    QString pdfPath;
};

// Answers the next modal dialog of type T once it shows (a modal dialog
// runs its own event loop, in which this polls); whatever else is showing
// when none comes is closed, so the test ends rather than waits.
template <class T>
void whenShown(QObject* owner, std::function<void(T*)> answer) {
    auto* timer = new QTimer(owner);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, answer, tries = 0]() mutable {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < 500) return;
        timer->stop();
        timer->deleteLater();
        if (dialog) return answer(dialog);
        ADD_FAILURE() << "no such dialog appeared";
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
    });
    timer->start();
}

using Cells = std::vector<std::vector<std::string>>;

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() {
        chartArea = new ChartArea(window.chartModel(), chartLog, chartOutput);
        window.installChartView(chartArea);
        window.resize(1200, 800);
        window.show();
    }
    ~WindowFixture() override { EXPECT_TRUE(dialogs.expected.empty()) << "an expected alert was never shown"; }
    void SetUp() override { ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)); }

    template <class T>
    T* child(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found) ADD_FAILURE() << "no widget " << name;
        return found;
    }
    QAction* action(const char* name) { return child<QAction>(name); }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    // Selects the field's text with the keyboard and types over it.
    void type(const char* field, const std::string& text) {
        QLineEdit* edit = child<QLineEdit>(field);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QString::fromStdString(text));
        EXPECT_EQ(edit->text().toStdString(), text) << field;
    }
    std::string text(const char* field) { return child<QLineEdit>(field)->text().toStdString(); }

    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTableView* table = child<QTableView>("tabl");
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    // The controller's columns of the results table as shown: by lane, the
    // window's own instability columns (Control to Contraction index) left out.
    Cells resultColumns() {
        Cells cells = shownTable();
        // The window's own instability columns, Control to Contraction index.
        const auto own = std::find(cells[0].begin(), cells[0].end(), "Control");
        if (own == cells[0].end()) return cells;
        const auto from = own - cells[0].begin();
        for (auto& row : cells)
            if (static_cast<size_t>(from) < row.size())
                row.erase(row.begin() + from, row.begin() + std::min<std::ptrdiff_t>(from + 4, std::ssize(row)));
        return cells;
    }
    // The results table as shown, its titles first.
    Cells shownTable() {
        const QAbstractItemModel* model = child<QTableView>("tabl")->model();
        Cells cells(1);
        for (int c = 0; c < model->columnCount(); ++c)
            cells[0].push_back(model->headerData(c, Qt::Horizontal).toString().toStdString());
        for (int r = 0; r < model->rowCount(); ++r) {
            cells.emplace_back();
            for (int c = 0; c < model->columnCount(); ++c)
                cells.back().push_back(model->index(r, c).data().toString().toStdString());
        }
        return cells;
    }

    std::string writeFile(const std::string& name, const std::string& contents) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }
    void open(const std::string& path) {
        dialogs.openFiles = {path};
        click("openButton");
    }
    void openAndScore(const std::string& path = examplePlate) {
        open(path);
        type("progenitor1", "150");
        type("progenitor2", "156");
        click("scoreButton");
    }
    void accumulate(const char* ge) {
        click("addToAccumulatorButton");
        type("accumgeforun", ge);
        click("accumgesubmitbutton");
    }

    QTemporaryDir dir;
    NullLog chartLog;
    RecordingOutput chartOutput;
    AnsweringDialogs dialogs;
    LociviewWindow window{&dialogs};
    ChartArea* chartArea = nullptr;
    GeneController controller{window.outlets()};
    ControllerLink link{window, controller};
};

}  // namespace lociview::qt::test
