#include "outputqueue.h"

#include <QtTest>

using namespace std::chrono;
using Clock = OutputQueue::Clock;

// The pacing schedule: no byte leaves before its time on the line, pieces keep their gaps.
class OutputQueueTest : public QObject
{
    Q_OBJECT
private slots:
    void neverEarlyNeverLate_data();
    void neverEarlyNeverLate();
    void gapFollowsThePreviousPiece();
};

namespace {

const Clock::time_point T0 = Clock::time_point() + hours(1);

ReplyPlan plan(QVector<ReplyPiece> pieces, int divisor = 1)
{
    ReplyPlan result;
    result.pieces = std::move(pieces);
    result.rateDivisor = divisor;
    return result;
}

} // namespace

void OutputQueueTest::neverEarlyNeverLate_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<int>("stepUs"); // how often the queue is asked
    QTest::newRow("9600, asked often") << 9600 << 1 << 97;
    QTest::newRow("7200 slowed tenfold") << 7200 << 10 << 2011;
}

void OutputQueueTest::neverEarlyNeverLate()
{
    QFETCH(int, rate);
    QFETCH(int, divisor);
    QFETCH(int, stepUs);
    const QByteArray reply(500, 'x');
    OutputQueue queue;
    queue.append(plan({{reply, 0}}, divisor), T0);
    const double byteUs = 10e6 * divisor / rate;
    int sent = 0;
    for (Clock::time_point now = T0; !queue.isEmpty(); now += microseconds(stepUs)) {
        sent += queue.take(now, rate).size();
        const double elapsedUs = duration<double, std::micro>(now - T0).count();
        QCOMPARE(sent, std::min(int(elapsedUs / byteUs) + 1, reply.size()));
    }
}

// The gap runs from the end of the previous piece's last byte; after an idle spell the next
// reply starts at once.
void OutputQueueTest::gapFollowsThePreviousPiece()
{
    OutputQueue queue;
    queue.append(plan({{"abcd", 0}, {"ef", 300}}), T0);
    const auto bytes = [](qint64 n) { return nanoseconds((n * 10000000000 + 9599) / 9600); };
    QCOMPARE(queue.take(T0 + bytes(4), 9600), QByteArray("abcd"));
    const Clock::time_point second = T0 + bytes(4) + milliseconds(300);
    QCOMPARE(queue.take(second - microseconds(1), 9600), QByteArray());
    QCOMPARE(queue.wakeTime(9600), second);
    QCOMPARE(queue.take(second + bytes(1), 9600), QByteArray("ef"));
    const Clock::time_point later = second + seconds(5);
    queue.append(QByteArray("gh"), later);
    QCOMPARE(queue.take(later, 9600), QByteArray("g"));
}

QTEST_APPLESS_MAIN(OutputQueueTest)
#include "tst_outputqueue.moc"
