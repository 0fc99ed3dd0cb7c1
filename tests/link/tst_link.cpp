#include "linkconstants.h"
#include "openline.h"
#include "ser2net.h"
#include "serialline.h"

#include <QtTest>
#include <fcntl.h>
#include <memory>
#include <poll.h>

Q_DECLARE_METATYPE(LineFailure)

namespace {

// What the far end of a line got so far, read without waiting.
QByteArray drain(int fd)
{
    QByteArray bytes;
    char chunk[256];
    for (ssize_t count; (count = ::read(fd, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, int(count));
    return bytes;
}

// A line under test and its far end: the master of a pseudo-terminal behind a serial line (one
// the line owns, or a port the line wraps), or the accepted side of a loopback connection.
class Ends
{
public:
    explicit Ends(const QString &kind)
    {
        if (kind == "tcp")
            connectLoopback();
        else
            openTerminal(kind == "wrapped");
    }
    ~Ends() { ::close(m_far); }

    ModemLine *line() { return m_line ? m_line.get() : m_wrapped; }
    // Writes all of `bytes`, waiting for room up to a second at a time.
    void send(const QByteArray &bytes)
    {
        for (qint64 done = 0, count = 0; done < bytes.size(); done += std::max<qint64>(count, 0)) {
            count = ::write(m_far, bytes.data() + done, size_t(bytes.size() - done));
            pollfd room{m_far, POLLOUT, 0};
            QVERIFY(count >= 0 || (errno == EAGAIN && ::poll(&room, 1, 1000) == 1));
        }
    }
    void hangUp() { ::close(std::exchange(m_far, -1)); }
    QByteArray received() { return m_received += drain(m_far); }

private:
    void openTerminal(bool wrapped)
    {
        m_far = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(m_far >= 0 && ::grantpt(m_far) == 0 && ::unlockpt(m_far) == 0);
        const QString path = QString::fromLatin1(::ptsname(m_far));
        if (!wrapped) {
            auto line = std::make_unique<SerialLine>();
            QVERIFY(line->open(path, 9600));
            m_line = std::move(line);
            return;
        }
        m_port.setPortName(path);
        QVERIFY(m_port.open(QIODevice::ReadWrite));
        m_wrapped = &SerialLine::wrapping(m_port);
        QCOMPARE(&SerialLine::wrapping(m_port), m_wrapped); // one line per port
    }

    void connectLoopback()
    {
        QCOMPARE(::listen(m_server.socket(), 1), 0);
        OpenedLine opened =
            openLine(PortAddress(QString("tcp://127.0.0.1:%1").arg(m_server.port())), 9600);
        QVERIFY2(opened.line, qPrintable(opened.message));
        m_line = std::move(opened.line);
        m_far = ::accept4(m_server.socket(), nullptr, nullptr, SOCK_NONBLOCK);
        QVERIFY(m_far >= 0);
    }

    LoopbackPort m_server;
    QSerialPort m_port;
    SerialLine *m_wrapped = nullptr; // the port's child
    std::unique_ptr<ModemLine> m_line;
    int m_far = -1;
    QByteArray m_received;
};

} // namespace

class LinkTest : public QObject
{
    Q_OBJECT
private slots:
    void portAddress_data();
    void portAddress();
    void serialFailure_data();
    void serialFailure();
    void openFailure_data();
    void openFailure();
    void tapSeesEveryByte_data();
    void tapSeesEveryByte();
    void lineFails_data();
    void lineFails();
};

// The parts of a port name, and what it stands for: one device for every spelling of a local
// port, each address and port of a server.
void LinkTest::portAddress_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parts"); // scheme host port path
    QTest::addColumn<QString>("identity");
    QTest::addColumn<QString>("problem");
    QTest::newRow("bare name") << "ttyUSB0"
                               << "  0 /dev/ttyUSB0"
                               << "/dev/ttyUSB0"
                               << "";
    QTest::newRow("pseudo-terminal") << "/dev/pts/3"
                                     << "  0 /dev/pts/3"
                                     << "/dev/pts/3"
                                     << "";
    QTest::newRow("dot") << "/dev/./ttyUSB0"
                         << "  0 /dev/./ttyUSB0"
                         << "/dev/ttyUSB0"
                         << "";
    QTest::newRow("elsewhere") << "/tmp/dr58"
                               << "  0 /tmp/dr58"
                               << "/tmp/dr58"
                               << "";
    QTest::newRow("rfc2217") << "rfc2217://127.0.0.1:4001"
                             << "rfc2217 127.0.0.1 4001 "
                             << "127.0.0.1 4001"
                             << "";
    QTest::newRow("tcp") << "tcp://127.0.0.1:23"
                         << "tcp 127.0.0.1 23 "
                         << "127.0.0.1 23"
                         << "";
    const QString bad = "\"%1\" is not SCHEME://HOST:PORT";
    QTest::newRow("no port") << "rfc2217://127.0.0.1"
                             << "rfc2217 127.0.0.1 0 "
                             << "" << bad.arg("rfc2217://127.0.0.1");
    QTest::newRow("path") << "tcp://h:4001/x"
                          << "tcp h 4001 "
                          << "" << bad.arg("tcp://h:4001/x");
    QTest::newRow("user") << "tcp://u@h:1"
                          << "tcp h 1 "
                          << "" << bad.arg("tcp://u@h:1");
}

void LinkTest::portAddress()
{
    QFETCH(QString, name);
    QFETCH(QString, parts);
    QFETCH(QString, identity);
    QFETCH(QString, problem);
    const PortAddress address(name);
    QCOMPARE(QStringList({address.scheme(), address.host(), QString::number(address.port()),
                          address.path()})
                 .join(' '),
             parts);
    QCOMPARE(address.problem(), problem);
    QCOMPARE(address.displayName(), name);
    QCOMPARE(address.hasFixedRate(), address.kind() == PortAddress::Kind::Tcp);
    if (!identity.isEmpty())
        QCOMPARE(address.identities(), QStringList{identity});
}

void LinkTest::serialFailure_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<bool>("accessible");
    QTest::addColumn<LineFailure>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QSerialPort::DeviceNotFoundError << false << LineFailure::Missing
                             << "no such serial port";
    QTest::newRow("denied") << QSerialPort::PermissionError << false << LineFailure::Denied
                            << "permission denied: join the dialout group (sudo usermod -aG "
                               "dialout $USER, then log in again)";
    QTest::newRow("busy") << QSerialPort::PermissionError << true << LineFailure::Busy
                          << "the port is in use by another program";
    QTest::newRow("other") << QSerialPort::OpenError << true << LineFailure::Failed
                           << "cannot open the port: detail";
}

