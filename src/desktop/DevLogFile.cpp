#include "desktop/DevLogFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>
#include <iostream>
#include <utility>

namespace lociview::qt {

QString devLogFolder() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericStateLocation);
#else
    // The state folder as a later Qt names it, so the log stays where it is.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
#endif
    return state + QStringLiteral("/lociview");
}

QString devLogPath() { return devLogFolder() + QStringLiteral("/lociview.log"); }

DevLogFile::DevLogFile(QString path, qint64 limit, std::streambuf* fallback)
    : filePath(std::move(path)), limit(limit), fallback(fallback) {}

DevLogFile::~DevLogFile() { file.close(); }

std::streamsize DevLogFile::xsputn(const char* text, std::streamsize count) {
    if (count > 0) write(std::string_view(text, static_cast<size_t>(count)));
    return count;
}

DevLogFile::int_type DevLogFile::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    write(std::string_view(&ch, 1));
    return c;
}

int DevLogFile::sync() {
    if (file.isOpen()) file.flush();
    return 0;
}

bool DevLogFile::openFile(QIODevice::OpenMode mode) {
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    file.setFileName(filePath);
    if (!file.open(QIODevice::WriteOnly | mode)) return false;
    size = file.size();
    return true;
}

void DevLogFile::rotate() {
    file.close();
    const QString older = filePath + QStringLiteral(".1");
    QFile::remove(older);
    QFile::rename(filePath, older);
    if (!openFile(QIODevice::Truncate)) failed = true;
}

void DevLogFile::write(std::string_view text) {
    if (!failed && !file.isOpen() && !openFile(QIODevice::Append)) failed = true;
    if (!failed && size > 0 && size + static_cast<qint64>(text.size()) > limit) rotate();
    if (failed) {
        if (fallback) fallback->sputn(text.data(), static_cast<std::streamsize>(text.size()));
        return;
    }
    const qint64 written = file.write(text.data(), static_cast<qint64>(text.size()));
    if (written > 0) size += written;
}

RedirectedStderr::RedirectedStderr(std::streambuf* to) : old(std::cerr.rdbuf(to)) {}

RedirectedStderr::~RedirectedStderr() {
    std::cerr.flush();
    std::cerr.rdbuf(old);
}

}  // namespace lociview::qt
