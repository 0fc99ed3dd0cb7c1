#pragma once

#include <QStringList>

// dr58ctl's command line: picks the command, checks its options and runs it on every port.
namespace Cli {

// Runs "dr58ctl <arguments>"; returns the exit code.
int run(const QStringList &arguments);

// The general help, with the commands and the exit codes.
QString generalHelp();

} // namespace Cli
