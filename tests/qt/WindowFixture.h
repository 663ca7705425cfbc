#pragma once
// The real main window and controller under a display, with every dialog
// answered by the test: the fixture of the window's GUI suites.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/GeneController.h"
#include "qt/LociviewWindow.h"
#include "support/ControllerHarness.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace lociview::qt::test {

// Answers every dialog for the test; an alert nobody expected fails it.
class AnsweringDialogs final : public QtDialogs {
public:
    void expectAlert(std::string message, bool pressAlternate = false) {
        expected.push_back({std::move(message), pressAlternate});
    }

    int runAlert(const AlertRequest& alert) override {
        shown.push_back(alert);
        if (expected.empty()) {
            ADD_FAILURE() << "unexpected alert: " << alert.message;
            return 1;
        }
        const auto [message, alternate] = expected.front();
        expected.pop_front();
        EXPECT_EQ(alert.message, message);
        return alternate && alert.alternateButton ? 0 : 1;
    }

    std::optional<std::string> runOpenPanel() override { return openAnswer; }
    std::vector<std::string> runOpenPanelForFiles() override { return Dialogs::runOpenPanelForFiles(); }

    bool runPrintDialog(QPrinter& printer) override {
        if (pdfPath.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }

    std::deque<std::pair<std::string, bool>> expected;
    std::vector<AlertRequest> shown;
    std::optional<std::string> openAnswer;
    QString pdfPath;
};

// Three peaks in lanes 2 and 1.
inline const char* const threePeaks =
    "2A,1 1.0 150.0 800 1000.0 1.0\n"
    "1A,2 1.0 150.2 600 900.0 1.0\n"
    "2A,3 1.0 152.0 300 500.0 1.0\n";

inline void typeInto(QWidget* widget, const QString& text) {
    widget->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(widget, &erase);
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() { window.show(); }
    ~WindowFixture() override {
        EXPECT_TRUE(dialogs.expected.empty()) << "an expected alert was never shown";
    }

    template <class T>
    T* child(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QAction* action(const char* name) { return child<QAction>(name); }

    std::string writeFile(const std::string& name, const std::string& text) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    void open(const std::string& name, const std::string& text) {
        dialogs.openAnswer = writeFile(name, text);
        child<QPushButton>("openButton")->click();
    }

    // A scored di run without running scoring: two sizes, two lanes.
    void setScoredResults() {
        GeneControllerTestAccess::setAlleles(controller, {150, 152}, {3, 1}, {0.75, 0.5});
        GeneControllerTestAccess::tbllane(controller) = {1, 2};
        GeneControllerTestAccess::numlanes(controller) = 2;
        GeneControllerTestAccess::locustype(controller) = 2;
        outlets.tabl.reloadData();
    }

    QTemporaryDir dir;
    AnsweringDialogs dialogs;
    LociviewWindow window{&dialogs};
    GeneController controller{window.outlets()};
    ControllerLink link{window, controller};
    Outlets outlets = window.outlets();
};

}  // namespace lociview::qt::test