void LinkTest::serialFailure()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(bool, accessible);
    QFETCH(LineFailure, failure);
    QFETCH(QString, message);
    const OpenedLine opened = ::serialFailure(error, accessible, "detail");
    QCOMPARE(opened.failure, failure);
    QCOMPARE(opened.message, message);
}

void LinkTest::openFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<LineFailure>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such device")
        << "/dev/dr58-no-such-port" << LineFailure::Missing << "no such serial port";
    static const LoopbackPort closed;
    QTest::newRow("nobody listening")
        << QString("rfc2217://127.0.0.1:%1").arg(closed.port()) << LineFailure::Refused
        << "cannot connect: connection refused (is the server running, on that port?)";
}

void LinkTest::openFailure()
{
    QFETCH(QString, name);
    QFETCH(LineFailure, failure);
    QFETCH(QString, message);
    const OpenedLine opened = openLine(PortAddress(name), 9600);
    QVERIFY(!opened.line);
    QCOMPARE(opened.failure, failure);
    QCOMPARE(opened.message, message);
}

void LinkTest::tapSeesEveryByte_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("serial line") << "serial";
    QTest::newRow("wrapped port") << "wrapped";
    QTest::newRow("network line") << "tcp";
}

// Input thrown away unread is recorded as received before it goes.
void LinkTest::tapSeesEveryByte()
{
    QFETCH(QString, kind);
    Ends ends(kind);
    ModemLine *line = ends.line();
    QVERIFY(line);
    QByteArray sent, received;
    line->setTap([&](ModemLine::Direction direction, const QByteArray &bytes) {
        (direction == ModemLine::Direction::Sent ? sent : received) += bytes;
    });
    ends.send("stale");
    QTRY_COMPARE(line->bytesAvailable(), qint64(5));
    line->discardPending();
    QCOMPARE(line->bytesAvailable(), qint64(0));
    QCOMPARE(received, QByteArray("stale"));
    QCOMPARE(line->write("AT\r"), qint64(3));
    QTRY_COMPARE(ends.received(), QByteArray("AT\r"));
    ends.send("OK\r\n");
    QTRY_COMPARE(line->bytesAvailable(), qint64(4));
    QCOMPARE(line->readAll(), QByteArray("OK\r\n"));
    QCOMPARE(sent, QByteArray("AT\r"));
    QCOMPARE(received, QByteArray("staleOK\r\n"));
}

void LinkTest::lineFails_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("sent"); // bytes the far end sends, unread; then it hangs up when none
    QTest::addColumn<QString>("trouble");
    QTest::newRow("device gone") << "serial" << 0 << "the device went away (unplugged?)";
    QTest::newRow("server gone") << "tcp" << 0 << "the server closed the connection";
    QTest::newRow("server floods")
        << "tcp" << LinkConstants::MaxUnread + 1
        << "the server sends faster than a serial line carries (over 1048576 bytes unread)";
}

void LinkTest::lineFails()
{
    QFETCH(QString, kind);
    QFETCH(int, sent);
    QFETCH(QString, trouble);
    Ends ends(kind);
    QVERIFY(ends.line());
    QCOMPARE(ends.line()->failure(), LineFailure::None);
    ends.send(QByteArray(sent, 'x'));
    if (sent == 0)
        ends.hangUp();
    QTRY_COMPARE(ends.line()->trouble(), trouble);
    QCOMPARE(ends.line()->failure(), LineFailure::Gone);
}

QTEST_GUILESS_MAIN(LinkTest)
#include "tst_link.moc"
