#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The dr58sim command: prints its port, answers on it and tidies up when told to stop.
class Dr58SimTest : public QObject
{
    Q_OBJECT
private slots:
    void stopsCleanly();
};

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
    port.write("+++");
    QByteArray reply;
    while (!reply.contains("OK\r\n") && port.waitForReadyRead(2000))
        reply += port.readAll();
    QCOMPARE(reply, QByteArray("OK\r\n")); // the fault chosen on the command line

    ::kill(pid_t(sim.processId()), SIGTERM);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(Dr58SimTest)
#include "tst_dr58sim.moc"
