#pragma once

#include "modemline.h"

#include <QSerialPort>
#include <memory>

// A modem on a local serial port: one the line owns and opens, or the window's own port, which
// the line wraps so that what the window's exchanges read, write and discard passes the tap.
class SerialLine : public ModemLine
{
    Q_OBJECT

public:
    explicit SerialLine(QObject *parent = nullptr);
    ~SerialLine() override;

    // The line wrapping `port`, which stays the caller's to open, set and close: made as the
    // port's child on the first call, the same one on every later call. It reads and writes
    // while the port is open.
    static SerialLine &wrapping(QSerialPort &port);

    // Opens the device `path` at `baud`, 8N1, no flow control.
    bool open(const QString &path, int baud);
    // Closes the line, and the port when the line owns it.
    void close() override;

    QString name() const override { return m_port->portName(); }
    bool setBaudRate(int baud) override;
    int baudRate() const override { return m_port->baudRate(); }
    QString trouble() const override;
    bool isConnected() const override { return isOpen() && m_port->isOpen(); }

    const QSerialPort &port() const { return *m_port; }

    qint64 bytesAvailable() const override;
    bool waitForReadyRead(int msecs) override { return m_port->waitForReadyRead(msecs); }
    bool waitForBytesWritten(int msecs) override { return m_port->waitForBytesWritten(msecs); }
    qint64 bytesToWrite() const override { return m_port->bytesToWrite(); }

protected:
    qint64 readRaw(char *data, qint64 maxSize) override { return m_port->read(data, maxSize); }
    qint64 writeRaw(const char *data, qint64 size) override { return m_port->write(data, size); }
    void dropPending(bool output) override;

private:
    explicit SerialLine(QSerialPort &port);

    std::unique_ptr<QSerialPort> m_owned;
    QSerialPort *m_port;
};
