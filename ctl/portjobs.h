#pragma once

#include "modemline.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// What a command did on one port.
struct JobResult
{
    int code = 0;       // an ExitCode, or 128 + the signal that interrupted the job
    QString result;     // one word for the summary: "read", "equal", "applied", "failed", ...
    QString detail;     // one line: what was done, or what went wrong and where
    QString output;     // for standard output, printed in port order once every port is done
    QStringList errors; // further lines for standard error
};

// The port a job runs on; `prefix` starts its output lines when several ports run at once;
// `detectBaud`: the job finds the modem's rate ("--baud auto").
struct PortContext
{
    QString port;
    QString prefix;
    bool detectBaud = false;
};

// A command's work on one open port, run on that port's own thread.
using PortJob = std::function<JobResult(const PortContext &, ModemLine &)>;

struct PortResult
{
    QString port;
    JobResult job;
};

namespace PortJobs {

// Opens every port on its own thread (each line is created there) at `baud`, 8N1 (with
// AutoBaud at the first rate detection tries, the job detecting the rate), runs
// the job on it, closes it and prints its result on standard error at once: the failure and its
// errors as "dr58ctl: <port>: <detail>", with several ports a success as
// "dr58ctl: <port>: <result>: <detail>". Returns when every port is done, in the order given.
QVector<PortResult> run(const QStringList &ports, int baud, const PortJob &job);

// Prints each port's output in port order, then, for several ports, the summary table on
// standard error. Returns the exit code of the whole run.
int report(const QVector<PortResult> &results);

// Port, result and detail in aligned columns.
QString summaryTable(const QVector<PortResult> &results);

// Whether a job failed: anything but success and "different".
bool failed(const JobResult &job);

// 0 when every port succeeded; otherwise the first failure's code in the order given, a real
// failure taking precedence over "different".
int exitCode(const QVector<PortResult> &results);

} // namespace PortJobs
