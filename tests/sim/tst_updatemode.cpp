#include "simtestsupport.h"
#include "updatemode.h"

#include <QtTest>

using SimTest::hex;
using SimTest::request;

// The frame side of a firmware update as the modem sees it.
class UpdateModeTest : public QObject
{
    Q_OBJECT
private slots:
    void reassembly_data();
    void reassembly();
    void unheardBytes_data();
    void unheardBytes();
};

namespace {

using Chunks = QVector<QPair<int, QByteArray>>; // (index, data)

// The steps of the sound requests completed by the bytes, as digits.
QByteArray feed(UpdateMode &update, const QByteArray &bytes, qint64 nowMs)
{
    QByteArray steps;
    for (const char byte : bytes) {
        if (const auto step = update.take(byte, nowMs))
            steps += char('0' + *step);
    }
    return steps;
}

QByteArray withCrc(const char *hexText)
{
    QByteArray frame = hex(hexText);
    UpdateMode::appendCrc(frame);
    return frame;
}

} // namespace

void UpdateModeTest::reassembly_data()
{
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray a(241, 'a'), b(241, 'b'), c(18, 'c');
    QTest::newRow("out of order") << Chunks{{2, c}, {0, a}, {1, b}} << a + b + c;
    QTest::newRow("empty chunk first, then the rest") << Chunks{{2, {}}, {1, b}, {0, a}} << a + b;
    QTest::newRow("missing chunk is zeros")
        << Chunks{{0, a}, {2, c}} << a + QByteArray(241, '\0') + c;
}

// A chunk left over from an earlier update is forgotten at the start request.
void UpdateModeTest::reassembly()
{
    QFETCH(Chunks, chunks);
    QFETCH(QByteArray, expected);
    UpdateMode update;
    update.begin();
    QCOMPARE(feed(update, request(2, 0, "stale from an earlier update"), 0), QByteArray("2"));
    QCOMPARE(feed(update, request(1), 10), QByteArray("1"));
    QByteArray frames;
    for (const auto &chunk : chunks)
        frames += request(2, chunk.first, chunk.second);
    QCOMPARE(feed(update, frames + request(3), 20), QByteArray(chunks.size(), '2') + '3');
    QCOMPARE(update.image(), expected);
    QCOMPARE(update.requests(2), chunks.size() + 1);
}

// Unsound frames get no answer, and bytes that make no frame within a second are dropped: the
// next sound frame is heard either way.
void UpdateModeTest::unheardBytes_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<QByteArray>("then");
    QTest::addColumn<QByteArray>("steps"); // of the sound requests heard
    const QByteArray start = request(1);
    QByteArray badCrc = start;
    badCrc[14] = char(badCrc.at(14) ^ 0x01);
    QTest::newRow("bad CRC") << badCrc << 10 << start << QByteArray("1");
    QTest::newRow("step 4") << withCrc("0C000000000000123402080104") << 10 << start
                            << QByteArray("1");
    QTest::newRow("other magic") << withCrc("0C000000000000545A02080101") << 10 << start
                                 << QByteArray("1");
    QTest::newRow("frame completed in time")
        << start.left(5) << 900 << start.mid(5) << QByteArray("1");
    QTest::newRow("frame cut off") << start.left(5) << 1100 << request(3) << QByteArray("3");
}

void UpdateModeTest::unheardBytes()
{
    QFETCH(QByteArray, first);
    QFETCH(int, pauseMs);
    QFETCH(QByteArray, then);
    QFETCH(QByteArray, steps);
    UpdateMode update;
    update.begin();
    const QByteArray heard = feed(update, first, 0);
    QCOMPARE(heard + feed(update, then, pauseMs), steps);
}

QTEST_APPLESS_MAIN(UpdateModeTest)
#include "tst_updatemode.moc"
