// The widget adapters and the alert dialog on their own.
#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "qt/QtControls.h"
#include "qt/QtDialogs.h"

namespace lociview::qt {
namespace {

TEST(ProgressBarIndicatorTest, MapsDoublesOntoTheBarSteps) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value, minimum, maximum;
        int step;
    };
    const Case cases[] = {
        {0, 0, 10, 0},      {5, 0, 10, 500},   {10, 0, 10, 1000},  {3, 0, 8, 375},     {1, 0, 3, 333},
        {11, 0, 10, 1000},  {-1, 0, 10, 0},    {15, 10, 20, 500},  {5, 10, 10, 0},     {5, 10, 0, 0},
        {nan, 0, 10, 0},    {5, nan, 10, 0},   {inf, 0, 10, 1000}, {-inf, 0, 10, 0},   {0, -inf, inf, 0},
        {2e9, 0, 4e9, 500},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressBarIndicator::stepFor(c.value, c.minimum, c.maximum), c.step)
            << c.value << " in [" << c.minimum << ", " << c.maximum << "]";
}

TEST(ProgressBarIndicatorTest, FollowsTheControllersCounting) {
    QProgressBar bar;
    ProgressBarIndicator progress(&bar);
    progress.configure();
    progress.setMinValue(0);
    progress.setMaxValue(4);
    for (int lane = 1; lane <= 4; ++lane) {
        progress.incrementBy(1);
        progress.displayNow();
        EXPECT_EQ(bar.value(), lane * 250);
    }
    progress.setDoubleValue(0);
    EXPECT_EQ(bar.value(), 0);
}

// The real message box, answered by clicking one of its buttons.
TEST(QtDialogsTest, AlertShowsTheExactTextsAndAnswersByButton) {
    struct Case {
        AlertRequest alert;
        int click;  // index of the button in the order given
        int answer;
    };
    const Case cases[] = {
        {alertRequest(AlertId::NotScoredExport), 0, 1},
        {alertRequest(AlertId::ConfirmOpenAnother), 1, 0},
        {alertRequest(AlertId::ConfirmOpenAnother), 0, 1},
        {alertRequest(AlertId::DoubleProgenitorLoss), 1, 0},
        {{AlertId::ProgenitorsDiffer, "<b>not markup</b>", "Sorry", std::nullopt, ""}, 0, 1},
    };
    QtDialogs dialogs;
    for (const Case& c : cases) {
        QString text, informative, defaultTitle;
        Qt::TextFormat format = Qt::AutoText;
        QStringList titles;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            format = box->textFormat();
            informative = box->informativeText();
            defaultTitle = box->defaultButton() ? box->defaultButton()->text() : QString();
            QList<QAbstractButton*> buttons = box->buttons();
            std::sort(buttons.begin(), buttons.end(),
                      [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
            for (QAbstractButton* b : buttons) titles << b->text();
            buttons.at(c.click)->click();
        });
        EXPECT_EQ(dialogs.runAlert(c.alert), c.answer) << c.alert.message;
        EXPECT_EQ(text.toStdString(), c.alert.message);
        EXPECT_EQ(format, Qt::PlainText);
        EXPECT_TRUE(informative.isEmpty());
        EXPECT_EQ(defaultTitle.toStdString(), c.alert.defaultButton);
        QStringList expected{QString::fromStdString(c.alert.defaultButton)};
        if (c.alert.alternateButton) expected << QString::fromStdString(*c.alert.alternateButton);
        EXPECT_EQ(titles, expected);
    }
}

// The same box answered from the keyboard: Escape takes the button that
// changes nothing, Return the default one.
TEST(QtDialogsTest, EscapeAnswersWithTheButtonThatChangesNothing) {
    struct Case {
        AlertId id;
        Qt::Key key;
        int answer;
    };
    const Case cases[] = {
        {AlertId::ConfirmOpenAnother, Qt::Key_Escape, 0},  // Keep Scoring
        {AlertId::ConfirmOpenAnother, Qt::Key_Return, 1},  // Open Another
        {AlertId::SwapProgenitors, Qt::Key_Escape, 0},     // Abort Scoring
        {AlertId::DoubleProgenitorLoss, Qt::Key_Escape, 1},  // Abort Exporting, not Export Anyway
        {AlertId::NoDataInFile, Qt::Key_Escape, 1},        // the only button
    };
    QtDialogs dialogs;
    for (const Case& c : cases) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, c.key);
            if (!box->isVisible()) return;
            ADD_FAILURE() << "the key left the alert open";
            box->buttons().first()->click();
        });
        EXPECT_EQ(dialogs.runAlert(alertRequest(c.id)), c.answer) << static_cast<int>(c.id) << ' ' << c.key;
    }
}

}  // namespace
}  // namespace lociview::qt
