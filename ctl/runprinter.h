#pragma once

#include "portjobs.h"

// Writes what the ports of a run did: each port's result on standard error as soon as it ends,
// its output on standard output in the order the ports were given, and its record to the
// report.
namespace RunPrinter {

// PortJobs::run, printed: a failure and its errors as "dr58ctl: <port>: <detail>", with several
// ports a success as "dr58ctl: <port>: <result>: <detail>", each at once; each port's output as
// soon as the port and those before it are done: a port whose output is lost fails
// (ExitCode::WriteFailed). With a log, each port's result, once its output is printed, goes to
// its report. A transfer's progress is a bar for one port on a terminal, plain lines otherwise.
QVector<PortResult> run(const QStringList &ports, int baud, const PortJob &job, const Stop &stop,
                        RunLog *log = nullptr);

// A line the job tells the operator while it runs: "dr58ctl: <port>: <text>".
void tell(const QString &port, const QString &text);

// A transfer's progress on standard error: a bar redrawn in place, or a line
// "<prefix><done>/<total> bytes (<percent>%)" every CtlConstants::ProgressLineStep percent.
class Progress
{
public:
    Progress(QString prefix, bool bar) : m_prefix(std::move(prefix)), m_bar(bar) {}

    void show(qint64 done, qint64 total);
    // Ends the bar's line, when a bar was drawn, before anything else is written.
    void end();

private:
    QString m_prefix;
    bool m_bar;
    bool m_drawn = false;
    int m_nextLine = 0; // percent of the next plain line
};

// A port's result on standard error: what went wrong, or with `several` also what went well.
void announce(const PortResult &result, bool several);

// For several ports, prints the summary table on standard error. Returns the exit code of the
// whole run.
int report(const QVector<PortResult> &results);

// Port, result and detail in aligned columns.
QString summaryTable(const QVector<PortResult> &results);

} // namespace RunPrinter
