#pragma once

#include <QByteArray>

// What a UART listening at readRate makes of bytes sent back to back at sentRate (start bit,
// 8 data bits LSB first, stop bit; the line idles high before and after). It waits for a falling
// edge, checks the start bit in its middle, samples each later bit in its middle and drops a
// byte whose stop bit reads low (a framing error). Equal rates give the bytes unchanged.
QByteArray uartReceive(const QByteArray &bytes, int sentRate, int readRate);
