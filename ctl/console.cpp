#include "console.h"

#include <QMutex>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

namespace Console {

namespace {

QMutex &lock()
{
    static QMutex mutex;
    return mutex;
}

void write(FILE *stream, const QByteArray &bytes)
{
    QMutexLocker locker(&lock());
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QByteArray printableLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = printable(line);
    return lines.join(QLatin1Char('\n')).toUtf8();
}

} // namespace

void out(const QString &text)
{
    write(stdout, printableLines(text));
}

void err(const QString &text)
{
    write(stderr, printableLines(text));
}

void redraw(const QString &text)
{
    write(stderr, "\r\033[K" + printable(text).toUtf8());
}

bool errIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace Console
