#include "measure.h"

#include <QFile>
#include <algorithm>
#include <ctime>
#include <sys/resource.h>

namespace Measure {

qint64 nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

double wireMs(qint64 bytes, int rate)
{
    return double(bytes) * BitsPerByte * 1000.0 / rate;
}

namespace {

// A field of /proc/<process>/status given in kB, -1 when it cannot be read.
qint64 statusKb(const QByteArray &field, const QString &process = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

qint64 peakResidentKb()
{
    return statusKb("VmHWM:");
}

qint64 peakResidentKb(qint64 pid)
{
    return statusKb("VmHWM:", QString::number(pid));
}

qint64 residentKb()
{
    return statusKb("VmRSS:");
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &time) {
        return time.tv_sec * 1000.0 + time.tv_usec / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace Measure
