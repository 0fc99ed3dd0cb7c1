#include "outputfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace OutputFile {

namespace {

constexpr int MaxLinks = 40;   // as the kernel follows at most
constexpr int ReaderPoll = 20; // ms between tries to open a FIFO that has no reader yet

// Writes as much as it can; 0 or the errno of the failure, with the bytes written.
int writeCounted(int fd, const QByteArray &bytes, qint64 *written)
{
    *written = 0;
    while (*written < bytes.size()) {
        const ssize_t size =
            ::write(fd, bytes.constData() + *written, size_t(bytes.size() - *written));
        if (size > 0) {
            *written += size;
            continue;
        }
        if (size == 0)
            return EIO;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return errno;
        pollfd ready = {fd, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, StallLimit);
        if (polled == 0)
            return ETIMEDOUT;
        if (polled < 0 && errno != EINTR)
            return errno;
    }
    return 0;
}

struct Target
{
    QByteArray path;
    bool asItIs = false; // a descriptor of the process: written as it is, whatever it is
    int error = 0;
};

// The file a path names once its symbolic links are followed; the kernel's links to the
// process's descriptors (/dev/stdout leads to /proc/self/fd/1) are not followed further.
Target resolved(QByteArray path)
{
    for (int hops = 0; hops < MaxLinks; ++hops) {
        if (path.startsWith("/proc/"))
            return {path, true};
        char buffer[PATH_MAX];
        const ssize_t size = ::readlink(path.constData(), buffer, sizeof buffer);
        if (size < 0)
            return {path}; // no link (or no file): the path itself
        QByteArray target(buffer, int(size));
        if (!target.startsWith('/'))
            target.prepend(path.left(path.lastIndexOf('/') + 1));
        path = target;
    }
    return {path, false, ELOOP};
}

// A local socket cannot be opened: the stream it offers is connected to, and written so.
int connectSocket(const QByteArray &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool isSocket(const QByteArray &path)
{
    struct stat status = {};
    return ::stat(path.constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

// Opens without blocking; a FIFO that has no reader yet is tried again until it has one, for
// up to ReaderWait.
int openWaiting(const QByteArray &path, int flags, bool fifo, const std::function<bool()> &stop,
                QString *problem)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const int fd = isSocket(path)
                           ? connectSocket(path)
                           : ::open(path.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd >= 0)
            return fd;
        if (errno != ENXIO || !fifo) {
            *problem = reason(errno);
            return -1;
        }
        if (clock.elapsed() >= ReaderWait || (stop && stop())) {
            *problem =
                QStringLiteral("a FIFO that no reader opened within %1 s").arg(ReaderWait / 1000.0);
            return -1;
        }
        QThread::msleep(ReaderPoll);
    }
}

bool isFifo(const QByteArray &path)
{
    struct stat status = {};
    return ::stat(path.constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

QString writeAsItIs(const QByteArray &path, const QByteArray &text,
                    const std::function<bool()> &stop)
{
    QString problem;
    const int fd = openWaiting(path, O_WRONLY | O_APPEND, isFifo(path), stop, &problem);
    if (fd < 0)
        return problem;
    int error = writeAll(fd, text);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return reason(error);
}

// Beside the target (mode 0600, as mkostemp creates it), then renamed over it.
QString replace(const QByteArray &target, const QByteArray &text)
{
    const int slash = target.lastIndexOf('/');
    QByteArray temporary = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return reason(errno);
    int error = writeAll(fd, text);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.constData());
    return reason(error);
}

} // namespace

void protectStandardStreams()
{
    std::signal(SIGPIPE, SIG_IGN);
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        // open() takes the lowest free number, this one; without /dev/null it stays free.
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", O_RDONLY);
    }
}

int writeAll(int fd, const QByteArray &bytes)
{
    qint64 written = 0;
    return writeCounted(fd, bytes, &written);
}

QString reason(int error)
{
    if (error == 0)
        return {};
    if (error == ETIMEDOUT)
        return QStringLiteral("its reader took nothing for %1 s").arg(StallLimit / 1000);
    return qt_error_string(error);
}

QString save(const QString &path, const QByteArray &text, const std::function<bool()> &stop)
{
    const Target target = resolved(QFile::encodeName(path));
    if (target.error != 0)
        return reason(target.error);
    struct stat status = {};
    const bool exists = ::stat(target.path.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return reason(errno);
    if (!target.asItIs && (!exists || S_ISREG(status.st_mode)))
        return replace(target.path, text);
    return writeAsItIs(target.path, text, stop);
}

Appender::~Appender()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString Appender::open(const QString &path, bool makePrivate)
{
    const QByteArray name = QFile::encodeName(path);
    QString problem;
    m_fd = openWaiting(name, O_WRONLY | O_APPEND | O_CREAT, isFifo(name), {}, &problem);
    if (m_fd < 0)
        return problem;
    struct stat status = {};
    if (makePrivate && ::fstat(m_fd, &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & 0777) != 0600 && ::fchmod(m_fd, 0600) != 0)
        return QStringLiteral("cannot make it readable by its owner only: ") + reason(errno);
    return {};
}

QString Appender::append(const QByteArray &record)
{
    QMutexLocker locker(&m_lock);
    struct stat before = {};
    const bool regular = ::fstat(m_fd, &before) == 0 && S_ISREG(before.st_mode);
    qint64 written = 0;
    const int error = writeCounted(m_fd, record, &written);
    struct stat after = {};
    if (error != 0 && written > 0 && regular && ::fstat(m_fd, &after) == 0 &&
        after.st_size == before.st_size + written) {
        // Best effort: the failure is reported whether or not the part is taken back.
        if (::ftruncate(m_fd, before.st_size) != 0)
            return reason(error) + QStringLiteral("; a part of the record is left at its end");
    }
    return reason(error);
}

} // namespace OutputFile
