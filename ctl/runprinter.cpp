#include "runprinter.h"

#include "console.h"
#include "ctlconstants.h"
#include "exitcode.h"
#include "progresstext.h"
#include "runlog.h"

#include <algorithm>
#include <vector>

namespace RunPrinter {

namespace {

// Prints the port's output; a port whose output is lost has not done what it was asked (the
// loss said once by Console). Then its record, which tells the truth either way.
void deliver(PortResult &result, RunLog *log)
{
    JobResult &job = result.job;
    if (!Console::out(job.output)) {
        if (!job.isFailure())
            job.fail(ExitCode::WriteFailed);
        job.detail +=
            QStringLiteral("; its output is lost: standard output: ") + Console::outLost();
    }
    if (log)
        log->record(result);
}

} // namespace

QVector<PortResult> run(const QStringList &ports, int baud, const PortJob &job, const Stop &stop,
                        RunLog *log)
{
    const bool several = ports.size() > 1;
    // One for each port, made before the threads start, each used by its port's thread only.
    std::vector<Progress> progress;
    for (const QString &port : ports)
        progress.emplace_back(several ? port + QStringLiteral(": ") : QString(),
                              !several && Console::errIsTerminal());
    const PortJobs::Events events{
        [&](int port, const QString &text) {
            progress[size_t(port)].end();
            tell(ports.at(port), text);
        },
        [&](int port, qint64 done, qint64 total) { progress[size_t(port)].show(done, total); },
        [&](int port, const PortResult &result) {
            progress[size_t(port)].end();
            announce(result, several);
        },
        [log](int, PortResult &result) { deliver(result, log); }};
    return PortJobs::run(ports, baud, job, stop, events, log);
}

void tell(const QString &port, const QString &text)
{
    Console::err(QStringLiteral("dr58ctl: %1: %2\n").arg(port, text));
}

void Progress::show(qint64 done, qint64 total)
{
    if (m_bar) {
        m_drawn = true;
        Console::redraw(ProgressText::bar(done, total, CtlConstants::ProgressBarWidth));
        return;
    }
    const int percent = ProgressText::percent(done, total);
    if (percent < m_nextLine)
        return;
    m_nextLine =
        percent - percent % CtlConstants::ProgressLineStep + CtlConstants::ProgressLineStep;
    Console::err(m_prefix +
                 QStringLiteral("%1/%2 bytes (%3%)\n").arg(done).arg(total).arg(percent));
}

void Progress::end()
{
    if (m_drawn)
        Console::err(QStringLiteral("\n"));
    m_drawn = false;
}

void announce(const PortResult &result, bool several)
{
    const QString lead = QStringLiteral("dr58ctl: %1: ").arg(result.port);
    QString text;
    if (result.job.isFailure())
        text = lead + result.job.detail + QLatin1Char('\n');
    else if (several)
        text =
            lead + result.job.word() + QStringLiteral(": ") + result.job.detail + QLatin1Char('\n');
    for (const QString &line : result.job.errors)
        text += lead + line + QLatin1Char('\n');
    Console::err(text);
}

int report(const QVector<PortResult> &results)
{
    if (results.size() > 1)
        Console::err(summaryTable(results));
    return PortJobs::exitCode(results);
}

QString summaryTable(const QVector<PortResult> &results)
{
    int portWidth = 4;   // "port"
    int resultWidth = 6; // "result"
    for (const PortResult &result : results) {
        portWidth = std::max(portWidth, int(result.port.size()));
        resultWidth = std::max(resultWidth, int(result.job.word().size()));
    }
    const auto row = [&](const QString &port, const QString &result,
                         const QString &detail) -> QString {
        return port.leftJustified(portWidth + 2) + result.leftJustified(resultWidth + 2) + detail +
               QLatin1Char('\n');
    };
    QString table = row(QStringLiteral("port"), QStringLiteral("result"), QStringLiteral("detail"));
    for (const PortResult &result : results)
        table += row(result.port, result.job.word(), result.job.detail);
    return table;
}

} // namespace RunPrinter
