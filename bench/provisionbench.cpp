#include "benches.h"
#include "measure.h"
#include "report.h"
#include "simmodem.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {

constexpr double ProvisionTarget = 1.05; // the many modems' time against one modem's

// One "dr58ctl apply" run on the first `count` modems, in milliseconds; each run writes,
// reads back and stores S104, whose value alternates between runs.
double applyOnce(const QString &tool, const QString &profile, int rate,
                 const std::vector<std::unique_ptr<SimModem>> &modems, int count)
{
    QStringList arguments{QStringLiteral("apply"), profile, QStringLiteral("--baud"),
                          QString::number(rate)};
    for (int i = 0; i < count; ++i)
        arguments << QStringLiteral("--port") << modems.at(size_t(i))->portName();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 start = Measure::nowNs();
    process.start(tool, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qFatal("dr58ctl apply on %d modems failed: %s", count,
               process.readAllStandardOutput().constData());
    return (Measure::nowNs() - start) / 1e6;
}

} // namespace

void benchProvision(int rate, int count, int runs, const QString &tool)
{
    std::vector<std::unique_ptr<SimModem>> modems;
    for (int i = 0; i < count; ++i) {
        modems.push_back(std::make_unique<SimModem>());
        modems.back()->setBaudRate(rate);
        QString error;
        if (!modems.back()->start(&error))
            qFatal("simulated modem: %s", qPrintable(error));
    }
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("p.ini"));
    QVector<double> one;
    QVector<double> many;
    for (int run = 0; run < 2 * runs; ++run) {
        QFile file(profile);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write("S104=" + QByteArray::number(run + 1)) < 0)
            qFatal("cannot write the profile");
        file.close();
        if (run % 2)
            many << applyOnce(tool, profile, rate, modems, count);
        else
            one << applyOnce(tool, profile, rate, modems, 1);
    }
    const double ratio = Measure::median(many) / Measure::median(one);
    Report::print(
        {QStringLiteral("apply of one register on %1 modems at once at %2 baud (median of %3)")
             .arg(count)
             .arg(rate)
             .arg(runs),
         Report::ms(Measure::median(many)),
         QStringLiteral("one modem: %1").arg(Report::ms(Measure::median(one))), ratio,
         QStringLiteral("≤ %1 × one modem").arg(ProvisionTarget), ratio <= ProvisionTarget});
}
