#pragma once

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

// ser2net serving one pseudo-terminal on 127.0.0.1 twice: over telnet with RFC 2217 and as
// raw TCP at 9600 8N1, from a configuration written at run time; stopped when it goes.
class Ser2net
{
public:
    explicit Ser2net(const QString &device) : m_rfc2217(freePort()), m_tcp(freePort())
    {
        const QString line =
            QStringLiteral("  connector: serialdev,%1,9600n81,local\n").arg(device);
        QFile config(m_dir.filePath("ser2net.yaml"));
        if (!config.open(QIODevice::WriteOnly) ||
            config.write(QStringLiteral("connection: &rfc2217\n"
                                        "  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n%2"
                                        "connection: &tcp\n"
                                        "  accepter: tcp,127.0.0.1,%3\n%2")
                             .arg(m_rfc2217)
                             .arg(line)
                             .arg(m_tcp)
                             .toUtf8()) < 0)
            qFatal("cannot write the ser2net configuration");
        config.close();
        m_process.start("ser2net",
                        {"-n", "-u", "-c", config.fileName(), "-P", m_dir.filePath("ser2net.pid")});
        for (int i = 0; i < 100 && !listening(); ++i)
            QThread::msleep(50);
        if (!listening())
            qFatal("ser2net did not start: %s", m_process.readAll().constData());
    }
    ~Ser2net() { kill(); }

    QString rfc2217() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_rfc2217); }
    QString tcp() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(m_tcp); }

    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // A port of 127.0.0.1 that nothing listens on (for a moment).
    static int freePort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }

private:
    bool listening() const
    {
        QTcpServer probe;
        return !probe.listen(QHostAddress::LocalHost, quint16(m_tcp));
    }

    QTemporaryDir m_dir;
    int m_rfc2217;
    int m_tcp;
    QProcess m_process;
};
