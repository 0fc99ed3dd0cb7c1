#include "modemcore.h"

#include <QtTest>

// The text side of the modem: data mode, the escape, and each AT command's answer.
class AtDialogueTest : public QObject
{
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
    void escape_data();
    void escape();
    void leavingAndReentering();
    void updateCommandSwitchesMode();
};

namespace {

const QByteArray Greeting("\r\nWelcome To Use DR58\r\nOK\r\n");
using Bursts = QVector<QPair<int, QByteArray>>; // (milliseconds since start, bytes)

QByteArray joined(const QVector<SimReply> &replies)
{
    QByteArray all;
    for (const SimReply &reply : replies)
        all += reply.bytes;
    return all;
}

} // namespace

void AtDialogueTest::commands_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("escape again") << QByteArray("+++") << Greeting;
    QTest::newRow("query key") << QByteArray("ATS160?\r")
                               << QByteArray("ATS160?\r\ndr58key\r\nOK\r\n");
    QTest::newRow("query hidden register")
        << QByteArray("ATS236?\r") << QByteArray("ATS236?\r\n300\r\nOK\r\n");
    QTest::newRow("query unknown") << QByteArray("ATS999?\r") << QByteArray("ATS999?\r\nERROR\r\n");
    QTest::newRow("write") << QByteArray("ATS104=99\r") << QByteArray("ATS104=99\r\nOK\r\n");
    QTest::newRow("write refused")
        << QByteArray("ATS105=70000\r") << QByteArray("ATS105=70000\r\nERROR\r\n");
    QTest::newRow("serial rate ends in CR LF")
        << QByteArray("ATS102=15\r\n") << QByteArray("ATS102=15\r\nOK\r\n");
    QTest::newRow("empty lines around")
        << QByteArray("\r\rAT&W\r\n\r") << QByteArray("AT&W\r\nOK\r\n");
    QTest::newRow("two commands in one burst")
        << QByteArray("ATS141=1\rATS141?\r")
        << QByteArray("ATS141=1\r\nOK\r\nATS141?\r\n1\r\nOK\r\n");
    QTest::newRow("bare AT") << QByteArray("AT\r") << QByteArray("AT\r\nOK\r\n");
    QTest::newRow("unknown command") << QByteArray("ATZ\r") << QByteArray("ATZ\r\nERROR\r\n");
    QTest::newRow("lower case") << QByteArray("at&v\r") << QByteArray("at&v\r\nERROR\r\n");
    QTest::newRow("unfinished command") << QByteArray("ATS160?") << QByteArray();
    QTest::newRow("overlong command")
        << QByteArray("ATS104=" + QByteArray(600, '1') + '\r') << QByteArray("?\r\nERROR\r\n");
    QTest::newRow("update") << QByteArray("\rAT&UP\r") << QByteArray("UPDATE\r\n");
}

void AtDialogueTest::commands()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, expected);
    ModemCore modem;
    QCOMPARE(joined(modem.receive("+++", 0)), Greeting);
    QCOMPARE(joined(modem.receive(sent, 1000)), expected);
}

void AtDialogueTest::escape_data()
{
    // Bursts as (milliseconds since start, bytes).
    QTest::addColumn<Bursts>("bursts");
    QTest::addColumn<bool>("answered");
    QTest::newRow("alone") << Bursts{{0, "+++"}} << true;
    QTest::newRow("in pieces") << Bursts{{0, "++"}, {5, "+"}} << true;
    QTest::newRow("after a quiet spell") << Bursts{{0, "payload"}, {1000, "+++"}} << true;
    QTest::newRow("right behind data") << Bursts{{0, "payload"}, {10, "+++"}} << false;
    QTest::newRow("inside data") << Bursts{{0, "ab+++cd"}} << false;
    QTest::newRow("commands are data") << Bursts{{0, "\rAT&V\r"}, {1000, "ATS104?\r"}} << false;
    QTest::newRow("two pluses") << Bursts{{0, "++"}, {1000, "+"}} << false;
}

void AtDialogueTest::escape()
{
    QFETCH(Bursts, bursts);
    QFETCH(bool, answered);
    ModemCore modem;
    QByteArray replies;
    for (const auto &burst : bursts)
        replies += joined(modem.receive(burst.second, burst.first));
    QCOMPARE(replies, answered ? Greeting : QByteArray());
    QCOMPARE(modem.mode(), answered ? ModemCore::Mode::Command : ModemCore::Mode::Data);
}

void AtDialogueTest::leavingAndReentering()
{
    ModemCore modem;
    modem.receive("+++", 0);
    QCOMPARE(joined(modem.receive("\rATA\r", 100)), QByteArray("ATA\r\nOK\r\n"));
    QCOMPARE(modem.mode(), ModemCore::Mode::Data);
    QVERIFY(modem.receive("ATS104?\r", 200).isEmpty());
    QCOMPARE(joined(modem.receive("+++", 1000)), Greeting);
    QCOMPARE(modem.mode(), ModemCore::Mode::Command);
}

void AtDialogueTest::updateCommandSwitchesMode()
{
    ModemCore modem;
    modem.receive("+++", 0);
    const QVector<SimReply> replies = modem.receive("\rAT&UP\r", 100);
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.at(0).kind, SimReply::Kind::Announcement);
    QCOMPARE(modem.mode(), ModemCore::Mode::Update);
    QVERIFY(modem.receive("+++\rATA\r", 3000).isEmpty()); // text is no frame
}

QTEST_APPLESS_MAIN(AtDialogueTest)
#include "tst_atdialogue.moc"
