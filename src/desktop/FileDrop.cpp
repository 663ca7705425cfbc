#include "desktop/FileDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <utility>

namespace lociview::qt {

FileDrop::FileDrop(QWidget& window, std::function<void(const QStringList&)> open, QObject* parent)
    : QObject(parent), window(window), open(std::move(open)) {
    window.setAcceptDrops(true);
    // The application sees the drag before the field under the pointer does.
    qApp->installEventFilter(this);
}

FileDrop::~FileDrop() { qApp->removeEventFilter(this); }

QStringList FileDrop::localFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        files << url.toLocalFile();
    }
    return files;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &window) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = localFiles(drop->mimeData());
    if (files.isEmpty()) return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // Opening may ask first (an open data set): not inside the drop,
        // which the dragging program waits on.
        QTimer::singleShot(0, this, [this, files] { open(files); });
    }
    return true;
}

}  // namespace lociview::qt
