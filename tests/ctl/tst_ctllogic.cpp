#include "catalogue.h"
#include "configjobs.h"
#include "console.h"
#include "exitcode.h"
#include "portjobs.h"
#include "portopener.h"
#include "profilediff.h"
#include "progresstext.h"
#include "registervalues.h"

#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(QSerialPort::SerialPortError)

namespace {

// A listing as the modem lays it out: identity lines, then "<name> <label>=<value>" entries
// ended by a blank, a tab or a line end.
const QByteArray Listing = "AT&V\r\n"
                           "Hardware Version DR58-H2.1\r\n"
                           "Serial Number 5821A0419017\r\n\r\n"
                           "S101 Operating mode=02\tS102 Serial baud=10\tS104 Network ID=77 "
                           "S141 Repeaters=2\r\nS110 Serial format=x\r\n"
                           "S160 Encryption key=dr58key\r\nOK\r\n";

PortResult port(const QString &name, int code, const QString &result = "done",
                const QString &detail = "")
{
    return {name, JobResult{code, result, detail, {}, {}}};
}

// A value read, "?" when unreadable.
QString shown(const std::optional<QString> &value)
{
    return value ? *value : QStringLiteral("?");
}

// Adds rows of string columns, the first entry of each naming the row.
void addRows(std::initializer_list<std::initializer_list<const char *>> rows)
{
    for (const auto &row : rows) {
        auto data = &QTest::newRow(*row.begin());
        for (auto it = row.begin() + 1; it != row.end(); ++it)
            *data << QString::fromUtf8(*it);
    }
}

} // namespace

// The pieces of dr58ctl that decide, free of any port: what a reply says, what differs, how a
// run ends and how it is shown.
class LogicTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listingValues_data();
    void listingValues();
    void singleAnswer_data();
    void singleAnswer();
    void differences();
    void describeDifference_data();
    void describeDifference();
    void exitCodeOfSeveralPorts_data();
    void exitCodeOfSeveralPorts();
    void summaryTableAligns();
    void openFailure_data();
    void openFailure();
    void portNames_data();
    void portNames();
    void progressTexts_data();
    void progressTexts();
    void printableText();

private:
    QTranslator m_english;
};

void LogicTest::initTestCase()
{
    initCatalogue();
    QVERIFY(m_english.load(":/tran/en_tr.qm"));
    QCoreApplication::installTranslator(&m_english);
}

void LogicTest::listingValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value"); // "-" when absent, "?" when unreadable
    addRows({{"choice, as its wire value", "S101", "2"},
             {"S102 in the gap of its values", "S102", "?"},
             {"text", "S104", "77"},
             {"choice beyond its items", "S141", "?"},
             {"choice that is no number", "S110", "?"},
             {"free text", "S160", "dr58key"},
             {"identity", "I1", "DR58-H2.1"},
             {"identity missing", "I2", "-"},
             {"register missing", "S105", "?"}});
}

void LogicTest::listingValues()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    const auto values = RegisterValues::fromListing(Listing);
    QCOMPARE(values.contains(name) ? shown(values.value(name)) : QStringLiteral("-"), value);
    // Without its echo the reply is no listing: no register in it is read.
    QVERIFY(name.startsWith('I') || !RegisterValues::fromListing(Listing.mid(6)).value(name));
}

void LogicTest::singleAnswer_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("name");  // empty: no answer read
    QTest::addColumn<QString>("value"); // "?" when unreadable
    addRows({{"text", "ATS160?\r\nsecret\r\nOK\r\n", "S160", "secret"},
             {"S102 16", "ATS102?\r\n16\r\nOK\r\n", "S102", "16"},
             {"no value line", "ATS244?\r\nOK\r\n", "S244", "?"},
             {"value not followed by OK", "ATS160?\r\nkey\r\nERR OK\r\n", "S160", "?"},
             {"beyond the items", "ATS244?\r\n3\r\nOK\r\n", "S244", "?"},
             {"unknown register", "ATS150?\r\n12\r\nOK\r\n", "", ""},
             {"identity is never queried", "ATI1?\r\nx\r\nOK\r\n", "", ""},
             {"no echo", "ERROR\r\n", "", ""}});
}

