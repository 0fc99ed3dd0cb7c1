#include "console.h"

#include <QMutex>
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

} // namespace

void out(const QString &text)
{
    write(stdout, text.toUtf8());
}

void err(const QString &text)
{
    write(stderr, text.toUtf8());
}

void redraw(const QString &text)
{
    write(stderr, "\r\033[K" + text.toUtf8());
}

bool errIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace Console
