#pragma once

#include "profilediff.h"

#include <QStringList>

class AtSession;
class Stop;

// What an apply did to one modem. After a failure nothing more is written or stored, and the
// registers are named in three groups: written, the one that failed, and not written.
struct ApplyOutcome
{
    int code = 0;           // an ExitCode
    QStringList written;    // written and read back as wanted
    QString failedRegister; // empty when every write went through
    QString failure;        // what went wrong with it, or with the store
    QStringList notWritten; // not tried after the failure
    bool stored = false;
    bool interrupted = false; // the stop came before all was written and stored
    QStringList lines;        // one report line per register written
};

namespace ApplyRun {

// Writes each difference with the window's write command, reads it back with "AT<name>?" and
// stops at the first one refused, unanswered or read back different; then stores with "AT&W"
// when `store` is set and every write went through. Once `stop` is requested it writes and
// stores nothing more. The session must be in AT mode.
ApplyOutcome apply(AtSession &session, const QVector<Difference> &differences, bool store,
                   const Stop &stop);

// "written: S104, S105 (not stored); failed: S108; not written: S160" ("failed" only after a
// failure, "not written" only when a failure or the stop left registers unwritten)
QString groups(const ApplyOutcome &outcome);

} // namespace ApplyRun
