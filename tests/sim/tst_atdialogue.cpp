#include "modemcore.h"

#include <QtTest>

using Bursts = QVector<QPair<int, QByteArray>>; // (milliseconds since start, bytes)

// The text side of the modem: data mode, the escape, each AT command's answer and the
// register bank's range checks and presets behind them.
class AtDialogueTest : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void escape_data();
    void escape();
};

namespace {

const QByteArray Greeting("\r\nWelcome To Use DR58\r\nOK\r\n");

QByteArray answers(ModemCore &modem, const Bursts &bursts)
{
    QByteArray all;
    for (const auto &burst : bursts) {
        for (const SimReply &reply : modem.receive(burst.second, burst.first))
            all += reply.bytes;
    }
    return all;
}

} // namespace

void AtDialogueTest::commands_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("expected"); // after the echo of each command
    const auto row = [](const char *sent, const char *expected) {
        QTest::newRow(sent) << QByteArray(sent) << QByteArray(expected);
    };
    row("ATS236?\r", "ATS236?\r\n300\r\nOK\r\n");
    row("ATS999?\r", "ATS999?\r\nERROR\r\n");
    row("\r\rAT&W\r\n\r", "AT&W\r\nOK\r\n");
    row("at&v\r", "at&v\r\nERROR\r\n");
    row("ATS160?", "");
    row("ATS114=254\rATS114=0\rATS114=255\rATS114?\r",
        "ATS114=254\r\nOK\r\nATS114=0\r\nERROR\r\nATS114=255\r\nERROR\r\nATS114?\r\n254\r\nOK\r\n");
    row("ATS104=4294967295\rATS104=4294967296\rATS104=1.5\r",
        "ATS104=4294967295\r\nOK\r\nATS104=4294967296\r\nERROR\r\nATS104=1.5\r\nERROR\r\n");
    row("ATS102=16\rATS102=10\rATS102=14\r",
        "ATS102=16\r\nOK\r\nATS102=10\r\nERROR\r\nATS102=14\r\nERROR\r\n");
    row("ATS160=0123456789abcdefg\rATS160=my key\r",
        "ATS160=0123456789abcdefg\r\nERROR\r\nATS160=my key\r\nERROR\r\n");
    row("ATS133=1\rAT&F9\rATS133?\rAT&F6\rAT&F07\r",
        "ATS133=1\r\nOK\r\nAT&F9\r\nOK\r\nATS133?\r\n0\r\nOK\r\nAT&F6\r\nERROR\r\nAT&"
        "F07\r\nERROR\r\n");
    QTest::newRow("overlong") << QByteArray("ATS104=" + QByteArray(600, '1') + '\r')
                              << QByteArray("?\r\nERROR\r\n");
}

void AtDialogueTest::commands()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, expected);
    ModemCore modem;
    QCOMPARE(answers(modem, {{0, "+++"}, {1000, sent}}), Greeting + expected);
}

void AtDialogueTest::escape_data()
{
    QTest::addColumn<Bursts>("bursts");
    QTest::addColumn<QByteArray>("expected"); // ending in the greeting: left in AT mode
    QTest::newRow("in pieces") << Bursts{{0, "++"}, {5, "+"}} << Greeting;
    QTest::newRow("after a quiet spell") << Bursts{{0, "payload"}, {1000, "+++"}} << Greeting;
    QTest::newRow("right behind data") << Bursts{{0, "payload"}, {10, "+++"}} << QByteArray();
    QTest::newRow("inside data") << Bursts{{0, "ab+++cd"}} << QByteArray();
    QTest::newRow("commands are data") << Bursts{{0, "\rATS104?\r"}} << QByteArray();
    QTest::newRow("two pluses") << Bursts{{0, "++"}, {1000, "+"}} << QByteArray();
    QTest::newRow("left with ATA, entered again")
        << Bursts{{0, "+++"}, {100, "\rATA\r"}, {200, "ATS104?\r"}, {1000, "+++"}}
        << Greeting + "ATA\r\nOK\r\n" + Greeting;
}

void AtDialogueTest::escape()
{
    QFETCH(Bursts, bursts);
    QFETCH(QByteArray, expected);
    ModemCore modem;
    QCOMPARE(answers(modem, bursts), expected);
    QCOMPARE(modem.mode(),
             expected.endsWith(Greeting) ? ModemCore::Mode::Command : ModemCore::Mode::Data);
}

QTEST_APPLESS_MAIN(AtDialogueTest)
#include "tst_atdialogue.moc"
