#pragma once

#include "linefailure.h"
#include "modemline.h"
#include "portaddress.h"

#include <atomic>
#include <functional>
#include <memory>

class GensioLink;

// A modem behind a serial device server, reached over TCP (see PortAddress): with RFC 2217 the
// line sets the server's line (rate, 8N1), and data bytes pass transparently (the telnet escape
// byte doubled one way, undoubled the other); with "tcp://" it is a plain byte stream at the
// rate the server is set to. Network events arrive on a thread of the line's own; readyRead is
// emitted on the line's thread.
class NetworkLine : public ModemLine
{
    Q_OBJECT

public:
    explicit NetworkLine(QObject *parent = nullptr);
    ~NetworkLine() override;

    // Connects within the connect bound and, with RFC 2217, sets the server's line to `baud`,
    // 8N1; `stop`, asked while connecting and setting, ends the waits. What went wrong is in
    // trouble().
    LineFailure open(const PortAddress &address, int baud, std::function<bool()> stop = {});
    void close() override;

    QString name() const override { return m_address.displayName(); }
    bool setBaudRate(int baud) override;
    int baudRate() const override { return m_baud; }
    QString trouble() const override;

    qint64 bytesAvailable() const override;
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;
    qint64 bytesToWrite() const override;

protected:
    qint64 readRaw(char *data, qint64 maxSize) override;
    qint64 writeRaw(const char *data, qint64 size) override;
    // Throws away what has arrived and not been read; bytes on their way stay on their way.
    void dropPending(bool output) override;

private:
    LineFailure failed(LineFailure failure, const QString &trouble);
    void arrived();

    std::unique_ptr<GensioLink> m_link;
    PortAddress m_address;
    int m_baud = 0; // 0 with "tcp://": the server's rate, unknown here
    QString m_trouble;
    std::atomic<bool> m_notifying{false};
};
