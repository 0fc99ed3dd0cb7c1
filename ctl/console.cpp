#include "console.h"

#include "outputfile.h"

#include <QMutex>
#include <QStringList>
#include <unistd.h>

namespace Console {

namespace {

QMutex &lock()
{
    static QMutex mutex;
    return mutex;
}

QString &lostReason()
{
    static QString reason; // guarded by lock()
    return reason;
}

bool write(int fd, const QByteArray &bytes)
{
    QMutexLocker locker(&lock());
    const int error = OutputFile::writeAll(fd, bytes);
    if (error == 0)
        return true;
    if (fd == STDOUT_FILENO && lostReason().isEmpty()) {
        lostReason() = OutputFile::reason(error);
        OutputFile::writeAll(STDERR_FILENO,
                             "dr58ctl: standard output: " + lostReason().toUtf8() + '\n');
    }
    return false; // standard error has no one left to tell
}

QByteArray printableLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = printable(line);
    return lines.join(QLatin1Char('\n')).toUtf8();
}

} // namespace

bool out(const QString &text)
{
    return write(STDOUT_FILENO, printableLines(text));
}

bool outRaw(const QByteArray &bytes)
{
    return write(STDOUT_FILENO, bytes);
}

void err(const QString &text)
{
    write(STDERR_FILENO, printableLines(text));
}

void redraw(const QString &text)
{
    write(STDERR_FILENO, "\r\033[K" + printable(text).toUtf8());
}

bool errIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

QString outLost()
{
    QMutexLocker locker(&lock());
    return lostReason();
}

} // namespace Console
