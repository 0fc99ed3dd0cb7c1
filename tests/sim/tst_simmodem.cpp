#include "simmodem.h"
#include "simtestsupport.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SimModem::Fault)

// The simulated modem end to end, through a real serial port on the pseudo-terminal.
class SimModemTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QSerialPort::SerialPortError>(); }
    void greetingOverThePort();
    void pacingFollowsTheLineRate_data();
    void pacingFollowsTheLineRate();
    void fixedRateOverridesTheLine();
    void symlinkReachesThePort();
    void stopIsSeenAsReadError();
    void updateOverThePort();
    void lateReplyIsHeldBack();
    void babbleStopsWhenCleared();
    void rawBytesArrive();
};

namespace {

// Reads until `until` is in what came, or the time runs out; returns what came.
QByteArray readUntil(QSerialPort &port, const QByteArray &until, int timeoutMs = 3000)
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains(until) && clock.elapsed() < timeoutMs) {
        if (port.bytesAvailable() > 0 || port.waitForReadyRead(50))
            got += port.readAll();
    }
    return got;
}

bool openAt(QSerialPort &port, const QString &name, int rate)
{
    port.setPortName(name);
    return port.open(QIODevice::ReadWrite) && port.setBaudRate(rate);
}

void write(QSerialPort &port, const QByteArray &bytes)
{
    port.write(bytes);
    port.waitForBytesWritten(1000);
}

} // namespace

void SimModemTest::greetingOverThePort()
{
    SimModem modem;
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), 115200));
    write(port, "+++");
    QCOMPARE(readUntil(port, "OK\r\n"), QByteArray("\r\nWelcome To Use DR58\r\nOK\r\n"));
    QVERIFY(modem.inAtMode());
    write(port, "ATS105=17\r");
    QCOMPARE(readUntil(port, "OK\r\n"), QByteArray("ATS105=17\r\nOK\r\n"));
    QCOMPARE(modem.registerValue("S105"), QStringLiteral("17"));
    QCOMPARE(modem.received(), QByteArray("+++ATS105=17\r"));
    QCOMPARE(modem.sent(), QByteArray("\r\nWelcome To Use DR58\r\nOK\r\nATS105=17\r\nOK\r\n"));
}

void SimModemTest::pacingFollowsTheLineRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<SimModem::Fault>("fault");
    QTest::addColumn<int>("divisor");
    QTest::newRow("9600") << 9600 << SimModem::Fault::None << 1;
    QTest::newRow("7200, a rate the classic termios cannot name")
        << 7200 << SimModem::Fault::None << 1;
    QTest::newRow("115200 very slow") << 115200 << SimModem::Fault::VerySlow << 10;
}

// A listing of n bytes takes n * 10 / rate seconds on the line.
void SimModemTest::pacingFollowsTheLineRate()
{
    QFETCH(int, rate);
    QFETCH(SimModem::Fault, fault);
    QFETCH(int, divisor);
    SimModem modem;
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), rate));
    QTRY_COMPARE(modem.baudRate(), rate);
    write(port, "+++");
    readUntil(port, "OK\r\n");
    modem.setFault(fault);

    QElapsedTimer clock;
    clock.start();
    write(port, "\rAT&V\r");
    const QByteArray listing = readUntil(port, "\r\nOK\r\n", 10000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    QVERIFY(listing.endsWith("\r\nOK\r\n"));
    const double expected = listing.size() * 10.0 * divisor / rate;
    qInfo("%d bytes in %.4f s, line time %.4f s", int(listing.size()), seconds, expected);
    QVERIFY2(qAbs(seconds - expected) <= 0.15 * expected,
             qPrintable(QString("%1 bytes in %2 s, expected %3 s")
                            .arg(listing.size())
                            .arg(seconds)
                            .arg(expected)));
}

void SimModemTest::fixedRateOverridesTheLine()
{
    SimModem modem;
    modem.setBaudRate(4800);
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), 921600));
    QCOMPARE(modem.baudRate(), 4800);
    QElapsedTimer clock;
    clock.start();
    write(port, "+++");
    const QByteArray greeting = readUntil(port, "OK\r\n");
    const double expected = greeting.size() * 10.0 / 4800; // 56 ms for 27 bytes
    QVERIFY2(clock.elapsed() >= expected * 1000 * 0.9,
             qPrintable(QString::number(clock.elapsed())));
    modem.setBaudRate(0);
    QCOMPARE(modem.baudRate(), 921600);
}

