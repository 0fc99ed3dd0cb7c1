#include "portjobs.h"

#include "console.h"
#include "ctlconstants.h"
#include "exitcode.h"
#include "interrupt.h"
#include "linkentry.h"
#include "portopener.h"
#include "runlog.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <memory>
#include <vector>

namespace PortJobs {

namespace {

JobResult runOpen(ModemLine &line, const PortContext &context, const PortJob &job)
{
    JobResult result = job(context, line);
    const QString trouble = line.trouble();
    if (failed(result) && !trouble.isEmpty() && result.code != ExitCode::PortError &&
        !Interrupt::requested()) {
        result.errors.prepend(result.detail);
        result.code = ExitCode::PortError;
        result.detail = QStringLiteral("the port failed while in use: ") + trouble;
    }
    return result;
}

// One port's part of run() without its record.
PortResult runUnrecorded(const PortContext &context, int baud, const PortJob &job, RunLog *log)
{
    PortResult result(context.port);
    result.started = QDateTime::currentDateTimeUtc();
    result.baud = baud;
    QElapsedTimer clock;
    clock.start();
    const PortOpener::Opened opened = PortOpener::openLine(
        context.port, context.detectBaud ? LinkEntry::detectionOrder().first() : baud);
    if (opened.line) {
        if (log)
            log->tap(*opened.line, context.port);
        result.job = runOpen(*opened.line, context, job);
        result.baud = opened.line->baudRate();
        opened.line->close();
    } else {
        result.job = {opened.failure.code, QStringLiteral("failed"), opened.failure.message};
    }
    result.seconds = clock.elapsed() / 1000.0;
    return result;
}

// Prints the port's output; a port whose output is lost has not done what it was asked (the
// loss said once by Console). Then its record, which tells the truth either way.
void deliver(PortResult &result, RunLog *log)
{
    JobResult &job = result.job;
    if (!Console::out(job.output)) {
        if (!failed(job)) {
            job.code = ExitCode::WriteFailed;
            job.result = QStringLiteral("failed");
        }
        job.detail +=
            QStringLiteral("; its output is lost: standard output: ") + Console::outLost();
    }
    if (log)
        log->record(result);
}

} // namespace

PortResult runPort(const PortContext &context, int baud, const PortJob &job, RunLog *log)
{
    PortResult result = runUnrecorded(context, baud, job, log);
    if (log)
        log->record(result);
    return result;
}

void announce(const PortResult &result, bool several)
{
    const QString lead = QStringLiteral("dr58ctl: %1: ").arg(result.port);
    QString text;
    if (failed(result.job))
        text = lead + result.job.detail + QLatin1Char('\n');
    else if (several)
        text =
            lead + result.job.result + QStringLiteral(": ") + result.job.detail + QLatin1Char('\n');
    for (const QString &line : result.job.errors)
        text += lead + line + QLatin1Char('\n');
    Console::err(text);
}

QVector<PortResult> run(const QStringList &ports, int baud, const PortJob &job, RunLog *log)
{
    QVector<PortResult> results(ports.size());
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < ports.size(); ++i) {
        const PortContext context{ports.at(i),
                                  ports.size() > 1 ? ports.at(i) + QStringLiteral(": ") : QString(),
                                  baud == CtlConstants::AutoBaud};
        PortResult &slot = results[i];
        const bool several = ports.size() > 1;
        threads.emplace_back(QThread::create([context, baud, &job, log, &slot, several] {
            slot = runUnrecorded(context, baud, job, log);
            announce(slot, several);
        }));
        threads.back()->start();
    }
    for (int i = 0; i < ports.size(); ++i) {
        threads.at(size_t(i))->wait();
        deliver(results[i], log);
    }
    return results;
}

int report(const QVector<PortResult> &results)
{
    if (results.size() > 1)
        Console::err(summaryTable(results));
    return exitCode(results);
}

QString summaryTable(const QVector<PortResult> &results)
{
    int portWidth = 4;   // "port"
    int resultWidth = 6; // "result"
    for (const PortResult &result : results) {
        portWidth = std::max(portWidth, int(result.port.size()));
        resultWidth = std::max(resultWidth, int(result.job.result.size()));
    }
    const auto row = [&](const QString &port, const QString &result,
                         const QString &detail) -> QString {
        return port.leftJustified(portWidth + 2) + result.leftJustified(resultWidth + 2) + detail +
               QLatin1Char('\n');
    };
    QString table = row(QStringLiteral("port"), QStringLiteral("result"), QStringLiteral("detail"));
    for (const PortResult &result : results)
        table += row(result.port, result.job.result, result.job.detail);
    return table;
}

bool failed(const JobResult &job)
{
    return job.code != ExitCode::Ok && job.code != ExitCode::Different;
}

int exitCode(const QVector<PortResult> &results)
{
    int different = ExitCode::Ok;
    for (const PortResult &result : results) {
        if (failed(result.job))
            return result.job.code;
        if (result.job.code == ExitCode::Different)
            different = ExitCode::Different;
    }
    return different;
}

} // namespace PortJobs
