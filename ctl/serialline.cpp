#include "serialline.h"

#include "portopener.h"
#include "portsettings.h"

SerialLine::SerialLine(QObject *parent) : ModemLine(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &QIODevice::readyRead);
}

SerialLine::~SerialLine()
{
    close();
}

bool SerialLine::open(const QString &name, int baud)
{
    m_port.setPortName(name);
    PortSettings{baud}.apply(m_port);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    return QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void SerialLine::close()
{
    if (isOpen())
        QIODevice::close();
    m_port.close();
}

bool SerialLine::setBaudRate(int baud)
{
    return m_port.setBaudRate(baud, QSerialPort::AllDirections);
}

QString SerialLine::trouble() const
{
    return PortOpener::trouble(m_port);
}

qint64 SerialLine::bytesAvailable() const
{
    return m_port.bytesAvailable() + QIODevice::bytesAvailable();
}
