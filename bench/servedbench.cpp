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

// A way to set up the server, with the ratio the served upgrade must keep to the local one.
struct ServerSetup
{
    Ser2net::Setup setup;
    const char *name;
    double target;
};

const ServerSetup Setups[] = {
    {Ser2net::Setup::Defaults, "ser2net's defaults", 1.2},
    {Ser2net::Setup::NoCharDelay, "chardelay: false", 1.05},
    {Ser2net::Setup::Fast, "chardelay: false and tcp(nodelay), as recommended", 1.05},
};

// The transfer time `tool` reports for one upgrade of `file` on `port` at `rate`, in ms, from
// its throughput (the seconds it prints have a resolution of 0.1 s).
double upgradeMs(const QString &tool, const QString &file, const QString &port, int rate,
                 LineProcess &line)
{
    line.reset();
    QProcess ctl;
    ctl.start(tool, {"upgrade", file, "--port", port, "--baud", QString::number(rate)});
    if (!ctl.waitForFinished(600000) || ctl.exitCode() != 0)
        qFatal("the upgrade on %s failed: %s", qPrintable(port),
               ctl.readAllStandardError().constData());
    const QRegularExpressionMatch speed =
        QRegularExpression("([0-9]+) bytes in [0-9.]+ s \\(([0-9]+) bytes/s\\)")
            .match(QString::fromUtf8(ctl.readAllStandardOutput()));
    if (!speed.hasMatch())
        qFatal("the upgrade on %s reported no throughput", qPrintable(port));
    return speed.captured(1).toDouble() * 1000 / speed.captured(2).toDouble();
}

} // namespace

void benchServedUpgrade(int rate, int bytes, int runs, const QString &tool)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("firmware.stz"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray(bytes, '\xff')) != bytes)
        qFatal("cannot write %s", qPrintable(file));
    out.close();
    LineProcess line(rate);
    for (const ServerSetup &setup : Setups) {
        Ser2net server(line.port(), setup.setup);
        QVector<double> local;
        QVector<double> served;
        for (int run = 0; run < runs; ++run) {
            local << upgradeMs(tool, file, line.port(), rate, line);
            served << upgradeMs(tool, file, server.rfc2217(), rate, line);
        }
        const double ratio = Measure::median(served) / Measure::median(local);
        Report::print({QStringLiteral("dr58ctl upgrade of %1 KiB of 0xFF at %2 baud through "
                                      "ser2net, %3 (RFC 2217, median of %4)")
                           .arg(bytes >> 10)
                           .arg(rate)
                           .arg(QLatin1String(setup.name))
                           .arg(runs),
                       Report::ms(Measure::median(served)),
                       QStringLiteral("the same on the local pseudo-terminal: %1")
                           .arg(Report::ms(Measure::median(local))),
                       ratio, QStringLiteral("≤ %1 × local").arg(setup.target),
                       ratio <= setup.target});
    }
}
