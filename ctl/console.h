#pragma once

#include "printable.h"

#include <QByteArray>
#include <QString>

// dr58ctl's output, safe to call from every port's thread: whole lines never interleave. A
// closed or failing output never ends the program: the first failure of standard output is
// said once on standard error, and what was lost is kept for the exit code.
namespace Console {

// Standard output, each line printable; false when it could not be written whole.
bool out(const QString &text);
// Standard output as it is (records already escaped); false when it could not be written whole.
bool outRaw(const QByteArray &bytes);
void err(const QString &text); // standard error, each line printable
// Redraws the current line of standard error (a progress bar on a terminal).
void redraw(const QString &text);
bool errIsTerminal();
// Why standard output lost what was written to it; empty while it lost nothing.
QString outLost();

} // namespace Console