void SimModemTest::symlinkReachesThePort()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("dr58");
    SimModem modem;
    QVERIFY(modem.linkTo(link)); // before start: made when the line opens
    QVERIFY(modem.start());
    QCOMPARE(QFileInfo(link).symLinkTarget(), modem.portName());
    QSerialPort port;
    QVERIFY(openAt(port, link, 9600));
    write(port, "+++");
    QVERIFY(readUntil(port, "OK\r\n").contains("Welcome To Use DR58\r\n"));
    port.close();
    modem.stop();
    QVERIFY(!QFileInfo::exists(link));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void SimModemTest::stopIsSeenAsReadError()
{
    SimModem modem;
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), 9600));
    QSignalSpy errors(&port, &QSerialPort::errorOccurred);
    modem.stop();
    QTRY_VERIFY(errors.contains({QVariant::fromValue(QSerialPort::ReadError)}));
    QCOMPARE(port.error(), QSerialPort::ReadError);
}

void SimModemTest::updateOverThePort()
{
    using SimTest::request;
    SimModem modem;
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), 115200));
    write(port, "+++");
    readUntil(port, "OK\r\n");
    write(port, "\rAT&UP\r");
    QCOMPARE(readUntil(port, "\r\n"), QByteArray("UPDATE\r\n"));
    QVERIFY(modem.inUpdateMode());

    const QByteArray firmware = QByteArray("DR58 firmware image ").repeated(15); // 300 bytes
    const QVector<QByteArray> requests = {request(1), request(2, 0, firmware.left(241)),
                                          request(2, 1, firmware.mid(241)), request(3)};
    const QVector<int> steps = {1, 2, 2, 3};
    for (int i = 0; i < requests.size(); ++i) {
        write(port, requests.at(i));
        const QByteArray ack = UpdateMode::acknowledgement(steps.at(i));
        QCOMPARE(readUntil(port, ack.right(2)), ack);
    }
    QCOMPARE(modem.image(), firmware);
    QCOMPARE(modem.updateRequests(2), 2);
    QVERIFY(!modem.inUpdateMode());
    QVERIFY(!modem.inAtMode());
}

void SimModemTest::lateReplyIsHeldBack()
{
    SimModem modem;
    modem.setLateReplyDelay(600);
    modem.setFault(SimModem::Fault::LateReply, 1);
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), 115200));
    QElapsedTimer clock;
    clock.start();
    write(port, "+++");
    QVERIFY(readUntil(port, "OK\r\n").endsWith("OK\r\n"));
    QVERIFY2(clock.elapsed() >= 600 && clock.elapsed() < 1000,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(modem.fault(), SimModem::Fault::None);
    clock.restart();
    write(port, "AT\r");
    QVERIFY(readUntil(port, "OK\r\n").endsWith("OK\r\n"));
    QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
}

void SimModemTest::babbleStopsWhenCleared()
{
    SimModem modem;
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), 115200));
    write(port, "+++");
    readUntil(port, "OK\r\n");
    modem.setFault(SimModem::Fault::Babble);
    write(port, "AT&V\r");
    const QByteArray babble = readUntil(port, "never comes", 500);
    QVERIFY2(babble.size() > 3000, qPrintable(QString::number(babble.size())));
    QVERIFY(!babble.contains("OK\r\n"));
    modem.setFault(SimModem::Fault::None);
    readUntil(port, "never comes", 100); // the line in flight
    QCOMPARE(readUntil(port, "never comes", 300), QByteArray());
    write(port, "AT\r");
    QCOMPARE(readUntil(port, "OK\r\n"), QByteArray("AT\r\nOK\r\n"));
}

void SimModemTest::rawBytesArrive()
{
    SimModem modem;
    QVERIFY(modem.start());
    QSerialPort port;
    QVERIFY(openAt(port, modem.portName(), 9600));
    const QByteArray noise("\x00\xff\r\nnoise\x01", 10);
    modem.sendRaw(noise);
    QCOMPARE(readUntil(port, "\x01"), noise);
    QVERIFY(modem.received().isEmpty());
    QVERIFY(!modem.inAtMode());
}

QTEST_GUILESS_MAIN(SimModemTest)
#include "tst_simmodem.moc"
