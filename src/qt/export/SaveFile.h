#pragma once
// Writing a file the user asked for: the document or picture is made in
// memory, where the painter's and encoder's own errors are seen, and its
// bytes are saved whole by saveFileBytes, so a full disk never leaves a
// half file in place of the old one.
#include <QBuffer>
#include <QFile>
#include <QString>

#include "base/FileSave.h"

namespace lociview::qt {

// Lets write fill the device, then puts its bytes in place at path. The
// answer is empty when the file is written, else why not.
template <class Write>
QString saveFile(const QString& path, Write&& write) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(static_cast<QIODevice&>(buffer))) return QStringLiteral("it could not be drawn");
    buffer.close();
    const QByteArray& bytes = buffer.data();
    return QString::fromStdString(saveFileBytes(QFile::encodeName(path).toStdString(),
                                                std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
}

}  // namespace lociview::qt
