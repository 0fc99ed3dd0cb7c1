#include "apiprotocol.h"
#include "firmwareimage.h"
#include "upgradeconstants.h"

#include <QtTest>
#include <sys/stat.h>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const quint8 *bytes(const QByteArray &array)
{
    return reinterpret_cast<const quint8 *>(array.constData());
}

// A frame of `body` after the length byte and six zero bytes, with the CRC appended high byte
// first, as the modem sends it; the CRC itself is proven against its check values.
QByteArray frameOf(const QByteArray &body)
{
    QByteArray frame = char(body.size() + 6) + QByteArray(6, '\0') + body;
    const quint16 crc = modbusCrc(bytes(frame), frame.size());
    frame.append(char(crc >> 8));
    frame.append(char(crc & 0xFF));
    return frame;
}
} // namespace

class ApiProtocolTest : public QObject
{
    Q_OBJECT

private slots:
    void crc_data();
    void crc();
    void requests_data();
    void requests();
    void replies_data();
    void replies();
    void firmwareImage_data();
    void firmwareImage();
};

void ApiProtocolTest::crc_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("expected");
    QTest::newRow("check input") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("nothing") << QByteArray() << 0xFFFF;
}

void ApiProtocolTest::crc()
{
    QFETCH(QByteArray, input);
    QFETCH(int, expected);
    QCOMPARE(int(modbusCrc(bytes(input), input.size())), expected);
}

void ApiProtocolTest::requests_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("start") << 1 << 0 << QByteArray()
                           << hex("0C 00 00 00 00 00 00 12 34 02 08 01 01 BB E0");
    QTest::newRow("end") << 3 << 0 << QByteArray()
                         << hex("0C 00 00 00 00 00 00 12 34 02 08 01 03 7A 61");
    QTest::newRow("loading 2 with three bytes")
        << 2 << 2 << hex("AA BB CC")
        << hex("11 00 00 00 00 00 00 12 34 02 08 01 02 02 00 AA BB CC 2E 18");
    QTest::newRow("loading index low byte first")
        << 2 << 0x1234 << hex("01") << frameOf(hex("12 34 02 08 01 02 34 12 01"));
}

void ApiProtocolTest::requests()
{
    QFETCH(int, step);
    QFETCH(int, index);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, expected);
    ApiProtocol protocol;
    QByteArray buffer(300, char(0xEE)); // stale bytes must not leak into the frame
    auto *frame = reinterpret_cast<quint8 *>(buffer.data());
    int length = 0;
    if (step == ApiProtocol::UPDATE_START)
        length = protocol.UpdateStart(frame);
    else if (step == ApiProtocol::UPDATE_END)
        length = protocol.UpdateEnd(frame);
    else
        length = protocol.UpdateLoading(frame, quint16(index), bytes(data), data.size());
    QCOMPARE(buffer.left(length).toHex(' '), expected.toHex(' '));
    QCOMPARE(protocol.GetFrameLen(frame), length);
}

void ApiProtocolTest::replies_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("type");

    const QByteArray startReply = hex("0C 00 00 00 00 00 00 12 34 00 08 01 01 03 E1");
    QByteArray badCrc = startReply;
    badCrc[14] = char(0xE2);
    const QByteArray record(16, char(0x41));

    QTest::newRow("start acknowledged") << startReply << true << 2;
    QTest::newRow("loading acknowledged") << frameOf(hex("12 34 00 08 01 02 05 00")) << true << 3;
    QTest::newRow("end acknowledged") << frameOf(hex("12 34 00 08 01 03")) << true << 4;
    QTest::newRow("trailing byte") << startReply + hex("00") << false << 0;
    QTest::newRow("bad crc") << badCrc << false << 0;
    QTest::newRow("not yet complete") << startReply.left(14) << false << 0;
    QTest::newRow("update refused") << frameOf(hex("12 34 01 08 01 01")) << false << 0;
    QTest::newRow("wrong magic") << frameOf(hex("12 35 00 08 01 01")) << false << 0;
    QTest::newRow("update step 4") << frameOf(hex("12 34 00 08 01 04")) << false << 0;
    QTest::newRow("update sub-command 2") << frameOf(hex("12 34 00 08 02 01")) << false << 0;
    QTest::newRow("write acknowledged") << frameOf(hex("12 34 00 04 01 01")) << true << 1;
    QTest::newRow("session sub 1 any flag") << frameOf(hex("12 34 07 10 01")) << true << 0;
    QTest::newRow("session sub 2") << frameOf(hex("12 34 00 10 02")) << true << 1;
    QTest::newRow("session sub 2 refused") << frameOf(hex("12 34 01 10 02")) << false << 0;
    QTest::newRow("parameters 1 and 16")
        << hex("0F 00 00 00 00 00 00 12 34 00 00 01 05 10 01 02 DB 91") << true << 0;
    QTest::newRow("value 4 is not a parameter number")
        << frameOf(hex("12 34 00 00 01 04")) << true << 0;
    QTest::newRow("unknown after known") << frameOf(hex("12 34 00 00 01 05 04 09")) << false << 0;
    QTest::newRow("parameter 97 of 100 bytes")
        << frameOf(hex("12 34 00 00 61") + QByteArray(100, '\0')) << true << 0;
    QTest::newRow("no parameter records") << frameOf(hex("12 34 00 00")) << true << 0;
    QTest::newRow("other command") << frameOf(hex("12 34 00 20 01 01")) << false << 0;
    QTest::newRow("second family reset") << frameOf(hex("54 5A 00 F0 01")) << true << 1;
    QTest::newRow("second family records 2 and 3")
        << frameOf(hex("54 5A 00 00 02") + record + hex("03") + record) << true << 0;
    QTest::newRow("second family record type 1")
        << frameOf(hex("54 5A 00 00 02") + record + hex("01") + record) << false << 0;
}

void ApiProtocolTest::replies()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, accepted);
    QFETCH(int, type);
    ApiProtocol protocol;
    QCOMPARE(protocol.CheckFrame(bytes(frame), frame.size()), accepted);
    if (accepted)
        QCOMPARE(protocol.GetReplyType(bytes(frame)), type);
}

void ApiProtocolTest::firmwareImage_data()
{
    QTest::addColumn<QString>("kind"); // file (of `size` bytes), missing, fifo
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("problem"); // empty: the image is taken
    constexpr qint64 Largest = UpgradeConstants::MaxImageSize;
    QTest::newRow("largest") << "file" << Largest << "";
    QTest::newRow("one byte more")
        << "file" << Largest + 1
        << "15794176 bytes, larger than the largest image (15794175 bytes)";
    QTest::newRow("empty") << "file" << qint64(0) << "empty";
    QTest::newRow("missing") << "missing" << qint64(0) << "No such file or directory";
    QTest::newRow("fifo") << "fifo" << qint64(0) << "not a regular file";
}

// What dr58ctl takes as an image: whole, and only what every chunk index can address.
void ApiProtocolTest::firmwareImage()
{
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    QString path = dir.filePath("fw.stz");
    if (kind == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
    } else if (kind == "fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    QString got;
    const std::optional<QByteArray> image = FirmwareImage::load(path, &got);
    QCOMPARE(got, problem);
    QCOMPARE(image ? image->size() : -1, problem.isEmpty() ? size : -1);
}

QTEST_GUILESS_MAIN(ApiProtocolTest)
#include "tst_apiprotocol.moc"
