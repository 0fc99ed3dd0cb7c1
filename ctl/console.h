#pragma once

#include <QString>

// dr58ctl's output, safe to call from every port's thread: whole lines never interleave.
namespace Console {

// Text with every control character shown as "\xNN", so that nothing a modem or a file holds
// can steer the terminal or break a line.
QString printable(const QString &text);

void out(const QString &text); // standard output, each line printable
void err(const QString &text); // standard error, each line printable
// Redraws the current line of standard error (a progress bar on a terminal).
void redraw(const QString &text);
bool errIsTerminal();

} // namespace Console
