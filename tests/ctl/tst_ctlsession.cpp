#include "applyrun.h"
#include "atsession.h"
#include "catalogue.h"
#include "exitcode.h"
#include "modemreader.h"
#include "profile.h"
#include "simmodem.h"

#include <QSerialPort>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(SimModem::Fault)

// Applying against a simulated modem that fails after it was read: the first failure stops the
// run before anything more is written or stored, and a store the modem does not confirm fails
// the run.
class SessionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void applyStopsAtFirstFailure_data();
    void applyStopsAtFirstFailure();

private:
    QTranslator m_english;
};

void SessionTest::initTestCase()
{
    initCatalogue();
    QVERIFY(m_english.load(":/tran/en_tr.qm"));
    QCoreApplication::installTranslator(&m_english);
}

void SessionTest::applyStopsAtFirstFailure_data()
{
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<SimModem::Fault>("faultAfterReading");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("groups");
    // The modem keeps the output power as a number, so "07" comes back as "7".
    QTest::newRow("read back different")
        << QByteArray("S108=07\n") << SimModem::Fault::None << ExitCode::Refused
        << "S108 Output Power: wrote \"07\", read back \"7\""
        << "written: none; failed: S108; not written: none";
    QTest::newRow("no answer") << QByteArray("S104=5\nS105=9\n") << SimModem::Fault::Silent
                               << ExitCode::NoAnswer
                               << "S104 Network Address(ID): no answer to the write of 5 (the "
                                  "modem may or may not have taken it)"
                               << "written: none; failed: S104; not written: S105";
    QTest::newRow("store not confirmed")
        << QByteArray("S104=1234567\n") << SimModem::Fault::Silent << ExitCode::NoAnswer
        << "the modem did not confirm the store (AT&W)"
        << "written: none";
}

void SessionTest::applyStopsAtFirstFailure()
{
    QFETCH(QByteArray, profile);
    QFETCH(SimModem::Fault, faultAfterReading);
    QFETCH(int, code);
    QFETCH(QString, failure);
    QFETCH(QString, groups);
    SimModem modem;
    QString error;
    QVERIFY2(modem.start(&error), qPrintable(error));
    QSerialPort port(modem.portName());
    port.setBaudRate(9600);
    QVERIFY(port.open(QIODevice::ReadWrite));
    AtSession session(port);
    QStringList problems;
    const auto wanted = Profile::parse("p.ini", profile, &problems);
    QVERIFY2(wanted, qPrintable(problems.join('\n')));
    QVERIFY(session.enter());
    const auto reading = ModemReader::read(session);
    QVERIFY(reading);
    const QVector<Difference> plan = ProfileDiff::differences(*wanted, reading->values);
    modem.setFault(faultAfterReading);
    modem.clearReceived();
    const ApplyOutcome outcome = ApplyRun::apply(session, plan, true);

    QCOMPARE(outcome.code, code);
    QCOMPARE(outcome.failure, failure);
    QCOMPARE(ApplyRun::groups(outcome), groups);
    QVERIFY(!outcome.stored);
    // The store is tried only when every register went in.
    QCOMPARE(modem.received().contains("AT&W"), outcome.failedRegister.isEmpty());
    for (const Difference &difference : plan)
        QVERIFY(modem.storedValue(difference.name()) != difference.wanted);
}

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_ctlsession.moc"
