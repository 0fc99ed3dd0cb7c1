#include "atcommands.h"
#include "atlink.h"
#include "deviceconstants.h"
#include "replyparser.h"
#include "secretmask.h"
#include "transcript.h"

#include <QtTest>

// What a reader finds in a reply: "name=value" for a single answer, the value for the others,
// "none" when nothing is found.
QByteArray found(const QString &reader, const QByteArray &reply, const QByteArray &key)
{
    if (reader == "single") {
        const auto answer = ReplyParser::singleAnswer(reply);
        return answer ? QByteArray(answer->name + '=' + answer->value) : "none";
    }
    if (reader == "entries") {
        const auto entries = ReplyParser::listingEntries(reply);
        return entries.contains(key) ? entries.value(key).value_or("unreadable") : "none";
    }
    const auto value = reader == "listing"    ? ReplyParser::listingValue(reply, key)
                       : reader == "identity" ? ReplyParser::identityValue(reply, key)
                                              : ReplyParser::lineValue(reply, key);
    return value.value_or("none");
}

class ReplyParserTest : public QObject
{
    Q_OBJECT
private slots:
    void readers_data();
    void readers();
    void completeness_data();
    void completeness();
    void textStopsAtNul();
    void writeCommand_data();
    void writeCommand();
    void transcriptLine_data();
    void transcriptLine();
    void keyHidden_data();
    void keyHidden();
    void writeWaitEnds_data();
    void writeWaitEnds();
};

// A line whose output never leaves: each wait for it takes its whole time, or fails at once.
class StuckLine : public QIODevice
{
public:
    explicit StuckLine(bool failing) : m_failing(failing) { open(QIODevice::ReadWrite); }
    bool isSequential() const override { return true; }
    qint64 bytesToWrite() const override { return 1; }
    bool waitForBytesWritten(int msecs) override
    {
        ++waits;
        if (!m_failing)
            QThread::msleep(msecs);
        return false;
    }
    int waits = 0;

protected:
    qint64 readData(char *, qint64) override { return 0; }
    qint64 writeData(const char *, qint64 size) override { return size; }

private:
    bool m_failing;
};

void ReplyParserTest::readers_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *tag, const char *reader, const QByteArray &reply,
                        const char *key, const char *expected) {
        QTest::newRow(tag) << QString(reader) << reply << QByteArray(key) << QByteArray(expected);
    };
    row("ends at blank", "listing", "S101 mode x=2 rest\r\nOK\r\n", "S101", "2");
    row("ends at tab", "listing", "S105=7\tS108=9\r\n", "S105", "7");
    row("earliest terminator wins", "listing", "S104=12\r\n34 5\t6", "S104", "12");
    row("runs to the end", "listing", "S160=key", "S160", "key");
    row("first occurrence counts", "listing", "S113=1 S113=2", "S113", "1");
    row("equals of a later entry", "listing", "S114 label S118=9 ", "S114", "9");
    row("empty value", "listing", "S220= \r\n", "S220", "");
    row("missing name", "listing", "S101=1\r\nOK\r\n", "S102", "none");
    row("no equals after the name", "listing", "=1 S140 label\r\n", "S140", "none");
    const QByteArray identity("AT&V\r\nHardware Version HW 2.1\r\nSerial Number 0042\r\nOK\r\n");
    row("hardware", "identity", identity, "Hardware Version ", "HW 2.1");
    row("serial", "identity", identity, "Serial Number ", "0042");
    row("missing identity", "identity", identity, "Firmware Version ", "none");
    row("last line without end", "identity", "Software Version 1.0", "Software Version ", "1.0");
    // dr58ctl's strict readers: a name counts only where a line names it.
    const QByteArray serial("Serial Number SN-S104-0042\r\n\r\nS101 M=2\t");
    row("entry ends at a blank", "entries", "S101 Mode x=2 S102 Baud=7\r\n", "S101", "2");
    row("entry ends its line", "entries", "AT&V\r\nS160 Key=dr58key\r\nOK\r\n", "S160", "dr58key");
    row("blank before the line end", "entries", "S104 ID=77 \r\nOK\r\n", "S104", "77");
    row("name inside an identity line", "entries", serial + "S104 ID=77 \r\n", "S104", "77");
    row("name only inside other text", "entries", serial + "S105 A=1\r\n", "S104", "none");
    row("value with a blank", "entries", "S108 Power=ab cd\tS110 F=1\r\n", "S108", "unreadable");
    row("entry after a broken one", "entries", "S108 Power=ab cd\tS110 F=1\r\n", "S110", "none");
    row("name twice", "entries", "S113 R=1 S113 R=2\r\n", "S113", "unreadable");
    row("name in a label", "entries", "S114 label S118=9 \r\n", "S114", "unreadable");
    row("key at a line's start", "line", "Hardware Version Serial Number 7\r\nSerial Number 42\r\n",
        "Serial Number ", "42");
    row("key on two lines", "line", "Serial Number 1\r\nSerial Number 2\r\n", "Serial Number ",
        "none");
    row("text value", "single", "ATS160?\r\n5\r\nOK\r\n", "", "S160=5");
    row("leading noise", "single", "\r\nATS244?\r\n2\r\nOK\r\n", "", "S244=2");
    row("no value line", "single", "ATS143?\r\nOK\r\n", "", "S143=OK");
    row("no question mark", "single", "ATS104=5\r\nOK\r\n", "", "none");
    row("no echo", "single", "OK\r\n", "", "none");
}

void ReplyParserTest::readers()
{
    QFETCH(QString, reader);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QCOMPARE(found(reader, reply, key), expected);
}

