#include "atcommands.h"
#include "replyparser.h"

#include <QtTest>

class ReplyParserTest : public QObject
{
    Q_OBJECT
private slots:
    void listingValue_data();
    void listingValue();
    void identityValue_data();
    void identityValue();
    void singleAnswer_data();
    void singleAnswer();
    void completeness_data();
    void completeness();
    void number_data();
    void number();
    void textStopsAtNul();
    void writeCommand_data();
    void writeCommand();
};

void ReplyParserTest::listingValue_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("ends at blank") << QByteArray("S101 mode x=2 rest\r\nOK\r\n")
                                   << QByteArray("S101") << true << QByteArray("2");
    QTest::newRow("ends at tab") << QByteArray("S105=7\tS108=9\r\n") << QByteArray("S105") << true
                                 << QByteArray("7");
    QTest::newRow("ends at line end")
        << QByteArray("S108 power=27\r\nS110=1") << QByteArray("S108") << true << QByteArray("27");
    QTest::newRow("earliest terminator wins")
        << QByteArray("S104=12\r\n34 5\t6") << QByteArray("S104") << true << QByteArray("12");
    QTest::newRow("runs to the end")
        << QByteArray("S160=key") << QByteArray("S160") << true << QByteArray("key");
    QTest::newRow("first occurrence counts")
        << QByteArray("S113=1 S113=2") << QByteArray("S113") << true << QByteArray("1");
    QTest::newRow("equals of a later entry")
        << QByteArray("S114 label S118=9 ") << QByteArray("S114") << true << QByteArray("9");
    QTest::newRow("empty value") << QByteArray("S220= \r\n") << QByteArray("S220") << true
                                 << QByteArray("");
    QTest::newRow("missing name") << QByteArray("S101=1\r\nOK\r\n") << QByteArray("S102") << false
                                  << QByteArray();
    QTest::newRow("no equals after the name")
        << QByteArray("=1 S140 label\r\n") << QByteArray("S140") << false << QByteArray();
}

void ReplyParserTest::listingValue()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, name);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);
    const auto result = ReplyParser::listingValue(reply, name);
    QCOMPARE(result.has_value(), found);
    if (found)
        QCOMPARE(*result, value);
}

void ReplyParserTest::identityValue_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");
    const QByteArray listing("AT&V\r\nHardware Version HW 2.1\r\nSerial Number 0042\r\nOK\r\n");
    QTest::newRow("hardware") << listing << QByteArray("Hardware Version ") << true
                              << QByteArray("HW 2.1");
    QTest::newRow("serial") << listing << QByteArray("Serial Number ") << true
                            << QByteArray("0042");
    QTest::newRow("missing") << listing << QByteArray("Firmware Version ") << false << QByteArray();
    QTest::newRow("last line without end")
        << QByteArray("Software Version 1.0") << QByteArray("Software Version ") << true
        << QByteArray("1.0");
}

void ReplyParserTest::identityValue()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);
    const auto result = ReplyParser::identityValue(reply, key);
    QCOMPARE(result.has_value(), found);
    if (found)
        QCOMPARE(*result, value);
}

void ReplyParserTest::singleAnswer_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("text value") << QByteArray("ATS160?\r\n5\r\nOK\r\n") << true
                                << QByteArray("S160") << QByteArray("5");
    QTest::newRow("leading noise") << QByteArray("\r\nATS244?\r\n2\r\nOK\r\n") << true
                                   << QByteArray("S244") << QByteArray("2");
    QTest::newRow("no value line")
        << QByteArray("ATS143?\r\nOK\r\n") << true << QByteArray("S143") << QByteArray("OK");
    QTest::newRow("no question mark")
        << QByteArray("ATS104=5\r\nOK\r\n") << false << QByteArray() << QByteArray();
    QTest::newRow("no echo") << QByteArray("OK\r\n") << false << QByteArray() << QByteArray();
}

void ReplyParserTest::singleAnswer()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, found);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, value);
    const auto answer = ReplyParser::singleAnswer(reply);
    QCOMPARE(answer.has_value(), found);
    if (found) {
        QCOMPARE(answer->name, name);
        QCOMPARE(answer->value, value);
    }
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
    QTest::newRow("ok without line end") << QByteArray("AT&V\r\nOK") << false << false << true;
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

void ReplyParserTest::number_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("digits") << QByteArray("15") << 15;
    QTest::newRow("negative") << QByteArray("-1") << -1;
    QTest::newRow("not a number") << QByteArray("OK") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
}

void ReplyParserTest::number()
{
    QFETCH(QByteArray, value);
    QFETCH(int, number);
    QCOMPARE(ReplyParser::toNumber(value), number);
}

void ReplyParserTest::textStopsAtNul()
{
    QCOMPARE(ReplyParser::toText(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
    QCOMPARE(ReplyParser::toText(QByteArray("中继")), QStringLiteral("中继"));
}

void ReplyParserTest::writeCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("command");
    QTest::newRow("text") << "S104"
                          << "1234"
                          << "ATS104=1234\r";
    QTest::newRow("empty text") << "S114"
                                << ""
                                << "ATS114=\r";
    QTest::newRow("blank choice") << "S133"
                                  << "-1"
                                  << "ATS133=-1\r";
    QTest::newRow("serial rate ends in crlf") << "S102"
                                              << "15"
                                              << "ATS102=15\r\n";
}

void ReplyParserTest::writeCommand()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, command);
    QCOMPARE(AtCommands::writeCommand(name, value), command);
}

QTEST_APPLESS_MAIN(ReplyParserTest)
#include "tst_replyparser.moc"
