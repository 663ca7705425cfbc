#pragma once
// The Help menu of the main window: the built-in guide, the About window
// (version and the licences of the libraries inside the program) and the
// folder of the developer log.
#include <QObject>
#include <QString>

class QDialog;
class QMainWindow;

namespace lociview::qt {

class HelpMenu final : public QObject {
    Q_OBJECT

public:
    // Adds the menu to the end of window's menu bar; logFolder is what
    // Open Log Folder shows.
    HelpMenu(QMainWindow& window, QString logFolder);

    // The windows, made when first shown; they stay open beside the main
    // window until closed.
    QDialog* guideWindow();
    QDialog* aboutWindow();
    void openLogFolder() const;

    // The About window's text: version, Qt, ICU, Boost, SQLite, OpenSSL
    // and GLU with the versions in use and their licences (HTML).
    static QString aboutText();

private:
    QMainWindow& window;
    QString logFolder;
    QDialog* guide = nullptr;
    QDialog* about = nullptr;
};

}  // namespace lociview::qt
