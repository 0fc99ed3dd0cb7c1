#pragma once

#include "jobresult.h"
#include "modemline.h"
#include "stop.h"

#include <QDateTime>
#include <QString>
#include <functional>

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