void ReplyParserTest::completeness_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("complete"); // the window's rule: "OK\r\n" anywhere
    QTest::addColumn<bool>("ownLine");  // dr58ctl's rule: "OK\r\n" as a line of its own
    QTest::addColumn<bool>("listing");
    QTest::newRow("listing") << QByteArray("AT&V\r\nS101=1\r\nOK\r\n") << true << true << true;
    QTest::newRow("ok alone") << QByteArray("OK\r\n") << true << true << false;
    QTest::newRow("ok in the middle") << QByteArray("xOK\r\nyy") << true << false << false;
    QTest::newRow("value ending in ok")
        << QByteArray("ATS114?\r\nLOOK\r\n") << true << false << false;
    QTest::newRow("ok after a bare cr") << QByteArray("ATS114?\rOK\r\n") << true << false << false;
    QTest::newRow("ok without line feed") << QByteArray("AT&V\r\nOK\r") << false << false << true;
    QTest::newRow("error") << QByteArray("ATS105=70000\r\nERROR\r\n") << false << false << false;
}

// Both rules, on the whole reply and on the reply gathered in two pieces split anywhere.
void ReplyParserTest::completeness()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, complete);
    QFETCH(bool, ownLine);
    QFETCH(bool, listing);
    QCOMPARE(ReplyParser::isListing(reply), listing);
    using ReplyParser::Completion;
    for (const auto &[rule, expected] :
         {std::pair{Completion::Anywhere, complete}, std::pair{Completion::OwnLine, ownLine}}) {
        QCOMPARE(ReplyParser::isComplete(reply, rule), expected);
        for (int split = 0; split <= reply.size(); ++split) {
            if (!ReplyParser::isComplete(reply.left(split), rule))
                QCOMPARE(ReplyParser::isComplete(reply, rule, split), expected);
        }
    }
}

void ReplyParserTest::textStopsAtNul()
{
    QCOMPARE(ReplyParser::toText(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
    QCOMPARE(ReplyParser::toText(QByteArray("中继")), QStringLiteral("中继"));
}

void ReplyParserTest::writeCommand_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("command");
    QTest::newRow("S104") << QString("1234") << QString("ATS104=1234\r");
    QTest::newRow("S102") << QString("15") << QString("ATS102=15\r\n"); // the serial rate: CR LF
}

void ReplyParserTest::writeCommand()
{
    QFETCH(QString, value);
    QFETCH(QString, command);
    QCOMPARE(AtCommands::writeCommand(QTest::currentDataTag(), value), command);
}

void ReplyParserTest::transcriptLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("command") << QByteArray("\rAT&V\r") << "\\rAT&V\\r";
    QTest::newRow("line ends and tab") << QByteArray("OK\r\n\t") << "OK\\r\\n\\t";
    QTest::newRow("backslash doubled") << QByteArray("a\\b") << "a\\\\b";
    QTest::newRow("bytes outside ASCII") << QByteArray("\x00\x7f\xff ~", 5) << "\\x00\\x7f\\xff ~";
}

void ReplyParserTest::transcriptLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    const QDateTime time(QDate(2026, 12, 7), QTime(8, 15, 2, 114), Qt::UTC);
    QCOMPARE(Transcript::line(time, "/dev/ttyUSB0", ModemLine::Direction::Received, bytes),
             "2026-12-07T08:15:02.114Z /dev/ttyUSB0 < " + shown + "\n");
    QVERIFY(Transcript::line(time, "p", ModemLine::Direction::Sent, "x").endsWith(" p > x\n"));
}

void ReplyParserTest::keyHidden_data()
{
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("write") << true << QByteArray("\rATS160=k\xe9y 1\rATS160?\rATS1601=2\r")
                           << QByteArray("\rATS160=*****\rATS160?\rATS1601=2\r");
    QTest::newRow("listing") << false << QByteArray("S159 E=1\r\nS160 Encryption key=k=y\tS1=2\r\n")
                             << QByteArray("S159 E=1\r\nS160 Encryption key=***\tS1=2\r\n");
    QTest::newRow("query, lower case")
        << false << QByteArray("ats160?\r\nkey\r\nOK\r\nATS105?\r\n2\r\nOK\r\n")
        << QByteArray("ats160?\r\n***\r\nOK\r\nATS105?\r\n2\r\nOK\r\n");
}

// Hidden alike however the stream is cut into bursts.
void ReplyParserTest::keyHidden()
{
    QFETCH(bool, sent);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, shown);
    const auto direction = sent ? ModemLine::Direction::Sent : ModemLine::Direction::Received;
    for (int split = 0; split <= bytes.size(); ++split) {
        SecretMask mask(direction);
        const QByteArray first = mask.masked(bytes.left(split));
        QCOMPARE(first + mask.masked(bytes.mid(split)), shown);
    }
}

void ReplyParserTest::writeWaitEnds_data()
{
    QTest::addColumn<bool>("failing");
    QTest::addColumn<int>("waits");
    QTest::newRow("stopped while the line is stuck") << false << 3;
    QTest::newRow("a failing line, asked once") << true << 1;
}

// A stop ends the wait for a command to leave, in slices; a line that fails is not asked again.
void ReplyParserTest::writeWaitEnds()
{
    QFETCH(bool, failing);
    QFETCH(int, waits);
    StuckLine line(failing);
    const auto stop = [&line] { return line.waits == 3; };
    QVERIFY(!AtLink::waitWritten(line, DeviceConstants::WriteTimeout, stop));
    QCOMPARE(line.waits, waits);
}

QTEST_APPLESS_MAIN(ReplyParserTest)
#include "tst_replyparser.moc"
