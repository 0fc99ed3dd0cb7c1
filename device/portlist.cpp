#include "portlist.h"

#include <QSerialPortInfo>

namespace {
QStringList &extraPorts()
{
    static QStringList ports;
    return ports;
}
} // namespace

namespace PortList {

QStringList availablePorts()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    return names + extraPorts();
}

void addExtraPort(const QString &name)
{
    if (!extraPorts().contains(name))
        extraPorts().append(name);
}

void clearExtraPorts()
{
    extraPorts().clear();
}

} // namespace PortList
