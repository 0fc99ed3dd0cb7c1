#pragma once

#include <QByteArray>
#include <QString>

// The local serial ports as the system reports them, for scripts.
namespace PortDescription {

// A JSON array, one object a port in the order of "dr58ctl ports": "device" (/dev/ttyUSB0),
// "by_id" (its stable name in `byIdDir`, null when none leads to it), "vendor_id" and
// "product_id" (USB IDs as four hex digits), "serial_number", "description" and "manufacturer"
// (null where the system reports none).
QByteArray json(const QString &byIdDir = QStringLiteral("/dev/serial/by-id"));

} // namespace PortDescription