void LogicTest::singleAnswer()
{
    QFETCH(QString, reply);
    QFETCH(QString, name);
    QFETCH(QString, value);
    const auto answer = RegisterValues::fromSingleAnswer(reply.toLatin1());
    QCOMPARE(answer.has_value(), !name.isEmpty());
    if (answer) {
        QCOMPARE(answer->name, name);
        QCOMPARE(shown(answer->value), value);
    }
}

void LogicTest::differences()
{
    QStringList problems;
    const auto profile = Profile::parse(
        "p.ini", "S160=newkey\nS105=0007\nS104=77\nS101=0\nS118=5\nS102=15\n", &problems);
    QVERIFY2(profile, qPrintable(problems.join('\n')));
    QMap<QString, QString> modem;
    const auto read = RegisterValues::fromListing(Listing);
    for (auto it = read.begin(); it != read.end(); ++it) {
        if (it.value())
            modem.insert(it.key(), *it.value());
    }
    modem.insert("S105", "7");
    QStringList found;
    for (const Difference &d : ProfileDiff::differences(*profile, modem))
        found << d.name() + ":" + d.current.value_or("none") + "->" + d.wanted;
    // In register order; an unreadable value differs, equal numbers written differently do not.
    QCOMPARE(found,
             QStringList({"S101:2->0", "S102:none->15", "S118:none->5", "S160:dr58key->newkey"}));
}

void LogicTest::describeDifference_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("current"); // "-" when not reported
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("text");
    addRows({{"choice", "S102", "7", "15",
              "S102 Serial Baud Rate: modem 7 (9600), profile 15 (460800)"},
             {"blank item", "S110", "1", "0",
              "S110 Serial Data Format: modem 1 (8N1), profile 0 (blank)"},
             {"no such item", "S141", "2", "1",
              "S141 Repeaters Y/N: modem 2 (no such item), profile 1 (YES)"},
             {"number", "S105", "2", "9", "S105 Unit Address: modem 2, profile 9"},
             {"free text", "S160", "-", "", "S160 Encryption Key: modem unreadable, profile \"\""},
             {"label without its trailing blank", "S143", "0", "1",
              "S143 Repeater Index Use GPIO: modem 0 (OFF), profile 1 (ON)"}});
}

void LogicTest::describeDifference()
{
    QFETCH(QString, name);
    QFETCH(QString, current);
    QFETCH(QString, wanted);
    QFETCH(QString, text);
    const Difference difference{RegisterCatalog::find(name), wanted,
                                current == "-" ? std::nullopt : std::optional<QString>(current)};
    QCOMPARE(ProfileDiff::describe(difference), text);
}

void LogicTest::exitCodeOfSeveralPorts_data()
{
    QTest::addColumn<QVector<int>>("codes");
    QTest::addColumn<int>("expected");
    QTest::newRow("all well") << QVector<int>{0, 0, 0} << 0;
    QTest::newRow("one differs") << QVector<int>{0, 1, 0} << 1;
    QTest::newRow("first failure in port order")
        << QVector<int>{0, ExitCode::NoAnswer, ExitCode::Refused} << ExitCode::NoAnswer;
    QTest::newRow("a failure outweighs a difference")
        << QVector<int>{1, ExitCode::PortMissing} << ExitCode::PortMissing;
}

void LogicTest::exitCodeOfSeveralPorts()
{
    QFETCH(QVector<int>, codes);
    QFETCH(int, expected);
    QVector<PortResult> results;
    for (int code : codes)
        results << port(QString("p%1").arg(results.size()), code);
    QCOMPARE(PortJobs::exitCode(results), expected);
}

