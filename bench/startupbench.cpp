#include "benches.h"
#include "measure.h"
#include "report.h"

#include <QProcess>

namespace {

constexpr double StartupTarget = 1.5; // times the bare window
constexpr int ProbeTimeout = 30000;   // milliseconds for a probe to show its window

// Process start to the first paint of the probe's main window.
double startupMs(const QString &probe)
{
    QProcess process;
    const qint64 start = Measure::nowNs();
    process.start(probe, QStringList());
    if (!process.waitForFinished(ProbeTimeout) || process.exitCode() != 0)
        qFatal("%s did not show its window", qPrintable(probe));
    const QList<QByteArray> words = process.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 2 || words[0] != "shown")
        qFatal("%s printed no time", qPrintable(probe));
    return (words[1].toLongLong() - start) / 1e6;
}

} // namespace

void benchStartup(int runs)
{
    const QString tool = QStringLiteral(DR58_PROBE_TOOL_PATH);
    const QString bare = QStringLiteral(DR58_PROBE_BARE_PATH);
    startupMs(tool); // the first start also loads the libraries from disk: not counted
    startupMs(bare);
    QVector<double> toolTimes;
    QVector<double> bareTimes;
    for (int run = 0; run < runs; ++run) { // alternated, so both see the same machine
        toolTimes << startupMs(tool);
        bareTimes << startupMs(bare);
    }
    const double toolMs = Measure::median(toolTimes);
    const double bareMs = Measure::median(bareTimes);
    const double ratio = toolMs / bareMs;
    Report::print(
        {QStringLiteral("start-up to the first paint (median of %1)").arg(runs), Report::ms(toolMs),
         QStringLiteral("bare QMainWindow program %1").arg(Report::ms(bareMs)), ratio,
         QStringLiteral("≤ %1 × bare window").arg(StartupTarget), ratio <= StartupTarget});
}
