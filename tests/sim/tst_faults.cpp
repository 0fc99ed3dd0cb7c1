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
    void babbleNeverAcknowledges();
    void counting_data();
    void counting();
    void neverAnnounceKeepsAtMode();
    void unansweredEndKeepsUpdateMode();
    void namesRoundTrip();
};

namespace {

const QByteArray Greeting("\r\nWelcome To Use DR58\r\nOK\r\n");
const QByteArray Listing("AT&V\r\nS101 Mode=2\tS105 Address=17\r\nOK\r\n");

} // namespace

void FaultsTest::shaping_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QList<int>>("gaps");
    QTest::addColumn<int>("divisor");
    using Bytes = QList<QByteArray>;
    using Gaps = QList<int>;
    const QByteArray ack = hex("0C000000000000123400080101"
                               "03E1");
    QTest::newRow("none") << SimFault::None << Listing << Bytes{Listing} << Gaps{0} << 1;
    QTest::newRow("silent") << SimFault::Silent << Listing << Bytes{} << Gaps{} << 1;
    QTest::newRow("no greeting") << SimFault::NoGreeting << Greeting << Bytes{"OK\r\n"} << Gaps{0}
                                 << 1;
    QTest::newRow("partial") << SimFault::PartialThenSilent << Listing
                             << Bytes{Listing.left(Listing.size() / 2)} << Gaps{0} << 1;
    QTest::newRow("partial greeting")
        << SimFault::PartialThenSilent << Greeting << Bytes{"\r\nWelcome To "} << Gaps{0} << 1;
    QTest::newRow("partial short answer")
        << SimFault::PartialThenSilent << QByteArray("OK\r\n") << Bytes{} << Gaps{} << 1;
    QTest::newRow("split") << SimFault::SplitReply << QByteArray("ATS160?\r\nkey\r\nOK\r\n")
                           << Bytes{"ATS160", "?\r\nkey", "\r\nOK\r\n"} << Gaps{0, 300, 300} << 1;
    QTest::newRow("very slow") << SimFault::VerySlow << Listing << Bytes{Listing} << Gaps{0} << 10;
    QTest::newRow("drop bytes") << SimFault::DropBytes << QByteArray("0123456789ABCDEFGHIJ")
                                << Bytes{"012345789ABCEFGHIJ"} << Gaps{0} << 1;
    QTest::newRow("late") << SimFault::LateReply << Listing << Bytes{Listing} << Gaps{2500} << 1;
    QTest::newRow("no acknowledgement")
        << SimFault::UpdateNoAnswer << ack << Bytes{} << Gaps{} << 1;
    QTest::newRow("bad CRC") << SimFault::UpdateBadCrc << ack
                             << Bytes{hex("0C000000000000123400080101"
                                          "031E")}
                             << Gaps{0} << 1;
    QTest::newRow("flag error") << SimFault::UpdateFlagError << ack
                                << Bytes{hex("0C000000000000123401080101"
                                             "FFE0")}
                                << Gaps{0} << 1;
    QTest::newRow("split acknowledgement") << SimFault::UpdateSplit << ack
                                           << Bytes{hex("0C00000000000012"), hex("3400080101"
                                                                                 "03E1")}
                                           << Gaps{0, 50} << 1;
    QTest::newRow("late acknowledgement")
        << SimFault::UpdateLate << ack << Bytes{ack} << Gaps{2500} << 1;
    QTest::newRow("trailing byte")
        << SimFault::UpdateTrailingByte << ack << Bytes{ack + QByteArray(1, '\0')} << Gaps{0} << 1;
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
    QVERIFY(!plan.babble);
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

void FaultsTest::babbleNeverAcknowledges()
{
    QRandomGenerator random(7);
    const ReplyPlan plan =
        planReply({SimReply::Kind::Answer, Listing, SimFault::Babble}, 0, random);
    QVERIFY(plan.babble);
    QVERIFY(plan.pieces.isEmpty());
    QByteArray stream;
    for (int i = 0; i < 2000; ++i)
        stream += babbleLine(i);
    QVERIFY(!stream.contains("OK\r\n"));
    QVERIFY(!stream.contains("Welcome To Use DR58"));
}

void FaultsTest::counting_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<int>("times");
    QTest::addColumn<QByteArray>("sent"); // after "+++", in AT mode
    QTest::addColumn<QList<SimFault>>("expected");
    QTest::addColumn<SimFault>("left"); // the fault in force afterwards
    using Faults = QList<SimFault>;
    const QByteArray threeQueries("ATS101?\rATS105?\rATS160?\r");
    QTest::newRow("until cleared")
        << SimFault::Silent << -1 << threeQueries
        << Faults{SimFault::Silent, SimFault::Silent, SimFault::Silent} << SimFault::Silent;
    QTest::newRow("next two only")
        << SimFault::LateReply << 2 << threeQueries
        << Faults{SimFault::LateReply, SimFault::LateReply, SimFault::None} << SimFault::None;
    QTest::newRow("zero times") << SimFault::Silent << 0 << threeQueries
                                << Faults{SimFault::None, SimFault::None, SimFault::None}
                                << SimFault::None;
    QTest::newRow("greeting fault waits for the greeting")
        << SimFault::NoGreeting << 1 << QByteArray("ATS101?\r++++++")
        << Faults{SimFault::None, SimFault::NoGreeting, SimFault::None} << SimFault::None;
    QTest::newRow("update fault spares AT answers")
        << SimFault::UpdateBadCrc << 1 << QByteArray("ATS101?\r") << Faults{SimFault::None}
        << SimFault::UpdateBadCrc;
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

void FaultsTest::neverAnnounceKeepsAtMode()
{
    ModemCore modem;
    modem.receive("+++", 0);
    modem.setFault(SimFault::UpdateNeverAnnounce, 1);
    QVERIFY(modem.receive("\rAT&UP\r", 100).isEmpty());
    QCOMPARE(modem.mode(), ModemCore::Mode::Command);
    QCOMPARE(modem.receive("\rAT&UP\r", 200).at(0).bytes, QByteArray("UPDATE\r\n"));
    QCOMPARE(modem.mode(), ModemCore::Mode::Update);
}

void FaultsTest::unansweredEndKeepsUpdateMode()
{
    ModemCore modem;
    modem.receive("+++", 0);
    modem.receive("\rAT&UP\r", 100);
    QCOMPARE(modem.receive(SimTest::request(1), 200).size(), 1);
    modem.setFault(SimFault::UpdateNoAnswer, 1);
    QVERIFY(modem.receive(SimTest::request(3), 300).isEmpty());
    QCOMPARE(modem.mode(), ModemCore::Mode::Update);
    QCOMPARE(modem.receive(SimTest::request(3), 400).size(), 1); // the re-sent end is answered
    QCOMPARE(modem.mode(), ModemCore::Mode::Data);
    QCOMPARE(modem.update().requests(3), 2);
}

void FaultsTest::namesRoundTrip()
{
    const QStringList names = faultNames();
    QCOMPARE(names.size(), int(SimFault::UpdateNeverAnnounce) + 1);
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(faultFromName(names.at(i)), std::optional<SimFault>(SimFault(i)));
        QCOMPARE(faultFromName(names.at(i).toLower()), std::optional<SimFault>(SimFault(i)));
    }
    QVERIFY(!faultFromName("NoSuchFault"));
}

QTEST_APPLESS_MAIN(FaultsTest)
#include "tst_faults.moc"
