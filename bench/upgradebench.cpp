#include "benches.h"
#include "benchwindow.h"
#include "lineprocess.h"
#include "measure.h"
#include "report.h"
#include "upgradeoperator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr double TargetAtSlowRates = 0.90; // of the wire limit, up to 115200 baud
constexpr double TargetAtFastRates = 0.75; // of the wire limit, above 115200 baud
const QString Success = QStringLiteral("升级成功，请重启设置！！");

QString writeFirmware(const QTemporaryDir &dir, int bytes)
{
    QByteArray image(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i)
        image[i] = char(i * 31 + 7);
    const QString path = dir.filePath(QStringLiteral("firmware.stz"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != bytes)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString sizeName(int bytes)
{
    return bytes >= 1 << 20 ? QStringLiteral("%1 MiB").arg(bytes >> 20)
                            : QStringLiteral("%1 KiB").arg(bytes >> 10);
}

} // namespace

void benchUpgrade(int rate, int bytes, int runs)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path()); // the dialog remembers its file in ./Setting.ini
    const QString file = writeFirmware(dir, bytes);
    LineProcess line(rate);
    BenchWindow window(line.port(), rate);
    if (!window.openInAtMode())
        qFatal("no greeting at %d baud", rate);
    const qint64 idleKb = Measure::peakResidentKb();

    QVector<double> times;
    QVector<double> fractions;
    LineProcess::Counts counts;
    for (int run = 0; run < runs; ++run) {
        if (run > 0 && !window.enterAtMode()) // the modem left for data mode after the update
            qFatal("no greeting after the upgrade");
        line.reset();
        UpgradeOperator upgrader(file);
        window.click("btnUpdate");
        counts = line.counts();
        if (upgrader.boxText() != Success || counts.startFrameNs == 0)
            qFatal("the upgrade at %d baud did not succeed", rate);
        const double elapsed = (upgrader.boxShownNs() - counts.startFrameNs) / 1e6;
        times << elapsed;
        fractions << Measure::wireMs(counts.framesReceived + counts.framesSent, rate) / elapsed;
    }
    const double fraction = Measure::median(fractions);
    const double target = rate <= 115200 ? TargetAtSlowRates : TargetAtFastRates;
    const QString name = QStringLiteral("upgrade of %1 at %2 baud").arg(sizeName(bytes)).arg(rate);
    Report::print(
        {name + QStringLiteral(" (median of %1)").arg(runs), Report::ms(Measure::median(times)),
         QStringLiteral("wire limit %1 (%2 bytes of requests, %3 of acknowledgements)")
             .arg(Report::ms(Measure::wireMs(counts.framesReceived + counts.framesSent, rate)))
             .arg(counts.framesReceived)
             .arg(counts.framesSent),
         fraction, QStringLiteral("≥ %1 of the wire limit").arg(target), fraction >= target});
    const qint64 peakKb = Measure::peakResidentKb();
    Report::print(
        {QStringLiteral("peak memory (VmHWM), ") + name, Report::megabytes(peakKb),
         QStringLiteral("same process idle, port open: %1").arg(Report::megabytes(idleKb)),
         double(peakKb) / idleKb, QString(), true});
}
