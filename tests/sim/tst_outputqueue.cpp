#include "outputqueue.h"
#include "uartreceiver.h"

#include <QtTest>

using namespace std::chrono;
using Clock = OutputQueue::Clock;

// The line: the pacing schedule (no byte leaves before its time on the line, pieces keep their
// gaps) and what a UART at another rate reads.
class OutputQueueTest : public QObject
{
    Q_OBJECT
private slots:
    void pacing();
    void otherRate_data();
    void otherRate();
};

// Byte n leaves at n bytes' line time (rounded up to the nanosecond); a gap runs from the end of
// the previous piece's last byte; a slowed reply takes ten times as long; after an idle spell
// the next reply starts at once.
void OutputQueueTest::pacing()
{
    const Clock::time_point t0 = Clock::time_point() + hours(1);
    const auto bytes = [](qint64 n) { return nanoseconds((n * 10000000000 + 9599) / 9600); };
    ReplyPlan plan;
    plan.pieces = {{"abcd", 0}, {"ef", 300}};
    OutputQueue queue;
    queue.append(plan, t0);
    QCOMPARE(queue.take(t0 + bytes(3) - nanoseconds(1), 9600), QByteArray("abc"));
    QCOMPARE(queue.take(t0 + bytes(3), 9600), QByteArray("d"));
    const Clock::time_point second = t0 + bytes(4) + milliseconds(300);
    QCOMPARE(queue.take(second - microseconds(1), 9600), QByteArray());
    QCOMPARE(queue.wakeTime(9600), second);
    QCOMPARE(queue.take(second + bytes(1), 9600), QByteArray("ef"));

    const Clock::time_point later = second + seconds(5);
    plan.pieces = {{"gh", 0}};
    plan.rateDivisor = 10;
    queue.append(plan, later);
    QCOMPARE(queue.take(later + bytes(10) - nanoseconds(1), 9600), QByteArray("g"));
    QCOMPARE(queue.take(later + bytes(10), 9600), QByteArray("h"));
}

void OutputQueueTest::otherRate_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("sentRate");
    QTest::addColumn<int>("readRate");
    QTest::addColumn<QByteArray>("read");
    const QByteArray all("+++\x00\xff\x55", 6);
    QTest::newRow("same rate") << all << 115200 << 115200 << all;
    // 0x2B's first data bits fool the receiver's start check; bit 7 starts a byte of idle line.
    QTest::newRow("twice as fast") << QByteArray("\x2b") << 19200 << 9600 << QByteArray("\xff");
    QTest::newRow("half as fast") << QByteArray("\x2b") << 9600 << 19200 << QByteArray("\x9e\x86");
    QTest::newRow("framing error") << QByteArray(1, '\0') << 9600 << 19200 << QByteArray();
}

void OutputQueueTest::otherRate()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, sentRate);
    QFETCH(int, readRate);
    QTEST(uartReceive(sent, sentRate, readRate), "read");
}

QTEST_APPLESS_MAIN(OutputQueueTest)
#include "tst_outputqueue.moc"
