#include "simmodem.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

Q_DECLARE_METATYPE(SimModem::Fault)

// The simulated modem end to end, through a real serial port on the pseudo-terminal.
class SimModemTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QSerialPort::SerialPortError>(); }
    void pacingFollowsTheLineRate_data();
    void pacingFollowsTheLineRate();
    void stopIsSeenAsReadError();
    void babbleStopsWhenCleared();
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

void write(QSerialPort &port, const QByteArray &bytes)
{
    port.write(bytes);
    port.waitForBytesWritten(1000);
}

// Starts the modem, opens its port at the rate and puts the modem into AT mode.
bool connectInAtMode(SimModem &modem, QSerialPort &port, int rate)
{
    port.setPortName(modem.start() ? modem.portName() : QString());
    if (!port.open(QIODevice::ReadWrite) || !port.setBaudRate(rate))
        return false;
    write(port, "+++");
    return readUntil(port, "OK\r\n").endsWith("\r\nWelcome To Use DR58\r\nOK\r\n");
}

} // namespace

void SimModemTest::pacingFollowsTheLineRate_data()
{
    QTest::addColumn<int>("lineRate");
    QTest::addColumn<int>("fixedRate"); // 0: the modem follows the line
    QTest::addColumn<SimModem::Fault>("fault");
    QTest::addColumn<int>("divisor");
    QTest::newRow("7200, a rate the classic termios cannot name")
        << 7200 << 0 << SimModem::Fault::None << 1;
    QTest::newRow("115200 very slow") << 115200 << 0 << SimModem::Fault::VerySlow << 10;
    QTest::newRow("fixed 19200 overrides the line's 921600")
        << 921600 << 19200 << SimModem::Fault::None << 1;
}

// A listing of n bytes takes n * 10 / rate seconds on the line.
void SimModemTest::pacingFollowsTheLineRate()
{
    QFETCH(int, lineRate);
    QFETCH(int, fixedRate);
    QFETCH(SimModem::Fault, fault);
    QFETCH(int, divisor);
    const int rate = fixedRate ? fixedRate : lineRate;
    SimModem modem;
    modem.setBaudRate(fixedRate);
    QSerialPort port;
    QVERIFY(connectInAtMode(modem, port, lineRate));
    QTRY_COMPARE(modem.baudRate(), rate);
    modem.setFault(fault);

    QElapsedTimer clock;
    clock.start();
    write(port, "\rAT&V\r");
    const QByteArray listing = readUntil(port, "\r\nOK\r\n", 10000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    QVERIFY(listing.endsWith("\r\nOK\r\n"));
    const double expected = listing.size() * 10.0 * divisor / rate;
    qInfo("%d bytes in %.4f s, line time %.4f s", int(listing.size()), seconds, expected);
    // Never early (a byte of 9 bits is 10 % early); late by a busy machine's scheduling at most.
    QVERIFY2(seconds >= 0.98 * expected && seconds <= 1.15 * expected,
             qPrintable(QString("%1 bytes in %2 s, expected %3 s")
                            .arg(listing.size())
                            .arg(seconds)
                            .arg(expected)));
}

void SimModemTest::stopIsSeenAsReadError()
{
    SimModem modem;
    QSerialPort port;
    QVERIFY(connectInAtMode(modem, port, 9600));
    QSignalSpy errors(&port, &QSerialPort::errorOccurred);
    modem.stop();
    QTRY_VERIFY(errors.contains({QVariant::fromValue(QSerialPort::ReadError)}));
    QCOMPARE(port.error(), QSerialPort::ReadError);
}

void SimModemTest::babbleStopsWhenCleared()
{
    SimModem modem;
    QSerialPort port;
    QVERIFY(connectInAtMode(modem, port, 115200));
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

QTEST_GUILESS_MAIN(SimModemTest)
#include "tst_simmodem.moc"
