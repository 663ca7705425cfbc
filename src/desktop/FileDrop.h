#pragma once
// Opening the files dropped anywhere on a window. Drags of files are taken
// over from the window's fields and tables, which would paste the path as
// text; other drags (text into a field) are left to them.
#include <QObject>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace lociview::qt {

class FileDrop final : public QObject {
    Q_OBJECT

public:
    // open is called with the dropped files once the drop has ended.
    FileDrop(QWidget& window, std::function<void(const QStringList&)> open, QObject* parent);
    ~FileDrop() override;

    // The local files a drag carries, in order; empty when it carries
    // anything else as well (a web link, text).
    static QStringList localFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window;
    std::function<void(const QStringList&)> open;
};

}  // namespace lociview::qt
