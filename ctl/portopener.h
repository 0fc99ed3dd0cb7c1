#pragma once

#include "modemline.h"

#include <QSerialPort>
#include <QString>
#include <memory>

// Opens a modem's port for dr58ctl (8N1, no flow control) and turns a refusal into a message
// and an exit code a script can act on.
namespace PortOpener {

struct Failure
{
    int code; // an ExitCode; Ok when the port is open
    QString message;
};

// The line a port name stands for, open at `baud`: a local serial port, or one on a serial
// device server ("rfc2217://HOST:PORT", "tcp://HOST:PORT"); none with the failure when it
// cannot open.
struct Opened
{
    std::unique_ptr<ModemLine> line;
    Failure failure;
};
Opened openLine(const QString &name, int baud);

// The exit code and message of a failed open; `accessible` tells whether the user may read and
// write the device file, which separates a missing permission from a port held by another
// program (both are a permission error to the serial library).
Failure classify(QSerialPort::SerialPortError error, bool accessible, const QString &detail);

// What went wrong with an open port that failed while in use (unplugged, say); empty while it
// works.
QString trouble(const QSerialPort &port);

// "/dev/ttyUSB0" for "ttyUSB0"; a path stays as it is.
QString devicePath(const QString &name);

// The device a port name stands for, one spelling for all: the device path cleaned, with links
// followed when it exists ("ttyUSB0", "/dev/./ttyUSB0" and a link to it give "/dev/ttyUSB0");
// a network port name stays as it is.
QString canonicalPath(const QString &name);

// What a port name stands for, one spelling for all: the device of a local port, each address
// and port a network port's host resolves to. Two names stand for the same port when they share
// one.
QStringList identities(const QString &name);

} // namespace PortOpener
