#pragma once

#include "linefailure.h"
#include "modemline.h"
#include "portaddress.h"

#include <QSerialPort>
#include <QString>
#include <functional>
#include <memory>

struct OpenedLine
{
    std::unique_ptr<ModemLine> line; // none when it did not open
    LineFailure failure = LineFailure::None;
    QString message; // what went wrong, in words
};

// The line `address` stands for, open at `baud` (8N1, no flow control): a local serial port, or
// one on a serial device server. `stop` is asked while a network line connects.
OpenedLine openLine(const PortAddress &address, int baud, const std::function<bool()> &stop = {});

// Why a serial port did not open; `accessible` tells whether the user may read and write the
// device file, which separates a missing permission from a port held by another program (both
// are a permission error to the serial library).
OpenedLine serialFailure(QSerialPort::SerialPortError error, bool accessible,
                         const QString &detail);
