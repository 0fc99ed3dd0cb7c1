#include "benches.h"
#include "lineprocess.h"
#include "measure.h"
#include "report.h"
#include "ser2net.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr double Target = 1.15; // the served upgrade against the local one

// The transfer time dr58ctl reports for one upgrade of `file` on `port` at `rate`, in ms.
double upgradeMs(const QString &file, const QString &port, int rate, LineProcess &line)
{
    line.reset();
    QProcess ctl;
    ctl.start(DR58CTL_PATH, {"upgrade", file, "--port", port, "--baud", QString::number(rate)});
    if (!ctl.waitForFinished(600000) || ctl.exitCode() != 0)
        qFatal("the upgrade on %s failed: %s", qPrintable(port),
               ctl.readAllStandardError().constData());
    const QRegularExpressionMatch time = QRegularExpression(" in ([0-9.]+) s ")
                                             .match(QString::fromUtf8(ctl.readAllStandardOutput()));
    return time.captured(1).toDouble() * 1000;
}

} // namespace

void benchServedUpgrade(int rate, int bytes, int runs)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("firmware.stz"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray(bytes, '\xff')) != bytes)
        qFatal("cannot write %s", qPrintable(file));
    out.close();
    LineProcess line(rate);
    Ser2net server(line.port());
    QVector<double> local;
    QVector<double> served;
    for (int run = 0; run < runs; ++run) {
        local << upgradeMs(file, line.port(), rate, line);
        served << upgradeMs(file, server.rfc2217(), rate, line);
    }
    const double ratio = Measure::median(served) / Measure::median(local);
    Report::print({QStringLiteral("dr58ctl upgrade of %1 KiB of 0xFF at %2 baud through ser2net "
                                  "(RFC 2217, median of %3)")
                       .arg(bytes >> 10)
                       .arg(rate)
                       .arg(runs),
                   Report::ms(Measure::median(served)),
                   QStringLiteral("the same on the local pseudo-terminal: %1")
                       .arg(Report::ms(Measure::median(local))),
                   ratio, QStringLiteral("≤ %1 × local").arg(Target), ratio <= Target});
}
