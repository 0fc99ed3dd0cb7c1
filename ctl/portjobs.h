#pragma once

#include "portjob.h"

#include <QStringList>
#include <QVector>

class RunLog;

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
