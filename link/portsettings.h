#pragma once

class QSerialPort;

// The line format both the window and dr58ctl open a modem port with: the chosen rate in both
// directions, no parity, 8 data bits, one stop bit and no flow control (8N1).
struct PortSettings
{
    int baud;

    // Sets the format on a port before it is opened.
    void apply(QSerialPort &port) const;
};
