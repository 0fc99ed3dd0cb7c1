#pragma once

#include "modemline.h"

#include <QSerialPort>

// A modem on a local serial port.
class SerialLine : public ModemLine
{
    Q_OBJECT

public:
    explicit SerialLine(QObject *parent = nullptr);
    ~SerialLine() override;

    // Opens the device `name` at `baud`, 8N1, no flow control.
    bool open(const QString &name, int baud);
    void close() override;

    QString name() const override { return m_port.portName(); }
    bool setBaudRate(int baud) override;
    int baudRate() const override { return m_port.baudRate(); }
    void discardPending() override { m_port.clear(QSerialPort::AllDirections); }
    QString trouble() const override;

    const QSerialPort &port() const { return m_port; }

    qint64 bytesAvailable() const override;
    bool waitForReadyRead(int msecs) override { return m_port.waitForReadyRead(msecs); }
    bool waitForBytesWritten(int msecs) override { return m_port.waitForBytesWritten(msecs); }
    qint64 bytesToWrite() const override { return m_port.bytesToWrite(); }

protected:
    qint64 readRaw(char *data, qint64 maxSize) override { return m_port.read(data, maxSize); }
    qint64 writeRaw(const char *data, qint64 size) override { return m_port.write(data, size); }

private:
    QSerialPort m_port;
};
