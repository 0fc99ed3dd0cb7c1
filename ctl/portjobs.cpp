#include "portjobs.h"

#include "ctlconstants.h"
#include "exitcode.h"
#include "linkentry.h"
#include "portopener.h"
#include "runlog.h"

#include <QElapsedTimer>
#include <QThread>
#include <memory>
#include <vector>

namespace PortJobs {

namespace {

JobResult runOpen(ModemLine &line, const PortContext &context, const PortJob &job)
{
    JobResult result = job(context, line);
    const int lost = PortOpener::exitCodeOf(line.failure(), context.stop);
    if (result.isFailure() && lost != ExitCode::Ok && result.code != lost &&
        !context.stop.requested()) {
        result.errors.prepend(result.detail);
        result.code = lost;
        result.detail = QStringLiteral("the port failed while in use: ") + line.trouble();
    }
    return result;
}

} // namespace

PortResult runPort(const PortContext &context, int baud, const PortJob &job, RunLog *log)
{
    PortResult result(context.port);
    result.started = QDateTime::currentDateTimeUtc();
    result.baud = baud;
    QElapsedTimer clock;
    clock.start();
    const PortOpener::Opened opened = PortOpener::openLine(
        context.port, context.detectBaud ? LinkEntry::detectionOrder().first() : baud,
        context.stop);
    if (opened.line) {
        if (log)
            log->tap(*opened.line, context.port);
        result.job = runOpen(*opened.line, context, job);
        result.baud = opened.line->baudRate();
        opened.line->close();
    } else {
        result.job = JobResult::failure(opened.failure.code, opened.failure.message);
    }
    result.seconds = clock.elapsed() / 1000.0;
    return result;
}

QVector<PortResult> run(const QStringList &ports, int baud, const PortJob &job, const Stop &stop,
                        const Events &events, RunLog *log)
{
    QVector<PortResult> results(ports.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < ports.size(); ++i) {
        const QString port = ports.at(i);
        const PortContext context{
            port,
            ports.size() > 1 ? port + QStringLiteral(": ") : QString(),
            baud == CtlConstants::AutoBaud,
            stop,
            [&events, i](const QString &text) { events.told(i, text); },
            [&events, i](qint64 done, qint64 total) { events.progressed(i, done, total); }};
        PortResult &slot = results[i];
        threads.emplace_back(QThread::create([context, baud, &job, log, &slot, &events, i] {
            slot = runPort(context, baud, job, log);
            events.ended(i, slot);
        }));
        threads.back()->start();
    }
    for (int i = 0; i < ports.size(); ++i) {
        threads.at(size_t(i))->wait();
        events.inOrder(i, results[i]);
    }
    return results;
}

int exitCode(const QVector<PortResult> &results)
{
    int different = ExitCode::Ok;
    for (const PortResult &result : results) {
        if (result.job.isFailure())
            return result.job.code;
        if (result.job.code == ExitCode::Different)
            different = ExitCode::Different;
    }
    return different;
}

} // namespace PortJobs
