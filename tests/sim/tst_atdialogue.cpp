#include "modemcore.h"

#include <QtTest>

using Bursts = QVector<QPair<int, QByteArray>>; // (milliseconds since start, bytes)

// The text side of the modem: data mode, the escape, and each AT command's answer.
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
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("query hidden register")
        << QByteArray("ATS236?\r") << QByteArray("ATS236?\r\n300\r\nOK\r\n");
    QTest::newRow("query unknown") << QByteArray("ATS999?\r") << QByteArray("ATS999?\r\nERROR\r\n");
    QTest::newRow("empty lines around")
        << QByteArray("\r\rAT&W\r\n\r") << QByteArray("AT&W\r\nOK\r\n");
    QTest::newRow("two commands in one burst")
        << QByteArray("ATS141=1\rATS141?\r")
        << QByteArray("ATS141=1\r\nOK\r\nATS141?\r\n1\r\nOK\r\n");
    QTest::newRow("unknown command") << QByteArray("ATZ\r") << QByteArray("ATZ\r\nERROR\r\n");
    QTest::newRow("lower case") << QByteArray("at&v\r") << QByteArray("at&v\r\nERROR\r\n");
    QTest::newRow("unfinished command") << QByteArray("ATS160?") << QByteArray();
    QTest::newRow("overlong command")
        << QByteArray("ATS104=" + QByteArray(600, '1') + '\r') << QByteArray("?\r\nERROR\r\n");
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
    QTest::newRow("alone") << Bursts{{0, "+++"}} << Greeting;
    QTest::newRow("in pieces") << Bursts{{0, "++"}, {5, "+"}} << Greeting;
    QTest::newRow("after a quiet spell") << Bursts{{0, "payload"}, {1000, "+++"}} << Greeting;
    QTest::newRow("right behind data") << Bursts{{0, "payload"}, {10, "+++"}} << QByteArray();
    QTest::newRow("inside data") << Bursts{{0, "ab+++cd"}} << QByteArray();
    QTest::newRow("commands are data")
        << Bursts{{0, "\rAT&V\r"}, {1000, "ATS104?\r"}} << QByteArray();
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