void LogicTest::summaryTableAligns()
{
    const QString table = PortJobs::summaryTable(
        {port("/dev/ttyUSB0", 0, "applied", "3 written and read back, stored"),
         port("/dev/pts/12", ExitCode::Refused, "failed", "S108 Output Power: the modem refused")});
    QCOMPARE(table, QString("port          result   detail\n"
                            "/dev/ttyUSB0  applied  3 written and read back, stored\n"
                            "/dev/pts/12   failed   S108 Output Power: the modem refused\n"));
}

void LogicTest::openFailure_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<bool>("accessible");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("hint");
    QTest::newRow("missing") << QSerialPort::DeviceNotFoundError << false << ExitCode::PortMissing
                             << "no such serial port";
    QTest::newRow("no permission") << QSerialPort::PermissionError << false << ExitCode::PortDenied
                                   << "join the dialout group";
    QTest::newRow("held by another program")
        << QSerialPort::PermissionError << true << ExitCode::PortError << "in use";
    QTest::newRow("anything else")
        << QSerialPort::OpenError << true << ExitCode::PortError << "cannot open the port: detail";
}

void LogicTest::openFailure()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(bool, accessible);
    QFETCH(int, code);
    QFETCH(QString, hint);
    const PortOpener::Failure failure = PortOpener::classify(error, accessible, "detail");
    QCOMPARE(failure.code, code);
    QVERIFY2(failure.message.contains(hint), qPrintable(failure.message));
}

void LogicTest::portNames_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("device"); // one spelling for every name of the same device
    addRows({{"pseudo-terminal", "/dev/pts/3", "pts-3", "/dev/pts/3"},
             {"bare name", "ttyUSB0", "ttyUSB0", "/dev/ttyUSB0"},
             {"dotted path", "/dev/./ttyUSB0", ".-ttyUSB0", "/dev/ttyUSB0"},
             {"link elsewhere", "/tmp/dr58", "-tmp-dr58", "/tmp/dr58"}});
}

void LogicTest::portNames()
{
    QFETCH(QString, port);
    QFETCH(QString, file);
    QFETCH(QString, device);
    QCOMPARE(ConfigJobs::portFileName(port), file);
    QCOMPARE(PortOpener::canonicalPath(port), device);
}

void LogicTest::progressTexts_data()
{
    QTest::addColumn<bool>("bar"); // else the throughput after the upgrade
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("of"); // total bytes for the bar, milliseconds for the throughput
    QTest::addColumn<QString>("text");
    QTest::newRow("start") << true << 0 << 500 << "[----------]   0% 0/500 bytes";
    QTest::newRow("middle") << true << 241 << 500 << "[####------]  48% 241/500 bytes";
    QTest::newRow("end") << true << 500 << 500 << "[##########] 100% 500/500 bytes";
    QTest::newRow("empty image") << true << 0 << 0 << "[##########] 100% 0/0 bytes";
    QTest::newRow("seconds") << false << 4820 << 5200 << "4820 bytes in 5.2 s (926 bytes/s)";
    QTest::newRow("no time measured") << false << 0 << 0 << "0 bytes in 0.0 s (0 bytes/s)";
}

void LogicTest::progressTexts()
{
    QFETCH(bool, bar);
    QFETCH(int, bytes);
    QFETCH(int, of);
    QFETCH(QString, text);
    QCOMPARE(bar ? ProgressText::bar(bytes, of, 10) : ProgressText::throughput(bytes, of), text);
}

void LogicTest::printableText()
{
    QCOMPARE(Console::printable(QString::fromUtf8("a\x1b[2J\tb\n\xc2\x9b\xc3\xa9")),
             QString::fromUtf8("a\\x1b[2J\\x09b\\x0a\\x9b\xc3\xa9"));
}

QTEST_GUILESS_MAIN(LogicTest)
#include "tst_ctllogic.moc"
