#pragma once

#include "modemline.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The text form of a transcript: one line per burst of bytes, as
//   2026-12-07T08:15:02.114Z /dev/ttyUSB0 > \rAT&V\r
// with the time in UTC to the millisecond, the port, ">" for sent and "<" for received, and the
// bytes with printable ASCII as it is and everything else escaped (\r, \n, \t, \\, \xHH).
namespace Transcript {

QString escaped(const QByteArray &bytes);

QString line(const QDateTime &time, const QString &port, ModemLine::Direction direction,
             const QByteArray &bytes);

} // namespace Transcript
