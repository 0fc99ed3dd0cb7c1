#include "openline.h"

#include "networkline.h"
#include "serialline.h"

#include <QFile>
#include <unistd.h>

namespace {

OpenedLine openNetwork(const PortAddress &address, int baud, const std::function<bool()> &stop)
{
    auto line = std::make_unique<NetworkLine>();
    const LineFailure failure = line->open(address, baud, stop);
    if (failure == LineFailure::None)
        return {std::move(line), failure, {}};
    return {nullptr, failure, line->trouble()};
}

OpenedLine openSerial(const PortAddress &address, int baud)
{
    auto line = std::make_unique<SerialLine>();
    if (line->open(address.path(), baud))
        return {std::move(line), LineFailure::None, {}};
    const bool accessible =
        ::access(QFile::encodeName(address.path()).constData(), R_OK | W_OK) == 0;
    return serialFailure(line->port().error(), accessible, line->port().errorString());
}

} // namespace

OpenedLine openLine(const PortAddress &address, int baud, const std::function<bool()> &stop)
{
    return address.isNetwork() ? openNetwork(address, baud, stop) : openSerial(address, baud);
}

OpenedLine serialFailure(QSerialPort::SerialPortError error, bool accessible, const QString &detail)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return {nullptr, LineFailure::Missing, QStringLiteral("no such serial port")};
    case QSerialPort::PermissionError:
        if (!accessible)
            return {nullptr, LineFailure::Denied,
                    QStringLiteral("permission denied: join the dialout group "
                                   "(sudo usermod -aG dialout $USER, then log in again)")};
        return {nullptr, LineFailure::Busy,
                QStringLiteral("the port is in use by another program")};
    default:
        return {nullptr, LineFailure::Failed,
                QStringLiteral("cannot open the port: %1").arg(detail)};
    }
}
