#include "portopener.h"

#include "exitcode.h"
#include "networkline.h"
#include "portholders.h"
#include "serialline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace PortOpener {

Opened openLine(const QString &name, int baud)
{
    if (NetworkLine::isNetworkName(name)) {
        auto line = std::make_unique<NetworkLine>();
        const Failure failure = line->open(name, baud);
        return {failure.code == ExitCode::Ok ? std::move(line) : nullptr, failure};
    }
    auto line = std::make_unique<SerialLine>();
    if (line->open(name, baud))
        return {std::move(line), {ExitCode::Ok, {}}};
    const QString path = devicePath(name);
    const bool accessible = ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
    const QSerialPort::SerialPortError error = line->port().error();
    Failure failure = classify(error, accessible, line->port().errorString());
    if (error == QSerialPort::PermissionError && accessible) // busy: name who holds it
        failure.message =
            PortHolders::busyMessage(path, PortHolders::of(path), PortHolders::usbIds(path));
    return {nullptr, failure};
}

Failure classify(QSerialPort::SerialPortError error, bool accessible, const QString &detail)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return {ExitCode::PortMissing, QStringLiteral("no such serial port")};
    case QSerialPort::PermissionError:
        if (!accessible)
            return {ExitCode::PortDenied,
                    QStringLiteral("permission denied: join the dialout group "
                                   "(sudo usermod -aG dialout $USER, then log in again)")};
        return {ExitCode::PortError, QStringLiteral("the port is in use by another program")};
    default:
        return {ExitCode::PortError, QStringLiteral("cannot open the port: %1").arg(detail)};
    }
}

QString trouble(const QSerialPort &port)
{
    switch (port.error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        return {};
    // A device that went away reads as an I/O error or as the end of the file, which the serial
    // library calls "Unknown error".
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        return QStringLiteral("the device went away (unplugged?)");
    default:
        return port.errorString();
    }
}

QString devicePath(const QString &name)
{
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}

QStringList identities(const QString &name)
{
    return NetworkLine::isNetworkName(name) ? NetworkLine::endpoints(name)
                                            : QStringList{canonicalPath(name)};
}

QString canonicalPath(const QString &name)
{
    if (NetworkLine::isNetworkName(name))
        return name;
    const QString path = QDir::cleanPath(devicePath(name));
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

} // namespace PortOpener
