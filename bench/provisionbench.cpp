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

using Modems = std::vector<std::unique_ptr<SimModem>>;

Modems started(int rate, int count)
{
    Modems modems;
    for (int i = 0; i < count; ++i) {
        modems.push_back(std::make_unique<SimModem>());
        modems.back()->setBaudRate(rate);
        QString error;
        if (!modems.back()->start(&error))
            qFatal("simulated modem: %s", qPrintable(error));
    }
    return modems;
}

// One dr58ctl run of `arguments` on the first `count` modems, in milliseconds.
double runOnce(const QString &tool, QStringList arguments, int rate, const Modems &modems,
               int count)
{
    arguments << QStringLiteral("--baud") << QString::number(rate);
    for (int i = 0; i < count; ++i)
        arguments << QStringLiteral("--port") << modems.at(size_t(i))->portName();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 start = Measure::nowNs();
    process.start(tool, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qFatal("dr58ctl %s on %d modems failed: %s", qPrintable(arguments.first()), count,
               process.readAllStandardOutput().constData());
    return (Measure::nowNs() - start) / 1e6;
}

} // namespace

void benchProvision(int rate, int count, int runs, const QString &tool)
{
    const Modems modems = started(rate, count);
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
        // Each run writes, reads back and stores S104, whose value alternates between runs.
        const QStringList apply{QStringLiteral("apply"), profile};
        if (run % 2)
            many << runOnce(tool, apply, rate, modems, count);
        else
            one << runOnce(tool, apply, rate, modems, 1);
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

void benchAudit(int rate, int count, int runs, const QString &tool)
{
    const Modems modems = started(rate, count);
    for (int i = 0; i < count; ++i) { // a sound network: one master, each its own address
        SimModem &modem = *modems.at(size_t(i));
        modem.setIdentity(SimModem::Identity::SerialNumber, QStringLiteral("SN-%1").arg(i));
        modem.setRegisterValue(QStringLiteral("S101"), i == 0 ? "0" : "2");
        modem.setRegisterValue(QStringLiteral("S105"), QString::number(i + 1));
    }
    const QStringList audit{QStringLiteral("net"), QStringLiteral("audit")};
    QVector<double> one;
    QVector<double> many;
    for (int run = 0; run < runs; ++run) {
        one << runOnce(tool, audit, rate, modems, 1);
        many << runOnce(tool, audit, rate, modems, count);
    }
    const double ratio = Measure::median(many) / Measure::median(one);
    Report::print({QStringLiteral("net audit of %1 modems at once at %2 baud (median of %3)")
                       .arg(count)
                       .arg(rate)
                       .arg(runs),
                   Report::ms(Measure::median(many)),
                   QStringLiteral("one modem: %1").arg(Report::ms(Measure::median(one))), ratio,
                   QStringLiteral("≤ %1 × one modem").arg(ProvisionTarget),
                   ratio <= ProvisionTarget});
}
