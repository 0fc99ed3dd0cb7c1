#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <functional>

// The one way dr58ctl and the window write what they keep (profiles, plans, reports,
// transcripts): every byte's write checked, files readable by their owner only from the moment
// they exist, and a target that is no regular file (a FIFO, a device, what /dev/stdout stands
// for) written as it is, never replaced.
namespace OutputFile {

constexpr int ReaderWait = 2000;  // ms a FIFO may take to get a reader before writing to it fails
constexpr int StallLimit = 10000; // ms a FIFO's or a device's reader may take nothing

// Each program calls it once at its start: a write to a pipe whose reader has gone then fails
// with EPIPE instead of ending the program (SIGPIPE), and a standard stream closed from the start
// keeps its number taken by a descriptor that refuses writes, so that no file opened later takes
// its place and what is written to the stream is still known to be lost.
void protectStandardStreams();

// Writes every byte to the descriptor, across short writes and interruptions; 0, or the errno
// of the failure (ETIMEDOUT: the reader took nothing for StallLimit).
int writeAll(int fd, const QByteArray &bytes);

// The reason an errno gives, as `writeAll` and the functions below name it.
QString reason(int error);

// Writes `text` as the whole content of `path`. A regular file, or none, is written beside the
// target, readable by its owner only, and renamed over it when complete, so that a failed or
// interrupted write leaves no half file; a symbolic link's target is written so. Anything else
// that exists, and a descriptor of the process (/dev/stdout, /proc/self/fd/N), is opened and
// appended to as it is. `stop` cuts short the wait for a FIFO's reader. The reason of a
// failure, empty on success.
QString save(const QString &path, const QByteArray &text, const std::function<bool()> &stop = {});

// A file that records are appended to whole, from any thread.
class Appender
{
public:
    Appender() = default;
    ~Appender();
    Appender(const Appender &) = delete;
    Appender &operator=(const Appender &) = delete;

    // Opens `path` for appending; a file it creates is readable by its owner only from the
    // start, and with `makePrivate` an existing regular file is made so. The reason of a failure.
    QString open(const QString &path, bool makePrivate);
    bool isOpen() const { return m_fd >= 0; }
    // Appends the record whole; one that cannot be written whole is taken back from a regular
    // file when nothing was appended after it. The reason of a failure.
    QString append(const QByteArray &record);

private:
    int m_fd = -1;
    QMutex m_lock;
};

} // namespace OutputFile
