#pragma once

class QSerialPort;
class QString;

// The wire side of one AT command, shared by the window and the command-line tool.
namespace AtLink {

constexpr int WriteTimeout = 30000; // milliseconds

// Discards whatever is pending in both directions (a late reply to an earlier command), then
// writes the command as Latin-1 and waits until it has left.
void writeCommand(QSerialPort &port, const QString &command);

} // namespace AtLink
