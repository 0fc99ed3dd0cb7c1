#pragma once

#include <QString>

namespace Console {

// Text with every control character shown as "\xNN", so that nothing a modem or a file holds
// can steer the terminal or break a line.
QString printable(const QString &text);

} // namespace Console
