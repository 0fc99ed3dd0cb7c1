#include "atlink.h"

#include "modemline.h"
#include "portrecorder.h"

#include <QSerialPort>
#include <QString>

namespace AtLink {

void writeCommand(QIODevice &port, const QString &command)
{
    const QByteArray bytes = command.toLatin1();
    discardPending(port);
    PortRecorder::write(port, bytes);
    port.waitForBytesWritten(WriteTimeout);
}

void discardPending(QIODevice &port)
{
    if (auto *serial = qobject_cast<QSerialPort *>(&port)) {
        PortRecorder::discarding(*serial);
        serial->clear(QSerialPort::AllDirections);
    } else if (auto *line = qobject_cast<ModemLine *>(&port)) {
        line->discardPending();
    }
}

QString nameOf(const QIODevice &port)
{
    if (auto *serial = qobject_cast<const QSerialPort *>(&port))
        return serial->portName();
    if (auto *line = qobject_cast<const ModemLine *>(&port))
        return line->name();
    return {};
}

int baudRateOf(const QIODevice &port)
{
    if (auto *serial = qobject_cast<const QSerialPort *>(&port))
        return serial->baudRate();
    if (auto *line = qobject_cast<const ModemLine *>(&port))
        return line->baudRate();
    return 0;
}

} // namespace AtLink
