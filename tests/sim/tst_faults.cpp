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
    void garbageNeverAcknowledges();
    void counting_data();
    void counting();
    void unansweredEndKeepsUpdateMode();
    void names();
};

namespace {

const QByteArray Greeting("\r\nWelcome To Use DR58\r\nOK\r\n");
const QByteArray Listing("AT&V\r\nS101 Mode=2\tS105 Address=17\r\nOK\r\n");
const QByteArray Ack = hex("0C000000000000123400080101 03E1");

} // namespace

void FaultsTest::shaping_data()
{
    using Bytes = QList<QByteArray>;
    using Gaps = QList<int>; // milliseconds before each piece
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<Bytes>("pieces");
    QTest::addColumn<Gaps>("gaps");
    QTest::addColumn<int>("divisor");
    const auto row = [](const char *name, SimFault fault, const QByteArray &reply,
                        const Bytes &pieces, const Gaps &gaps, int divisor = 1) {
        QTest::newRow(name) << fault << reply << pieces << gaps << divisor;
    };
    row("none", SimFault::None, Listing, {Listing}, {0});
    row("silent", SimFault::Silent, Listing, {}, {});
    row("babble: the stream replaces the reply", SimFault::Babble, Listing, {}, {});
    row("no greeting", SimFault::NoGreeting, Greeting, {"OK\r\n"}, {0});
    row("partial", SimFault::PartialThenSilent, Listing, {Listing.left(Listing.size() / 2)}, {0});
    row("partial greeting", SimFault::PartialThenSilent, Greeting, {"\r\nWelcome To "}, {0});
    row("partial short answer", SimFault::PartialThenSilent, "OK\r\n", {}, {});
    row("split", SimFault::SplitReply, "ATS160?\r\nkey\r\nOK\r\n",
        {"ATS160", "?\r\nkey", "\r\nOK\r\n"}, {0, 300, 300});
    row("very slow", SimFault::VerySlow, Listing, {Listing}, {0}, 10);
    row("drop bytes", SimFault::DropBytes, "0123456789ABCDEFGHIJ", {"012345789ABCEFGHIJ"}, {0});
    row("late", SimFault::LateReply, Listing, {Listing}, {2500});
    row("no acknowledgement", SimFault::UpdateNoAnswer, Ack, {}, {});
    row("bad CRC", SimFault::UpdateBadCrc, Ack, {hex("0C000000000000123400080101 031E")}, {0});
    row("flag error", SimFault::UpdateFlagError, Ack, {hex("0C000000000000123401080101 FFE0")},
        {0});
    row("split acknowledgement", SimFault::UpdateSplit, Ack,
        {hex("0C00000000000012"), hex("3400080101 03E1")}, {0, 50});
    row("late acknowledgement", SimFault::UpdateLate, Ack, {Ack}, {2500});
    row("trailing byte", SimFault::UpdateTrailingByte, Ack, {Ack + QByteArray(1, '\0')}, {0});
}

void FaultsTest::shaping()
{
    QFETCH(SimFault, fault);
    QFETCH(QByteArray, reply);
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QList<int>, gaps);
    QFETCH(int, divisor);
    QRandomGenerator random(1);
    const ReplyPlan plan = planReply({SimReply::Kind::Answer, reply, fault}, 2500, random);
    QList<QByteArray> gotPieces;
    QList<int> gotGaps;
    for (const ReplyPiece &piece : plan.pieces) {
        gotPieces << piece.bytes;
        gotGaps << piece.gapMs;
    }
    QCOMPARE(gotPieces, pieces);
    QCOMPARE(gotGaps, gaps);
    QCOMPARE(plan.rateDivisor, divisor);
    QCOMPARE(plan.babble, fault == SimFault::Babble);
}

void FaultsTest::garbageNeverAcknowledges()
{
    QRandomGenerator random(7);
    QSet<QByteArray> seen;
    for (int i = 0; i < 200; ++i) {
        const ReplyPlan plan =
            planReply({SimReply::Kind::Answer, Listing, SimFault::Garbage}, 0, random);
        QCOMPARE(plan.pieces.size(), 1);
        QVERIFY(!plan.pieces.at(0).bytes.contains("OK\r\n"));
        seen << plan.pieces.at(0).bytes;
    }
    QCOMPARE(seen.size(), 200);
}

void FaultsTest::counting_data()
{
    using Faults = QList<SimFault>;
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<int>("times");
    QTest::addColumn<QByteArray>("sent"); // after "+++", in AT mode
    QTest::addColumn<Faults>("expected"); // the fault each reply carried
    QTest::addColumn<SimFault>("left");   // the fault in force afterwards
    const auto row = [](const char *name, SimFault fault, int times, const QByteArray &sent,
                        const Faults &expected, SimFault left) {
        QTest::newRow(name) << fault << times << sent << expected << left;
    };
    const QByteArray three("ATS101?\rATS105?\rATS160?\r");
    const SimFault none = SimFault::None;
    row("until cleared", SimFault::Silent, -1, three,
        {SimFault::Silent, SimFault::Silent, SimFault::Silent}, SimFault::Silent);
    row("next two only", SimFault::LateReply, 2, three,
        {SimFault::LateReply, SimFault::LateReply, none}, none);
    row("zero times", SimFault::Silent, 0, three, {none, none, none}, none);
    row("greeting fault waits for the greeting", SimFault::NoGreeting, 1, "ATS101?\r++++++",
        {none, SimFault::NoGreeting, none}, none);
    row("update fault spares AT answers", SimFault::UpdateBadCrc, 1, "ATS101?\r", {none},
        SimFault::UpdateBadCrc);
    // The first request is swallowed in AT mode; only the second one switches to update mode.
    row("never announces, once", SimFault::UpdateNeverAnnounce, 1, "\rAT&UP\r\rAT&UP\r", {none},
        none);
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
    QCOMPARE(modem.update().requests(3), 2);
}

// The command line names faults in the order of the enumeration, in any letter case.
void FaultsTest::names()
{
    QCOMPARE(faultNames().size(), int(SimFault::UpdateDropChunk) + 1);
    QCOMPARE(faultFromName("none"), std::optional<SimFault>(SimFault::None));
    QCOMPARE(faultFromName("UPDATEDROPCHUNK"), std::optional<SimFault>(SimFault::UpdateDropChunk));
}

QTEST_APPLESS_MAIN(FaultsTest)
#include "tst_faults.moc"
