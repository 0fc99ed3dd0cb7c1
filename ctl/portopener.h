#pragma once

#include "linefailure.h"
#include "modemline.h"

#include <QString>
#include <memory>

class Stop;

// Opens a modem's line for dr58ctl and turns a refusal into a message and an exit code a
// script can act on.
namespace PortOpener {

struct Failure
{
    int code; // an ExitCode; Ok when the port is open
    QString message;
};

// The line a port name stands for, open at `baud` (see openLine()); none with the failure when
// it cannot open. The stop ends a connection under way.
struct Opened
{
    std::unique_ptr<ModemLine> line;
    Failure failure;
};
Opened openLine(const QString &name, int baud, const Stop &stop);

// dr58ctl's exit code for a line's failure to open or to go on working.
int exitCodeOf(LineFailure failure, const Stop &stop);

} // namespace PortOpener
