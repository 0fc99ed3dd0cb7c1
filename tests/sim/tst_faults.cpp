#include "faultstate.h"
#include "modemcore.h"
#include "replyplan.h"
#include "simtestsupport.h"

#include <QRandomGenerator>
#include <QtTest>

using SimTest::hex;

Q_DECLARE_METATYPE(SimFault)

// How each fault changes what the modem sends, and for how many replies.
class FaultsTest : public QObject
{
    Q_OBJECT
private slots:
    void shaping_data();
    void shaping();
    void counting_data();
    void counting();
    void unansweredEndKeepsUpdateMode();
};

namespace {

const QByteArray Listing("AT&V\r\nS101 Mode=2\tS105 Address=17\r\nOK\r\n");
const QByteArray Ack = hex("0C000000000000123400080101 03E1");

} // namespace

// Each piece as "gap>bytes|", the gap in milliseconds; a slowed line adds "/divisor".
void FaultsTest::shaping_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("shape");
    const auto row = [](const char *name, SimFault fault, const QByteArray &reply,
                        const QByteArray &shape) {
        QTest::newRow(name) << fault << reply << shape;
    };
    row("babble: the stream replaces the reply", SimFault::Babble, Listing, "babble");
    row("no greeting", SimFault::NoGreeting, "\r\nWelcome To Use DR58\r\nOK\r\n", "0>OK\r\n|");
    row("partial", SimFault::PartialThenSilent, Listing, "0>" + Listing.left(19) + '|');
    row("partial short answer", SimFault::PartialThenSilent, "OK\r\n", "");
    row("split", SimFault::SplitReply, "ATS160?\r\nkey\r\nOK\r\n",
        "0>ATS160|300>?\r\nkey|300>\r\nOK\r\n|");
    row("very slow", SimFault::VerySlow, Listing, "0>" + Listing + "|/10");
    row("drop bytes", SimFault::DropBytes, "0123456789ABCDEFGHIJ", "0>012345789ABCEFGHIJ|");
    row("late", SimFault::LateReply, Listing, "2500>" + Listing + '|');
    row("query error", SimFault::QueryError, "ATS160?\r\nkey\r\nOK\r\n", "0>ATS160?\r\nERROR\r\n|");
    row("chatter answers nothing", SimFault::Chatter, Listing, "");
    row("bad CRC", SimFault::UpdateBadCrc, Ack,
        "0>" + hex("0C000000000000123400080101 031E") + '|');
    row("flag error", SimFault::UpdateFlagError, Ack,
        "0>" + hex("0C000000000000123401080101 FFE0") + '|');
    row("split acknowledgement", SimFault::UpdateSplit, Ack,
        "0>" + Ack.left(8) + "|50>" + Ack.mid(8) + '|');
    row("trailing byte", SimFault::UpdateTrailingByte, Ack, "0>" + Ack + QByteArray(1, '\0') + '|');
}

void FaultsTest::shaping()
{
    QFETCH(SimFault, fault);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, shape);
    QRandomGenerator random(1);
    const ReplyPlan plan = planReply({SimReply::Kind::Answer, reply, fault}, 2500, random);
    QByteArray got = plan.babble ? "babble" : "";
    for (const ReplyPiece &piece : plan.pieces)
        got += QByteArray::number(piece.gapMs) + '>' + piece.bytes + '|';
    if (plan.rateDivisor != 1)
        got += '/' + QByteArray::number(plan.rateDivisor);
    QCOMPARE(got, shape);
}

void FaultsTest::counting_data()
{
    using Faults = QList<SimFault>;
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<int>("times");
    QTest::addColumn<QByteArray>("sent"); // after "+++", in AT mode
    QTest::addColumn<Faults>("expected"); // the fault each reply carried
    QTest::addColumn<SimFault>("left");   // the fault in force afterwards
    const QByteArray three("ATS101?\rATS105?\rATS160?\r");
    const SimFault none = SimFault::None, late = SimFault::LateReply;
    QTest::newRow("next two only") << late << 2 << three << Faults{late, late, none} << none;
    QTest::newRow("greeting fault waits for the greeting")
        << SimFault::NoGreeting << 1 << QByteArray("ATS101?\r++++++")
        << Faults{none, SimFault::NoGreeting, none} << none;
    QTest::newRow("query fault spares other answers")
        << SimFault::QueryError << 1 << QByteArray("AT&W\rATS101?\r")
        << Faults{none, SimFault::QueryError} << none;
    QTest::newRow("update fault spares AT answers")
        << SimFault::UpdateBadCrc << 1 << QByteArray("ATS101?\r") << Faults{none}
        << SimFault::UpdateBadCrc;
    // The first request is swallowed in AT mode; only the second one switches to update mode.
    QTest::newRow("never announces, once")
        << SimFault::UpdateNeverAnnounce << 1 << QByteArray("\rAT&UP\r\rAT&UP\r") << Faults{none}
        << none;
}

void FaultsTest::counting()
{
    QFETCH(SimFault, fault);
    QFETCH(int, times);
    QFETCH(QByteArray, sent);
    QFETCH(QList<SimFault>, expected);
    QFETCH(SimFault, left);
    ModemCore modem;
    modem.receive("+++", 0);
    modem.setFault(fault, times);
    QList<SimFault> got;
    for (const SimReply &reply : modem.receive(sent, 1000))
        got << reply.fault;
    QCOMPARE(got, expected);
    QCOMPARE(modem.fault(), left);
}

void FaultsTest::unansweredEndKeepsUpdateMode()
{
    ModemCore modem;
    modem.receive("+++", 0);
    QCOMPARE(modem.receive("\rAT&UP\r", 100).at(0).bytes, QByteArray("UPDATE\r\n"));
    QCOMPARE(modem.receive(SimTest::request(1), 200).size(), 1);
    modem.setFault(SimFault::UpdateNoAnswer, 1);
    QVERIFY(modem.receive(SimTest::request(3), 300).isEmpty());
    QCOMPARE(modem.mode(), ModemCore::Mode::Update);
    QCOMPARE(modem.receive(SimTest::request(3), 400).size(), 1); // the re-sent end is answered
    QCOMPARE(modem.mode(), ModemCore::Mode::Data);
}

QTEST_APPLESS_MAIN(FaultsTest)
#include "tst_faults.moc"
