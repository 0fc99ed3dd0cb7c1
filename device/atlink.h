#pragma once

#include <functional>

class ModemLine;
class QIODevice;
class QString;

// The wire side of one AT command, shared by the window and the command-line tool, on a modem
// line.
namespace AtLink {

// Waits until what was written to the port has left, for `limitMs` at the most; with `stop`, it
// is asked every DeviceConstants::StopPoll ms and ends the wait. False when it did not all leave.
bool waitWritten(QIODevice &port, int limitMs, const std::function<bool()> &stop = {});

// Discards whatever is pending in both directions (a late reply to an earlier command), then
// writes the command as Latin-1 and waits until it has left (or `stop` says so).
void writeCommand(ModemLine &line, const QString &command, const std::function<bool()> &stop = {});

} // namespace AtLink
