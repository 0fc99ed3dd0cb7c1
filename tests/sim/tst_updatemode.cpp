#include "modemcore.h"
#include "simtestsupport.h"

#include <QtTest>

using SimTest::hex;
using SimTest::request;

// The frame side of a firmware update as the modem sees it.
class UpdateModeTest : public QObject
{
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void acknowledgement_data();
    void acknowledgement();
    void requestHelperMatchesTheToolsFrames();
    void reassembly_data();
    void reassembly();
    void unsoundFramesGetNoAnswer_data();
    void unsoundFramesGetNoAnswer();
    void staleBytesAreDropped_data();
    void staleBytesAreDropped();
    void wholeUpdateThroughTheModem();
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

QByteArray feed(UpdateMode &update, const QByteArray &bytes, qint64 nowMs)
{
    QByteArray steps;
    for (const char byte : bytes) {
        if (const auto step = update.take(byte, nowMs))
            steps += char('0' + *step);
    }
    return steps;
}

} // namespace

Q_DECLARE_METATYPE(Chunk)

void UpdateModeTest::crc_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    QTest::newRow("check string") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("start request") << hex("0C000000000000123402080101") << 0xBBE0;
    QTest::newRow("end request") << hex("0C000000000000123402080103") << 0x7A61;
    QTest::newRow("loading request") << hex("11000000000000123402080102020"
                                            "0AABBCC")
                                     << 0x2E18;
    QTest::newRow("empty loading request") << hex("0E00000000000012340208010200"
                                                  "00")
                                           << 0xB27B;
}

void UpdateModeTest::crc()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(int(UpdateMode::crc16(bytes)), expected);
}

void UpdateModeTest::acknowledgement_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("start") << 1 << 0
                           << hex("0C0000000000001234000801"
                                  "0103E1");
    QTest::newRow("loading") << 2 << 0
                             << hex("0C0000000000001234000801"
                                    "0202A1");
    QTest::newRow("end") << 3 << 0
                         << hex("0C0000000000001234000801"
                                "03C260");
    QTest::newRow("start refused") << 1 << 1
                                   << hex("0C0000000000001234010801"
                                          "01FFE0");
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
    QCOMPARE(request(1), hex("0C000000000000123402080101BBE0"));
    QCOMPARE(request(3), hex("0C0000000000001234020801037A61"));
    QCOMPARE(request(2, 2, hex("AABBCC")), hex("1100000000000012340208010202"
                                               "00AABBCC2E18"));
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

void UpdateModeTest::unsoundFramesGetNoAnswer_data()
{
    QTest::addColumn<QByteArray>("frame");
    QByteArray badCrc = request(1);
    badCrc[14] = char(badCrc.at(14) ^ 0x01);
    QTest::newRow("bad CRC") << badCrc;
    QByteArray noStep = hex("0C000000000000123402080104");
    UpdateMode::appendCrc(noStep);
    QTest::newRow("step 4") << noStep;
    QByteArray otherMagic = hex("0C000000000000545A02080101");
    UpdateMode::appendCrc(otherMagic);
    QTest::newRow("other magic") << otherMagic;
    QByteArray parameterRead = hex("0C000000000000123402000101");
    UpdateMode::appendCrc(parameterRead);
    QTest::newRow("parameter command") << parameterRead;
}

void UpdateModeTest::unsoundFramesGetNoAnswer()
{
    QFETCH(QByteArray, frame);
    UpdateMode update;
    update.begin();
    QCOMPARE(feed(update, frame, 0), QByteArray());
    QCOMPARE(update.requests(1), 0);
    QCOMPARE(feed(update, request(1), 10), QByteArray("1")); // the next sound frame is heard
}

void UpdateModeTest::staleBytesAreDropped_data()
{
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<QByteArray>("steps");
    QTest::newRow("frame completed in time") << 900 << QByteArray("1");
    QTest::newRow("frame cut off, next one heard") << 1100 << QByteArray("3");
}

void UpdateModeTest::staleBytesAreDropped()
{
    QFETCH(int, pauseMs);
    QFETCH(QByteArray, steps);
    UpdateMode update;
    update.begin();
    const QByteArray start = request(1);
    QCOMPARE(feed(update, start.left(5), 0), QByteArray());
    const QByteArray rest = pauseMs < 1000 ? start.mid(5) : request(3);
    QCOMPARE(feed(update, rest, pauseMs), steps);
}

void UpdateModeTest::wholeUpdateThroughTheModem()
{
    ModemCore modem;
    modem.receive("+++", 0);
    const QByteArray firmware = pattern(300, 9);
    const QVector<QByteArray> requests = {request(1), request(2, 0, firmware.left(241)),
                                          request(2, 1, firmware.mid(241)), request(3)};
    QVector<SimReply> replies = modem.receive("\rAT&UP\r" + requests.at(0), 100);
    QCOMPARE(replies.size(), 2);
    QCOMPARE(replies.at(0).bytes, QByteArray("UPDATE\r\n"));
    for (int i = 1; i < requests.size(); ++i)
        replies += modem.receive(requests.at(i), 200 + i);
    QCOMPARE(replies.size(), 5);
    for (int i = 1; i < replies.size(); ++i) {
        QCOMPARE(replies.at(i).kind, SimReply::Kind::Acknowledgement);
        QCOMPARE(replies.at(i).bytes, UpdateMode::acknowledgement(i == 1 ? 1 : i == 4 ? 3 : 2));
    }
    QCOMPARE(modem.update().image(), firmware);
    QCOMPARE(modem.mode(), ModemCore::Mode::Data);
    QCOMPARE(modem.receive("+++", 2000).at(0).kind, SimReply::Kind::Greeting);
}

QTEST_APPLESS_MAIN(UpdateModeTest)
#include "tst_updatemode.moc"
