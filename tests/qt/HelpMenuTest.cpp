// The menus as a keyboard user meets them, and the Help menu's windows.
#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <map>

#include "WindowFixture.h"
#include "base/Version.h"

namespace lociview::qt::test {
namespace {

using HelpMenuTest = WindowFixture;

QString withoutMnemonic(QString text) { return text.remove(QLatin1Char('&')); }

TEST_F(HelpMenuTest, EveryMenuItemHasItsOwnShortcut) {
    std::map<QString, QString> owners;  // shortcut -> item
    int items = 0;
    for (QAction* title : window.menuBar()->actions()) {
        ASSERT_NE(title->menu(), nullptr);
        for (QAction* item : title->menu()->actions()) {
            if (item->isSeparator() || item->menu()) continue;
            ++items;
            const QString keys = item->shortcut().toString();
            EXPECT_FALSE(keys.isEmpty()) << withoutMnemonic(item->text()).toStdString();
            const auto [at, added] = owners.emplace(keys, item->text());
            EXPECT_TRUE(added || keys.isEmpty()) << keys.toStdString() << " twice: " << at->second.toStdString();
        }
    }
    EXPECT_GE(items, 15);
}

TEST_F(HelpMenuTest, AMenuItemAndItsButtonBearOneName) {
    const std::pair<const char*, const char*> pairs[] = {
        {"actionOpen", "openButton"},
        {"actionScore", "scoreButton"},
        {"actionGraph", "graphButton"},
        {"actionTableByLane", "toggleTable"},
        {"actionMaybes", "Maybes"},
        {"actionCleanUp", "cleanUpButton"},
        {"actionAddToAccumulator", "addToAccumulatorButton"},
        {"actionResetAccumulator", "resetAccumulatorButton"},
        {"actionExportSPPCR", "exportButton"},
        {"actionExportAccumulated", "exportAccumulatedButton"},
    };
    for (const auto& [item, button] : pairs)
        EXPECT_EQ(withoutMnemonic(action(item)->text()), child<QAbstractButton>(button)->text()) << item;
}

TEST_F(HelpMenuTest, AboutAndTheGuideOpenBesideTheWindow) {
    action("actionAbout")->trigger();
    auto* about = child<QDialog>("aboutWindow");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    const QString text = child<QLabel>("aboutText")->text();
    EXPECT_TRUE(text.contains(QString::fromLatin1(kVersion)));
    EXPECT_TRUE(text.contains(QString::fromLatin1(qVersion())));

    action("actionGuide")->trigger();
    auto* guide = child<QDialog>("guideWindow");
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_GT(child<QTextBrowser>("guideText")->toPlainText().size(), 2000);  // the page compiled in
    EXPECT_FALSE(guide->isModal());
}

}  // namespace
}  // namespace lociview::qt::test
