#pragma once

#include <QString>

// dr58ctl's output, safe to call from every port's thread: whole lines never interleave.
namespace Console {

void out(const QString &text); // standard output, as given
void err(const QString &text); // standard error, as given
// Redraws the current line of standard error (a progress bar on a terminal).
void redraw(const QString &text);
bool errIsTerminal();

} // namespace Console
