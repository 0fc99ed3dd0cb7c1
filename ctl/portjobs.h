#pragma once

#include "modemline.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

class RunLog;

// A change of the modem's serial rate (bits per second) and whether it answered at the new one.
struct RateRecord
{
    int from;
    int to;
    bool confirmed;
};

// What a command did on one port.
struct JobResult
{
    // The first five, as the jobs give them in braces; the report's fields are set apart.
    JobResult(int code = 0, QString result = {}, QString detail = {}, QString output = {},
              QStringList errors = {})
        : code(code), result(std::move(result)), detail(std::move(detail)),
          output(std::move(output)), errors(std::move(errors))
    {
    }

    int code;           // an ExitCode, or 128 + the signal that interrupted the job
    QString result;     // one word for the summary: "read", "equal", "applied", "failed", ...
    QString detail;     // one line: what was done, or what went wrong and where
    QString output;     // for standard output, printed in port order once every port is done
    QStringList errors; // further lines for standard error
    // For the report: the identity fields read (I1..I4 by name; none when the job read none),
    // the registers written and read back, the one that failed, those not written, and the
    // SHA-256 (hex) of the firmware sent, the site plan's section used, and (net audit) the
    // network's problems seen on this modem.
    QMap<QString, QString> identity;
    QStringList written;
    QStringList failed;
    QStringList notWritten;
    QString firmwareSha256;
    std::optional<RateRecord> rateChange;
    // An upgrade that kept the settings: the identity before it, and the registers written back
    // from the backup (none when the upgrade kept no settings).
    QMap<QString, QString> identityBefore;
    std::optional<QStringList> restored;
    QString section;
    std::optional<QStringList> problems;
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
    PortResult(QString port = {}, JobResult job = {}) : port(std::move(port)), job(std::move(job))
    {
    }

    QString port;
    JobResult job;
    QDateTime started;  // when the port's job started, before its port was opened (UTC)
    double seconds = 0; // from then until the port was closed
    int baud = 0;       // the line's rate at the end (the rate asked for when it did not open)
};

namespace PortJobs {

// Opens every port on its own thread (each line is created there) at `baud`, 8N1 (with
// AutoBaud at the first rate detection tries, the job detecting the rate), runs
// the job on it, closes it and prints its result on standard error at once: the failure and its
// errors as "dr58ctl: <port>: <detail>", with several ports a success as
// "dr58ctl: <port>: <result>: <detail>". Each port's output goes to standard output in the order
// given, as soon as the port and those before it are done: a port whose output is lost fails
// (ExitCode::WriteFailed). Returns when every port is done, in the order given.
// With a log, each port's bytes go to its transcript and each port's result, once its output is
// printed, to its report.
QVector<PortResult> run(const QStringList &ports, int baud, const PortJob &job,
                        RunLog *log = nullptr);

// One port's part of run(), on the calling thread, recorded at once; its result is neither
// announced nor its output printed.
PortResult runPort(const PortContext &context, int baud, const PortJob &job, RunLog *log);

// A port's result on standard error: what went wrong, or with `several` also what went well.
void announce(const PortResult &result, bool several);

// For several ports, prints the summary table on standard error. Returns the exit code of the
// whole run.
int report(const QVector<PortResult> &results);

// Port, result and detail in aligned columns.
QString summaryTable(const QVector<PortResult> &results);

// Whether a job failed: anything but success and "different".
bool failed(const JobResult &job);

// 0 when every port succeeded; otherwise the first failure's code in the order given, a real
// failure taking precedence over "different".
int exitCode(const QVector<PortResult> &results);

} // namespace PortJobs
