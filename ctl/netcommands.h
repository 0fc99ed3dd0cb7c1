#pragma once

#include "configjobs.h"

#include <QStringList>
#include <optional>

class RunLog;

// The network commands: a site plan checked against the network rules, radios audited together
// (and against a plan), a working network read into a plan; and the settings file of apply,
// diff and watch, which may be a site plan.
namespace NetCommands {

// Where a network command's results go besides standard output.
struct Outputs
{
    QString graph;  // a DOT file of the network, none when empty
    RunLog *log;    // the transcript, for every port as it runs
    RunLog *report; // the report, written once the network has been judged
    const Stop &stop;
};

// A profile, or a site plan that keeps every network rule choosing each modem's section by its
// serial number. None, its problems printed, when the file cannot be used.
std::optional<ConfigJobs::ProfileChoice> settings(const QString &path);

// net check PLAN: 0 when every rule holds, 3 with one line per broken rule.
int check(const QString &planPath, const QString &graph);

// net audit [PLAN]: reads every port, judges the rules over the radios and compares each with
// its section; 0 when sound, 1 when a rule is broken or a value differs, a port's code when a
// radio cannot be read.
int audit(const QString &planPath, const QStringList &ports, int baud, const Outputs &outputs);

// net plan --output PLAN: reads every port into a plan (JSON when its name ends in ".json").
int plan(const QString &output, const QStringList &ports, int baud, const Outputs &outputs);

} // namespace NetCommands
