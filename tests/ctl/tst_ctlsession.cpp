#include "applyrun.h"
#include "appresources.h"
#include "atsession.h"
#include "exitcode.h"
#include "modemreader.h"
#include "profile.h"
#include "registercatalog.h"
#include "simmodem.h"

#include <QSerialPort>
#include <QTranslator>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(SimModem::Fault)

namespace {

const QByteArray ReadCommands = "+++\rAT&V\rATS160?\rATS244?\rATS221?\rATS220?\rATS143?\r";

// A simulated modem with an open port to it, in AT mode once `enter` succeeded.
struct Line
{
    Line()
    {
        QString error;
        if (!modem.start(&error))
            qFatal("simulated modem: %s", qPrintable(error));
        port.setPortName(modem.portName());
        port.setBaudRate(9600);
        if (!port.open(QIODevice::ReadWrite))
            qFatal("cannot open %s", qPrintable(modem.portName()));
    }

    // Enters AT mode and reads the modem as `apply` does before it writes.
    QVector<Difference> plan(const QByteArray &profileText)
    {
        QStringList problems;
        const auto profile = Profile::parse("p.ini", profileText, &problems);
        if (!profile || !session.enter())
            qFatal("no plan: %s", qPrintable(problems.join('\n')));
        const auto values = ModemReader::read(session);
        return values ? ProfileDiff::differences(*profile, *values) : QVector<Difference>();
    }

    SimModem modem;
    QSerialPort port;
    AtSession session{port};
};

} // namespace

// The library's dialogue with a simulated modem: reading as the window reads, and applying
// with a read-back of every register written.
class SessionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readsWhatTheModemHolds();
    void appliesVerifiesAndStores();
    void applyStopsAtFirstFailure_data();
    void applyStopsAtFirstFailure();
    void entryNeedsTheGreeting_data();
    void entryNeedsTheGreeting();

private:
    QTranslator m_english;
};

void SessionTest::initTestCase()
{
    initAppResources();
    QVERIFY(m_english.load(":/tran/en_tr.qm"));
    QCoreApplication::installTranslator(&m_english);
}

void SessionTest::readsWhatTheModemHolds()
{
    Line line;
    line.modem.setRegisterValue("S105", "17");
    line.modem.setRegisterValue("S102", "16");
    line.modem.setRegisterValue("S160", "secret1");
    QVERIFY(line.session.enter());
    const auto values = ModemReader::read(line.session);
    QVERIFY(values);
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        if (reg.kind != FieldKind::Info)
            QCOMPARE(values->value(reg.name, "missing"), line.modem.registerValue(reg.name));
    }
    QCOMPARE(values->value("I4"), QString("5821A0419017"));
    QCOMPARE(line.modem.received(), ReadCommands);
}

void SessionTest::appliesVerifiesAndStores()
{
    Line line;
    const QVector<Difference> plan = line.plan("S101=2\nS102=15\nS104=42\nS160=newkey\n");
    line.modem.clearReceived();
    const ApplyOutcome outcome = ApplyRun::apply(line.session, plan, true);

    QCOMPARE(outcome.code, ExitCode::Ok);
    QCOMPARE(outcome.written, QStringList({"S102", "S104", "S160"}));
    QVERIFY(outcome.stored);
    QCOMPARE(line.modem.received(), QByteArray("ATS102=15\r\nATS102?\rATS104=42\rATS104?\r"
                                               "ATS160=newkey\rATS160?\r\rAT&W\r"));
    for (const auto &[name, value] : {std::pair("S102", "15"), {"S104", "42"}, {"S160", "newkey"}})
        QCOMPARE(line.modem.storedValue(name), QString(value));
    QCOMPARE(ApplyRun::groups(outcome), QString("written: S102, S104, S160"));
}

void SessionTest::applyStopsAtFirstFailure_data()
{
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<SimModem::Fault>("faultAfterReading");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("groups");
    // The modem takes at most 30 in S108 although the tool lets any text through.
    QTest::newRow("refused") << QByteArray("S104=5\nS108=31\nS160=k\n") << SimModem::Fault::None
                             << ExitCode::Refused << "S108 Output Power: the modem refused \"31\""
                             << "written: S104 (not stored); failed: S108; not written: S160";
    // Sent as Latin-1, the key comes back in bytes that are no UTF-8.
    QTest::newRow("read back different")
        << QByteArray("S160=clé\n") << SimModem::Fault::None << ExitCode::Refused
        << "S160 Encryption Key: wrote \"clé\", read back \"cl\uFFFD\""
        << "written: none; failed: S160; not written: none";
    QTest::newRow("no answer") << QByteArray("S104=5\nS105=9\n") << SimModem::Fault::Silent
                               << ExitCode::NoAnswer
                               << "S104 Network Address(ID): no answer to the write of 5 (the "
                                  "modem may or may not have taken it)"
                               << "written: none; failed: S104; not written: S105";
}

void SessionTest::applyStopsAtFirstFailure()
{
    QFETCH(QByteArray, profile);
    QFETCH(SimModem::Fault, faultAfterReading);
    QFETCH(int, code);
    QFETCH(QString, failure);
    QFETCH(QString, groups);
    Line line;
    const QVector<Difference> plan = line.plan(profile);
    line.modem.setFault(faultAfterReading);
    line.modem.clearReceived();
    const ApplyOutcome outcome = ApplyRun::apply(line.session, plan, true);

    QCOMPARE(outcome.code, code);
    QCOMPARE(outcome.failure, failure);
    QCOMPARE(ApplyRun::groups(outcome), groups);
    QVERIFY(!outcome.stored);
    QVERIFY(!line.modem.received().contains("AT&W"));
    for (const Difference &difference : plan)
        QVERIFY(line.modem.storedValue(difference.name) != difference.wanted);
}

void SessionTest::entryNeedsTheGreeting_data()
{
    QTest::addColumn<SimModem::Fault>("fault");
    QTest::addColumn<bool>("answered");
    QTest::newRow("silent") << SimModem::Fault::Silent << false;
    QTest::newRow("no greeting") << SimModem::Fault::NoGreeting << true;
}

void SessionTest::entryNeedsTheGreeting()
{
    QFETCH(SimModem::Fault, fault);
    QFETCH(bool, answered);
    Line line;
    line.modem.setFault(fault);
    QVERIFY(!line.session.enter());
    QCOMPARE(line.session.answered(), answered);
}

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_ctlsession.moc"
