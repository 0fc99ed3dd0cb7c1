#include "benches.h"
#include "benchwindow.h"
#include "lineprocess.h"
#include "measure.h"
#include "report.h"

#include <QEventLoop>
#include <QTimer>

namespace {

constexpr double QueryTarget = 1.15; // times the wire time
constexpr int SettleTime = 200;      // milliseconds between runs

void settle()
{
    QEventLoop loop;
    QTimer::singleShot(SettleTime, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void benchQuery(int rate, int runs)
{
    LineProcess line(rate);
    BenchWindow window(line.port(), rate);
    window.click("btnUart");
    QVector<double> times;
    QVector<double> ratios;
    LineProcess::Counts counts;
    for (int run = 0; run < runs; ++run) {
        settle();
        if (!window.enterAtMode()) // as the operator does, with the form reset
            qFatal("no greeting at %d baud", rate);
        line.reset();
        const qint64 start = Measure::nowNs();
        window.click("btnQuery");
        const double elapsed = (Measure::nowNs() - start) / 1e6;
        counts = line.counts();
        if (window.fieldText("I1").isEmpty() || window.fieldText("S160").isEmpty())
            qFatal("the query at %d baud did not fill the form", rate);
        times << elapsed;
        ratios << elapsed / Measure::wireMs(counts.received + counts.sent, rate);
    }
    const double ratio = Measure::median(ratios);
    Report::print({QStringLiteral("query at %1 baud (median of %2)").arg(rate).arg(runs),
                   Report::ms(Measure::median(times)),
                   QStringLiteral("wire time %1 (%2 bytes sent, %3 received)")
                       .arg(Report::ms(Measure::wireMs(counts.received + counts.sent, rate)))
                       .arg(counts.received)
                       .arg(counts.sent),
                   ratio, QStringLiteral("≤ %1 × wire time").arg(QueryTarget),
                   ratio <= QueryTarget});
}
