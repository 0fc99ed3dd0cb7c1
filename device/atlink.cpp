#include "atlink.h"

#include <QSerialPort>
#include <QString>

namespace AtLink {

void writeCommand(QSerialPort &port, const QString &command)
{
    const QByteArray bytes = command.toLatin1();
    port.clear(QSerialPort::AllDirections);
    port.write(bytes);
    port.waitForBytesWritten(WriteTimeout);
}

} // namespace AtLink
