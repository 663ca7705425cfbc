#pragma once
// Writing a file the user asked for through a temporary file: a write that
// fails leaves no half file and the old one, if any, as it was.
#include <QSaveFile>
#include <QString>

namespace lociview::qt {

// Opens path's temporary file, lets write fill it and puts it in place;
// false when any step fails.
template <class Write>
bool saveFile(const QString& path, Write&& write) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && write(file) && file.commit();
}

}  // namespace lociview::qt
