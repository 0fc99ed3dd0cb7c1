#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A port of 127.0.0.1 held for as long as this lives: bound, so that no one else can take it,
// and refusing connections until it listens.
class LoopbackPort
{
public:
    LoopbackPort() : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), size) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            qFatal("cannot bind a port of 127.0.0.1");
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackPort() { ::close(m_socket); }
    LoopbackPort(const LoopbackPort &) = delete;
    LoopbackPort &operator=(const LoopbackPort &) = delete;
    int port() const { return m_port; }
    int socket() const { return m_socket; }

private:
    int m_socket;
    int m_port = 0;
};

// ser2net serving one pseudo-terminal on 127.0.0.1 twice: over telnet with RFC 2217 and as
// raw TCP at 9600 8N1, from a configuration written at run time; stopped when it goes. Ports
// are chosen free, and chosen again should another program take one before ser2net binds it.
// The server is set up as the README recommends for a fast one, unless told otherwise.
class Ser2net
{
public:
    enum class Setup {
        Fast,        // each byte from the serial side sent on at once
        Defaults,    // ser2net's own: serial bytes held until the line is quiet for a while
        NoCharDelay, // Fast, but with small pieces held until the last one is acknowledged
    };

    explicit Ser2net(const QString &device, Setup setup = Setup::Fast)
    {
        for (int attempt = 0; attempt < Attempts; ++attempt) {
            if (start(device, setup))
                return;
            kill();
        }
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

private:
    static constexpr int Attempts = 5;
    static constexpr int StartLimit = 10000; // milliseconds for ser2net to listen on both ports

    bool start(const QString &device, Setup setup)
    {
        m_rfc2217 = LoopbackPort().port();
        m_tcp = LoopbackPort().port();
        const QString tcp = setup == Setup::Fast ? QStringLiteral("tcp(nodelay)") : "tcp";
        const QString line =
            QStringLiteral("  connector: serialdev,%1,9600n81,local\n").arg(device) +
            (setup == Setup::Defaults ? QString() : "  options:\n    chardelay: false\n");
        QFile config(m_dir.filePath("ser2net.yaml"));
        if (!config.open(QIODevice::WriteOnly) ||
            config.write(QStringLiteral("connection: &rfc2217\n"
                                        "  accepter: telnet(rfc2217),%4,127.0.0.1,%1\n%2"
                                        "connection: &tcp\n"
                                        "  accepter: %4,127.0.0.1,%3\n%2")
                             .arg(m_rfc2217)
                             .arg(line)
                             .arg(m_tcp)
                             .arg(tcp)
                             .toUtf8()) < 0)
            qFatal("cannot write the ser2net configuration");
        config.close();
        m_process.start("ser2net",
                        {"-n", "-u", "-c", config.fileName(), "-P", m_dir.filePath("ser2net.pid")});
        if (!m_process.waitForStarted())
            qFatal("cannot start ser2net: %s", qPrintable(m_process.errorString()));
        QElapsedTimer clock;
        clock.start();
        while (m_process.state() == QProcess::Running && clock.elapsed() < StartLimit) {
            if (listens(m_rfc2217) && listens(m_tcp))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    // Whether ser2net itself, not some other program, listens on the port: one of its sockets
    // is the one /proc/net/tcp lists as listening there.
    bool listens(int port) const
    {
        QFile table(QStringLiteral("/proc/net/tcp"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        const QByteArray local =
            "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_process.processId()));
        for (const QByteArray &row : table.readAll().split('\n')) {
            const QList<QByteArray> fields = row.simplified().split(' ');
            if (fields.size() > 9 && fields[1] == local && fields[3] == "0A") {
                const QByteArray socket = "socket:[" + fields[9] + ']';
                for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
                    char target[64] = {};
                    const QByteArray path = QFile::encodeName(fds.filePath(fd));
                    if (::readlink(path.constData(), target, sizeof target - 1) > 0 &&
                        socket == target)
                        return true;
                }
            }
        }
        return false;
    }

    QTemporaryDir m_dir;
    int m_rfc2217 = 0;
    int m_tcp = 0;
    QProcess m_process;
};
