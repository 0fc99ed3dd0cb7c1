#pragma once

#include "jobresult.h"
#include "modemline.h"
#include "stop.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class RunLog;

// The port a job runs on; `prefix` starts its output lines when several ports run at once;
// `detectBaud`: the job finds the modem's rate ("--baud auto"); `stop`: the run's stop request.
// While the job runs, `tell` gives the operator a line and `progress` how many bytes of how many
// a transfer has sent (the run's printer shows them).
struct PortContext
{
    QString port;
    QString prefix;
    bool detectBaud;
    const Stop &stop;
    std::function<void(const QString &)> tell = [](const QString &) {};
    std::function<void(qint64 done, qint64 total)> progress = [](qint64, qint64) {};
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

// Runs a job on ports, each on a thread of its own; prints nothing (see RunPrinter).
namespace PortJobs {

// What the runner tells while it runs, each with the port's index in the order given: `told` a
// line for the operator, `progressed` a transfer's progress and `ended` the result, on the
// port's thread as they happen; `inOrder` each result on the calling thread, in the order given,
// once the port and those before it are done.
struct Events
{
    std::function<void(int port, const QString &text)> told;
    std::function<void(int port, qint64 done, qint64 total)> progressed;
    std::function<void(int port, const PortResult &)> ended;
    std::function<void(int port, PortResult &)> inOrder;
};

// Opens every port on its own thread (each line is created there) at `baud`, 8N1 (with
// AutoBaud at the first rate detection tries, the job detecting the rate), runs the job on it
// and closes it; the jobs get `stop`. Returns when every port is done, in the order given. With a
// log, each port's bytes go to its transcript.
QVector<PortResult> run(const QStringList &ports, int baud, const PortJob &job, const Stop &stop,
                        const Events &events, RunLog *log = nullptr);

// One port's part of run(), on the calling thread.
PortResult runPort(const PortContext &context, int baud, const PortJob &job, RunLog *log);

// 0 when every port succeeded; otherwise the first failure's code in the order given, a real
// failure taking precedence over "different".
int exitCode(const QVector<PortResult> &results);

} // namespace PortJobs
