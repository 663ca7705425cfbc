#include "qt/HelpMenu.h"

#include <QAction>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>
#include <boost/version.hpp>
#include <openssl/crypto.h>
#include <sqlite3.h>
#include <unicode/uclean.h>
#include <unicode/uversion.h>

#include "base/Version.h"

// The guide is compiled into this static library; naming its resources
// keeps the linker from dropping them.
static void loadHelpResources() { Q_INIT_RESOURCE(lociview); }

namespace lociview::qt {

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

// A tool window of the main window with a Close button under its content.
QDialog* toolWindow(QMainWindow& parent, const char* name, const QString& title, QWidget* content) {
    auto* dialog = new QDialog(&parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(content);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
    layout->addWidget(buttons);
    return dialog;
}

void showInFront(QDialog* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

QString icuVersion() {
    UVersionInfo version;
    u_getVersion(version);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(version, text);
    return QString::fromLatin1(text);
}

QString boostVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(BOOST_VERSION / 100000)
        .arg(BOOST_VERSION / 100 % 1000)
        .arg(BOOST_VERSION % 100);
}

}  // namespace

HelpMenu::HelpMenu(QMainWindow& window, QString logFolder)
    : QObject(&window), window(window), logFolder(std::move(logFolder)) {
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Help"));
    menu->setObjectName(QStringLiteral("menuHelp"));
    connect(addItem(menu, "actionGuide", QStringLiteral("Lociview &Guide"), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, [this] { showInFront(guideWindow()); });
    connect(addItem(menu, "actionOpenLogFolder", QStringLiteral("Open &Log Folder"),
                    QKeySequence(Qt::SHIFT | Qt::Key_F1)),
            &QAction::triggered, this, &HelpMenu::openLogFolder);
    menu->addSeparator();
    connect(addItem(menu, "actionAbout", QStringLiteral("&About Lociview"), QKeySequence(Qt::CTRL | Qt::Key_F1)),
            &QAction::triggered, this, [this] { showInFront(aboutWindow()); });
}

QDialog* HelpMenu::guideWindow() {
    if (!guide) {
        loadHelpResources();
        auto* text = new QTextBrowser;
        text->setObjectName(QStringLiteral("guideText"));
        text->setOpenExternalLinks(true);
        QFile page(QStringLiteral(":/lociview/guide.html"));
        if (page.open(QIODevice::ReadOnly)) text->setHtml(QString::fromUtf8(page.readAll()));
        guide = toolWindow(window, "guideWindow", QStringLiteral("Lociview Guide"), text);
        guide->resize(640, 720);
    }
    return guide;
}

QDialog* HelpMenu::aboutWindow() {
    if (!about) {
        auto* text = new QLabel(aboutText());
        text->setObjectName(QStringLiteral("aboutText"));
        text->setTextFormat(Qt::RichText);
        text->setWordWrap(true);
        text->setOpenExternalLinks(true);
        text->setTextInteractionFlags(Qt::TextBrowserInteraction);
        about = toolWindow(window, "aboutWindow", QStringLiteral("About Lociview"), text);
        about->setMinimumWidth(460);
    }
    return about;
}

void HelpMenu::openLogFolder() const {
    QDir().mkpath(logFolder);
    QDesktopServices::openUrl(QUrl::fromLocalFile(logFolder));
}

QString HelpMenu::aboutText() {
    struct Library {
        const char* name;
        QString version;
        const char* licence;
    };
    const Library libraries[] = {
        {"Qt", QString::fromLatin1(qVersion()), "GNU Lesser General Public License v3"},
        {"ICU", icuVersion(), "Unicode License (ICU)"},
        {"Boost", boostVersion(), "Boost Software License 1.0"},
        {"SQLite", QString::fromLatin1(sqlite3_libversion()), "public domain"},
        {"OpenSSL", QString::fromLatin1(OpenSSL_version(OPENSSL_VERSION_STRING)), "Apache License 2.0"},
        {"GLU", QString(), "SGI Free Software License B 2.0"},
    };
    QString rows;
    for (const Library& library : libraries) {
        rows += QStringLiteral("<tr><td>%1 %2</td><td>%3</td></tr>")
                    .arg(QString::fromLatin1(library.name), library.version, QString::fromLatin1(library.licence));
    }
    return QStringLiteral(
               "<h3>Lociview %1</h3>"
               "<p>Scores the alleles of one microsatellite locus from capillary-electrophoresis peak tables, "
               "for small-pool PCR (SP-PCR) analysis.</p>"
               "<p>Copyright © The Lociview developers. MIT License.</p>"
               "<p>Lociview is built on these libraries:</p>"
               "<table cellpadding=\"2\">%2</table>")
        .arg(QString::fromLatin1(kVersion), rows);
}

}  // namespace lociview::qt
