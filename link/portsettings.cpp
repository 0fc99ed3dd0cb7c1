#include "portsettings.h"

#include <QSerialPort>

void PortSettings::apply(QSerialPort &port) const
{
    port.setBaudRate(baud, QSerialPort::AllDirections);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}
