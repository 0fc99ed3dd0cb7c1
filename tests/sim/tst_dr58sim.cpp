#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The dr58sim command: prints its port, answers on it and tidies up when told to stop; listens
// at its own line rate and reports the identity and the registers it is given.
class Dr58SimTest : public QObject
{
    Q_OBJECT
private slots:
    void stopsCleanly();
    void lineRateAndIdentity();
};

namespace {

// Writes the bytes and reads until the reply ends in "OK\r\n" or the line stays quiet for 1 s.
QByteArray exchange(QSerialPort &port, const QByteArray &bytes)
{
    port.write(bytes);
    QByteArray reply;
    while (!reply.endsWith("OK\r\n") && port.waitForReadyRead(1000))
        reply += port.readAll();
    return reply;
}

} // namespace

void Dr58SimTest::stopsCleanly()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("modem");
    QProcess sim;
    sim.start(DR58SIM_PATH, {"--link", link, "--baud", "115200", "--fault", "nogreeting"});
    QVERIFY(sim.waitForReadyRead(5000));
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QVERIFY2(path.startsWith("/dev/pts/"), qPrintable(path));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);

    QSerialPort port(link);
    QVERIFY(port.open(QIODevice::ReadWrite));
    QCOMPARE(exchange(port, "+++"), QByteArray("OK\r\n")); // the fault chosen on the command line

    ::kill(pid_t(sim.processId()), SIGTERM);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

// Bytes at another rate get no answer; the rate stored in S102 takes over after "ATA".
void Dr58SimTest::lineRateAndIdentity()
{
    QCOMPARE(QProcess::execute(DR58SIM_PATH, {"--serial-number", "SN\t42"}), 2);
    QCOMPARE(QProcess::execute(DR58SIM_PATH, {"--set", "S105=65536"}), 2);
    QProcess sim;
    sim.start(DR58SIM_PATH,
              {"--line-baud", "19200", "--serial-number", "SN-0042", "--set", "S105=7"});
    QVERIFY(sim.waitForReadyRead(5000));
    QSerialPort port(QString::fromLocal8Bit(sim.readLine()).trimmed());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QCOMPARE(exchange(port, "+++"), QByteArray()); // at 9600
    port.setBaudRate(19200);
    QCOMPARE(exchange(port, "+++"), QByteArray("\r\nWelcome To Use DR58\r\nOK\r\n"));
    const QByteArray listing = exchange(port, "AT&V\r");
    QVERIFY(listing.contains("\r\nSerial Number SN-0042\r\n"));
    QVERIFY(listing.contains("S105 Unit address=7\r\n"));
    for (const QByteArray command : {"ATS102=2", "AT&W", "ATA"})
        QCOMPARE(exchange(port, command + '\r'), command + "\r\nOK\r\n");
    QCOMPARE(exchange(port, "+++"), QByteArray());
    port.setBaudRate(57600);
    QCOMPARE(exchange(port, "+++"), QByteArray("\r\nWelcome To Use DR58\r\nOK\r\n"));
    sim.kill();
    sim.waitForFinished(5000);
}

QTEST_GUILESS_MAIN(Dr58SimTest)
#include "tst_dr58sim.moc"
