// The import review of peak tables in today's layouts, driven through the
// real dialogs as a user would: files given at start become lanes, another
// dye is chosen, and a cancelled review keeps the open data set.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/GeneController.h"
#include "qt/ImportDialog.h"
#include "qt/LociviewWindow.h"
#include "qt/StartFiles.h"

namespace lociview::qt::test {
namespace {

// Answers the next modal dialog of type T once it shows (a modal dialog
// runs its own event loop, in which this polls).
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
        // Whatever else is showing is closed, so the test ends rather than waits.
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
    });
    timer->start();
}

// What the review showed, then the dye it was left at and the button pressed.
struct Review {
    QString layout;
    QStringList dyes;
    QString suggested;
    std::vector<qlonglong> peaks;        // of the suggested dye, by lane
    std::vector<qlonglong> chosenPeaks;  // after choosing the dye
};

void review(QObject* owner, Review& seen, char dye, QDialogButtonBox::StandardButton press) {
    whenShown<ImportDialog>(owner, [&seen, dye, press](ImportDialog* dialog) {
        const auto peaks = [dialog] {
            const QAbstractItemModel* model = dialog->findChild<QTableView*>(QStringLiteral("sampleTable"))->model();
            std::vector<qlonglong> column;
            for (int r = 0; r < model->rowCount(); ++r) column.push_back(model->index(r, 3).data().toLongLong());
            return column;
        };
        seen.layout = dialog->findChild<QLabel*>(QStringLiteral("layoutName"))->text();
        auto* dyes = dialog->findChild<QComboBox*>(QStringLiteral("dyeChoice"));
        for (int i = 0; i < dyes->count(); ++i) seen.dyes << dyes->itemText(i);
        seen.suggested = dyes->currentText();
        seen.peaks = peaks();
        dyes->setCurrentIndex(dyes->findData(static_cast<int>(dye)));
        seen.chosenPeaks = peaks();
        dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(press)->click();
    });
}

TEST(ImportDialogTest, ReviewsTheLayoutAndDyeThenOpensOrCancels) {
    QTemporaryDir dir;
    const auto write = [&dir](const char* name, const char* text) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    const QString s1 = write("s1.txt", "B,1\t1\t150\t800\t8000\t1\r\nB,2\t1\t148\t200\t2000\t2\r\nG,1\t1\t170\t400\t10\t3");
    const QString s2 = write("s2.txt", "B,1\t1\t156\t700\t7000\t1\r\nB,2\t1\t154\t250\t2500\t2");
    const QString table = write("plate.csv", "Sample Name,Dye,Size,Height\nA,Blue,150,800\nA,Red,170,50\n");

    StartFileDialogs dialogs;
    LociviewWindow window{&dialogs};
    GeneController controller{window.outlets()};
    ControllerLink link{window, controller};
    window.show();

    // Two per-sample files given at start: two lanes; green chosen.
    Review first;
    review(&window, first, 'G', QDialogButtonBox::Open);
    openStartFiles(window, dialogs, {s1, s2});
    EXPECT_EQ(first.layout, QStringLiteral("Per-sample peak files, one lane each"));
    EXPECT_EQ(first.dyes, (QStringList{QStringLiteral("B (blue): 4 rows"), QStringLiteral("G (green): 1 row")}));
    EXPECT_EQ(first.suggested, first.dyes.front());
    EXPECT_EQ(first.peaks, (std::vector<qlonglong>{2, 2}));
    EXPECT_EQ(first.chosenPeaks, (std::vector<qlonglong>{1, 0}));
    EXPECT_EQ(controller.importedData().dye, 'G');
    EXPECT_EQ(window.title(), "Lociview: s1.txt and 1 more");
    EXPECT_EQ(window.statusText().toStdString(),
              "s1.txt and 1 more — 1 peaks in 2 lanes — Per-sample peak files, one lane each, dye G (green)");

    // A sizing table over it ("Open Another"), its review cancelled: the
    // green data set stays, rows, store and status alike.
    const std::vector<Row> rows = controller.rows();
    const QString status = window.statusText();
    Review second;
    dialogs.answerNextOpenWith({table});
    whenShown<QMessageBox>(&window, [&](QMessageBox* alert) {
        review(&window, second, 'B', QDialogButtonBox::Cancel);
        for (QAbstractButton* button : alert->buttons())
            if (button->text() == QStringLiteral("Open Another")) button->click();
    });
    window.findChild<QAction*>(QStringLiteral("actionOpen"))->trigger();
    EXPECT_EQ(second.layout, QStringLiteral("Sizing table (comma-separated)"));
    EXPECT_EQ(second.dyes,
              (QStringList{QStringLiteral("B (blue): 1 row"), QStringLiteral("R (red): 1 row (size standard)")}));
    EXPECT_EQ(controller.rows(), rows);
    EXPECT_EQ(controller.store().count(), 1);
    EXPECT_EQ(window.statusText(), status);
}

}  // namespace
}  // namespace lociview::qt::test
