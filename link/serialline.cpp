#include "serialline.h"

#include "portsettings.h"

SerialLine::SerialLine(QObject *parent)
    : ModemLine(parent), m_owned(std::make_unique<QSerialPort>()), m_port(m_owned.get())
{
    connect(m_port, &QSerialPort::readyRead, this, &QIODevice::readyRead);
}

SerialLine::SerialLine(QSerialPort &port) : ModemLine(&port), m_port(&port)
{
    connect(m_port, &QSerialPort::readyRead, this, &QIODevice::readyRead);
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

SerialLine::~SerialLine()
{
    if (m_owned)
        close();
}

SerialLine &SerialLine::wrapping(QSerialPort &port)
{
    if (auto *line = port.findChild<SerialLine *>(QString(), Qt::FindDirectChildrenOnly))
        return *line;
    return *new SerialLine(port);
}

bool SerialLine::open(const QString &path, int baud)
{
    m_port->setPortName(path);
    PortSettings{baud}.apply(*m_port);
    if (!m_port->open(QIODevice::ReadWrite))
        return false;
    return QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void SerialLine::close()
{
    if (isOpen())
        QIODevice::close();
    if (m_owned)
        m_port->close();
}

bool SerialLine::setBaudRate(int baud)
{
    return m_port->setBaudRate(baud, QSerialPort::AllDirections);
}

QString SerialLine::trouble() const
{
    switch (m_port->error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        return {};
    // A device that went away reads as an I/O error or as the end of the file, which the serial
    // library calls "Unknown error".
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        return QStringLiteral("the device went away (unplugged?)");
    default:
        return m_port->errorString();
    }
}

qint64 SerialLine::bytesAvailable() const
{
    return m_port->bytesAvailable() + QIODevice::bytesAvailable();
}

void SerialLine::dropPending(bool output)
{
    m_port->clear(output ? QSerialPort::AllDirections : QSerialPort::Input);
}
