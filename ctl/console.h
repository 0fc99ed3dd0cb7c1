#pragma once

#include "printable.h"

#include <QString>

// dr58ctl's output, safe to call from every port's thread: whole lines never interleave.
namespace Console {

void out(const QString &text); // standard output, each line printable
void err(const QString &text); // standard error, each line printable
// Redraws the current line of standard error (a progress bar on a terminal).
void redraw(const QString &text);
bool errIsTerminal();

} // namespace Console
