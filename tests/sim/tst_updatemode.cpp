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
    void acknowledgement_data();
    void acknowledgement();
    void requestHelperMatchesTheToolsFrames();
    void reassembly_data();
    void reassembly();
    void unheardBytes_data();
    void unheardBytes();
};

namespace {

struct Chunk
{
    int index;
    QByteArray data;
};

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) & 0xFF);
    return bytes;
}

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

Q_DECLARE_METATYPE(Chunk)

void UpdateModeTest::acknowledgement_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("start") << 1 << 0 << hex("0C0000000000001234000801 01 03E1");
    QTest::newRow("loading") << 2 << 0 << hex("0C0000000000001234000801 02 02A1");
    QTest::newRow("end") << 3 << 0 << hex("0C0000000000001234000801 03 C260");
    QTest::newRow("start refused") << 1 << 1 << hex("0C0000000000001234010801 01 FFE0");
}

void UpdateModeTest::acknowledgement()
{
    QFETCH(int, step);
    QFETCH(int, flag);
    QFETCH(QByteArray, expected);
    QCOMPARE(UpdateMode::acknowledgement(step, quint8(flag)).toHex(' '), expected.toHex(' '));
}

void UpdateModeTest::requestHelperMatchesTheToolsFrames()
{
    QCOMPARE(request(1), hex("0C000000000000123402080101 BBE0"));
    QCOMPARE(request(3), hex("0C000000000000123402080103 7A61"));
    QCOMPARE(request(2, 2, hex("AABBCC")), hex("11000000000000123402080102 0200 AABBCC 2E18"));
}

void UpdateModeTest::reassembly_data()
{
    QTest::addColumn<QVector<Chunk>>("chunks");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray a = pattern(241, 1), b = pattern(241, 2), c = pattern(18, 3);
    QTest::newRow("in order") << QVector<Chunk>{{0, a}, {1, b}, {2, c}} << a + b + c;
    QTest::newRow("empty last chunk") << QVector<Chunk>{{0, a}, {1, b}, {2, {}}} << a + b;
    QTest::newRow("out of order") << QVector<Chunk>{{2, c}, {0, a}, {1, b}} << a + b + c;
    QTest::newRow("empty chunk first, then the rest")
        << QVector<Chunk>{{2, {}}, {1, b}, {0, a}} << a + b;
    QTest::newRow("re-sent chunk") << QVector<Chunk>{{0, a}, {0, a}, {1, c}} << a + c;
    QTest::newRow("empty file") << QVector<Chunk>{{0, {}}} << QByteArray();
    QTest::newRow("missing chunk is zeros")
        << QVector<Chunk>{{0, a}, {2, c}} << a + QByteArray(241, '\0') + c;
}

// A chunk left over from an earlier update is forgotten at the start request.
void UpdateModeTest::reassembly()
{
    QFETCH(QVector<Chunk>, chunks);
    QFETCH(QByteArray, expected);
    UpdateMode update;
    update.begin();
    QCOMPARE(feed(update, request(2, 0, "stale from an earlier update"), 0), QByteArray("2"));
    QCOMPARE(feed(update, request(1), 10), QByteArray("1"));
    QByteArray frames;
    for (const Chunk &chunk : chunks)
        frames += request(2, chunk.index, chunk.data);
    QCOMPARE(feed(update, frames + request(3), 20), QByteArray(chunks.size(), '2') + '3');
    QCOMPARE(update.image(), expected);
    QCOMPARE(update.requests(1), 1);
    QCOMPARE(update.requests(2), chunks.size() + 1);
    QCOMPARE(update.requests(3), 1);
}

// Unsound frames get no answer, and bytes that make no frame within a second are dropped: the
// next sound frame is heard either way.
void UpdateModeTest::unheardBytes_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<QByteArray>("then");
    QTest::addColumn<QByteArray>("steps"); // of the sound requests heard
    QByteArray badCrc = request(1);
    badCrc[14] = char(badCrc.at(14) ^ 0x01);
    const QByteArray start = request(1);
    QTest::newRow("bad CRC") << badCrc << 10 << start << QByteArray("1");
    QTest::newRow("step 4") << withCrc("0C000000000000123402080104") << 10 << start
                            << QByteArray("1");
    QTest::newRow("other magic") << withCrc("0C000000000000545A02080101") << 10 << start
                                 << QByteArray("1");
    QTest::newRow("parameter command")
        << withCrc("0C000000000000123402000101") << 10 << start << QByteArray("1");
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
    QByteArray heard = feed(update, first, 0);
    heard += feed(update, then, pauseMs);
    QCOMPARE(heard, steps);
    QCOMPARE(update.requests(1) + update.requests(3), 1);
}

QTEST_APPLESS_MAIN(UpdateModeTest)
#include "tst_updatemode.moc"
