#include "benches.h"
#include "benchwindow.h"
#include "lineprocess.h"
#include "measure.h"
#include "report.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int IdlePeriod = 20000;    // milliseconds the window idles after each wait
constexpr double GrowthTarget = 64;  // MiB of peak resident size above the idle window
constexpr double TrendTarget = 1.05; // peak of the whole run against that of its first half
constexpr double CpuTarget = 0.1;    // share of one core
constexpr double MinimumTalk = 0.5;  // of the line's capacity, or the soak proves nothing

void idle(qint64 ms)
{
    QEventLoop loop;
    QTimer::singleShot(int(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void benchSoak(int rate, int seconds)
{
    LineProcess line(rate);
    BenchWindow window(line.port(), rate);
    if (!window.openInAtMode())
        qFatal("no greeting at %d baud", rate);
    const qint64 idleKb = Measure::residentKb();
    line.babble();
    line.reset();
    const qint64 duration = seconds * 1000LL;
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = Measure::cpuMs();
    qint64 halfPeakKb = 0;
    int waits = 0;
    while (clock.elapsed() < duration) {
        window.click("btnSave"); // a reply that never completes: the wait is cut off
        ++waits;
        idle(qBound<qint64>(0, duration - clock.elapsed(), IdlePeriod));
        if (halfPeakKb == 0 && clock.elapsed() >= duration / 2)
            halfPeakKb = Measure::peakResidentKb();
        std::fprintf(stderr, "soak: %lld s, %d waits, VmRSS %lld kB, VmHWM %lld kB\n",
                     clock.elapsed() / 1000, waits, Measure::residentKb(),
                     Measure::peakResidentKb());
    }
    const double wallMs = clock.elapsed();
    const double share = (Measure::cpuMs() - cpuBefore) / wallMs;
    const qint64 peakKb = Measure::peakResidentKb();
    const qint64 talked = line.counts().sent;
    if (talked < MinimumTalk * wallMs * rate / 1000 / Measure::BitsPerByte)
        qFatal("the modem sent only %lld bytes", talked);

    const QString soak = QStringLiteral("soak, modem talking at %1 baud for %2 s (%3 waits)")
                             .arg(rate)
                             .arg(qRound(wallMs / 1000))
                             .arg(waits);
    const double growthMb = (peakKb - idleKb) / 1024.0;
    Report::print({QStringLiteral("peak memory growth (VmHWM − idle VmRSS), ") + soak,
                   Report::megabytes(peakKb - idleKb),
                   QStringLiteral("idle window, port open: %1").arg(Report::megabytes(idleKb)),
                   double(peakKb) / idleKb, QStringLiteral("≤ %1 MiB").arg(GrowthTarget),
                   growthMb <= GrowthTarget});
    Report::print(
        {QStringLiteral("peak memory (VmHWM) of the whole ") + soak, Report::megabytes(peakKb),
         QStringLiteral("its first half: %1").arg(Report::megabytes(halfPeakKb)),
         double(peakKb) / halfPeakKb, QStringLiteral("≤ %1 × first half").arg(TrendTarget),
         double(peakKb) / halfPeakKb <= TrendTarget});
    Report::print({QStringLiteral("CPU share, ") + soak,
                   QStringLiteral("%1 % of one core").arg(share * 100, 0, 'f', 1),
                   QStringLiteral("wall time %1 s; the modem sent %2 MB")
                       .arg(wallMs / 1000, 0, 'f', 1)
                       .arg(talked / 1e6, 0, 'f', 1),
                   share, QStringLiteral("≤ %1 % of one core").arg(CpuTarget * 100),
                   share <= CpuTarget});
}
