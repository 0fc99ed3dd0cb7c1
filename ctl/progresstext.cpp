#include "progresstext.h"

#include <QtGlobal>

namespace ProgressText {

int percent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 100;
    return int(qBound<qint64>(0, done * 100 / total, 100));
}

QString bar(qint64 done, qint64 total, int width)
{
    const int filled = width * percent(done, total) / 100;
    return QStringLiteral("[%1%2] %3% %4/%5 bytes")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('-')))
        .arg(percent(done, total), 3)
        .arg(done)
        .arg(total);
}

QString throughput(qint64 bytes, qint64 milliseconds)
{
    const qint64 perSecond = milliseconds > 0 ? bytes * 1000 / milliseconds : bytes;
    return QStringLiteral("%1 bytes in %2 s (%3 bytes/s)")
        .arg(bytes)
        .arg(double(milliseconds) / 1000.0, 0, 'f', 1)
        .arg(perSecond);
}

} // namespace ProgressText
