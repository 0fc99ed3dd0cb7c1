#pragma once

#include "modemline.h"
#include "portopener.h"

#include <memory>

// A modem behind a serial device server, reached over TCP: "rfc2217://HOST:PORT" speaks telnet
// with the COM port control option, so the client sets the server's line (rate, 8N1), and data
// bytes pass transparently (the telnet escape byte doubled one way, undoubled the other);
// "tcp://HOST:PORT" is a plain byte stream at the rate the server is configured for. Network
// events arrive on a thread of the line's own; readyRead is emitted on the line's thread.
class NetworkLine : public ModemLine
{
    Q_OBJECT

public:
    explicit NetworkLine(QObject *parent = nullptr);
    ~NetworkLine() override;

    // Whether a port name stands for a network line: it starts with "rfc2217://" or "tcp://".
    static bool isNetworkName(const QString &name);
    // What is wrong with a network port name; empty when it is "SCHEME://HOST:PORT".
    static QString nameProblem(const QString &name);
    // Whether the line's rate is fixed by the server ("tcp://").
    static bool hasFixedRate(const QString &name);
    // Each "ADDRESS PORT" the name's host resolves to (an IPv4 address mapped into IPv6 as
    // IPv4); "HOST PORT" when it does not resolve.
    static QStringList endpoints(const QString &name);

    // Connects within the connect bound and, with RFC 2217, sets the server's line to `baud`,
    // 8N1. The failure's code is ExitCode::Ok when the line is open.
    PortOpener::Failure open(const QString &name, int baud);
    void close() override;

    QString name() const override { return m_name; }
    bool setBaudRate(int baud) override;
    int baudRate() const override { return m_baud; }
    // Throws away what has arrived and not been read; bytes on their way stay on their way.
    void discardPending() override;
    QString trouble() const override;

    qint64 bytesAvailable() const override;
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;
    qint64 bytesToWrite() const override;

protected:
    qint64 readRaw(char *data, qint64 maxSize) override;
    qint64 writeRaw(const char *data, qint64 size) override;

private:
    class Link;
    std::unique_ptr<Link> m_link;
    QString m_name;
    int m_baud = 0; // 0 with "tcp://": the server's rate, unknown here
    QString m_rateTrouble;
};
