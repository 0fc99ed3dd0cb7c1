#include "atlink.h"

#include "deviceconstants.h"
#include "modemline.h"
#include "portrecorder.h"
#include "replywait.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QString>
#include <algorithm>

namespace AtLink {

bool waitWritten(QIODevice &port, int limitMs, const std::function<bool()> &stop)
{
    if (!stop)
        return port.waitForBytesWritten(limitMs);
    QElapsedTimer clock;
    clock.start();
    while (port.bytesToWrite() > 0) {
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0 || stop())
            return false;
        const qint64 before = clock.elapsed();
        const int slice = int(std::min<qint64>(left, DeviceConstants::StopPoll));
        // A port that fails answers at once; it is not asked again and again meanwhile.
        if (!port.waitForBytesWritten(slice) && clock.elapsed() - before < slice / 2)
            return port.bytesToWrite() == 0;
    }
    return true;
}

void writeCommand(QIODevice &port, const QString &command, const std::function<bool()> &stop)
{
    const QByteArray bytes = command.toLatin1();
    discardPending(port);
    PortRecorder::write(port, bytes);
    waitWritten(port, DeviceConstants::WriteTimeout, stop);
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
