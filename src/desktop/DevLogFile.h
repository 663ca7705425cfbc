#pragma once
// The desktop application's developer log file in the user's state folder,
// rotated at a size limit with one older file kept beside it: the log
// lines that would fill a terminal go here, unless --devlog asks for
// standard error.
#include <QFile>
#include <QString>
#include <streambuf>
#include <string_view>

namespace lociview::qt {

// Where the log files live: "lociview" in the user's state folder
// ($XDG_STATE_HOME, else ~/.local/state).
QString devLogFolder();
// The current log file in that folder.
QString devLogPath();

// A stream buffer that appends to the log file, opened at the first write
// (its folder made when missing). Before a write would take the file past
// the limit, the file becomes PATH.1 (replacing the older one) and a new
// file is begun, so the two never hold much more than twice the limit.
// The developer log writes whole lines in large pieces, so files are cut
// between lines. When the file cannot be written, writes go to fallback.
class DevLogFile final : public std::streambuf {
public:
    static constexpr qint64 defaultLimit = qint64{10} * 1024 * 1024;

    explicit DevLogFile(QString path, qint64 limit = defaultLimit, std::streambuf* fallback = nullptr);
    ~DevLogFile() override;
    DevLogFile(const DevLogFile&) = delete;
    DevLogFile& operator=(const DevLogFile&) = delete;

    const QString& path() const { return filePath; }

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type c) override;
    int sync() override;

private:
    void write(std::string_view text);
    bool openFile(QIODevice::OpenMode mode);
    void rotate();

    QString filePath;
    qint64 limit;
    std::streambuf* fallback;
    QFile file;
    qint64 size = 0;
    bool failed = false;
};

// Sends std::cerr, where the developer log writes, to another buffer for
// the object's life.
class RedirectedStderr {
public:
    explicit RedirectedStderr(std::streambuf* to);
    ~RedirectedStderr();
    RedirectedStderr(const RedirectedStderr&) = delete;
    RedirectedStderr& operator=(const RedirectedStderr&) = delete;

    std::streambuf* original() const { return old; }

private:
    std::streambuf* old;
};

}  // namespace lociview::qt
