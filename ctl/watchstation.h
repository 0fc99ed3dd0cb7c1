#pragma once

#include "portjobs.h"

#include <QString>
#include <QStringList>

class RunLog;

// A provisioning station: watches a directory (udev's /dev/serial/by-id) for serial devices that
// appear and runs a job on each new one, on a thread of its own, as "--port" runs do.
namespace WatchStation {

struct Settings
{
    QString dir;
    int baud;
    int count; // modems to handle before ending; 0: until a signal
};

// Devices already in the directory are left alone; each one that appears later is handled once,
// and again after it was removed and came back. A line per modem goes to standard output as it
// finishes. Ends after `count` modems, or after the stop once the running jobs have ended (as
// stopped jobs do), or once the running jobs have ended after the log lost a
// line, with the summary table on standard error. Returns the
// worst exit code among the modems.
int run(const Settings &settings, const PortJob &job, RunLog &log, const Stop &stop);

// "PORT  SERIAL  RESULT  SECONDS s": the serial number (I4) as read, "-" when none was read.
QString line(const PortResult &result);

// The highest exit code among the results, 0 for none: a failure outranks success, a signal
// (128 + n) every failure.
int worstCode(const QVector<PortResult> &results);

// Whether a path leads (links followed) to a character device.
bool isDevice(const QString &path);

// The directories to watch to see `dir`'s entries come and go, also when `dir` itself is created
// or removed (udev removes /dev/serial/by-id with its last device) or, as a symbolic link,
// re-pointed: the folder `dir` leads to when it exists, and the nearest existing ancestor of
// `dir` itself.
QStringList watchedPaths(const QString &dir);

// Whether `dir` is a folder or may become one: the path (links followed) or, when it does not
// exist, its nearest existing ancestor is a folder.
bool mayBeFolder(const QString &dir);

} // namespace WatchStation
