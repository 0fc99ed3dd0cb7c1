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
    void stopsCleanly_data();
    void stopsCleanly();
    void refusesBadOptions_data();
    void refusesBadOptions();
};

namespace {

const QString Program = QStringLiteral(DR58SIM_PATH);

} // namespace

void Dr58SimTest::stopsCleanly_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("terminate") << SIGTERM;
}

void Dr58SimTest::stopsCleanly()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString link = dir.filePath("modem");
    QProcess sim;
    sim.start(Program, {"--link", link, "--baud", "115200", "--fault", "nogreeting"});
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

    ::kill(pid_t(sim.processId()), signal);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void Dr58SimTest::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("unknown fault") << QStringList{"--fault", "Sleepy"} << 2 << "unknown fault";
    QTest::newRow("bad rate") << QStringList{"--baud", "fast"} << 2 << "bad rate";
}

void Dr58SimTest::refusesBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QProcess sim;
    sim.start(Program, arguments);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), exitCode);
    QVERIFY(QString::fromLocal8Bit(sim.readAllStandardOutput() + sim.readAllStandardError())
                .contains(says));
}

QTEST_GUILESS_MAIN(Dr58SimTest)
#include "tst_dr58sim.moc"
