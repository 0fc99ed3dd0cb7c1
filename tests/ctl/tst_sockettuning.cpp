#include "exitcode.h"
#include "networkline.h"
#include "ser2net.h"

#include <QElapsedTimer>
#include <QtTest>
#include <poll.h>
#include <thread>

namespace {

constexpr int Exchanges = 50;
constexpr int DelayedAck = 40; // milliseconds: the least time Linux holds back an acknowledgement
constexpr int Bound = 10000;   // milliseconds for the other side to connect, ask or answer
const QByteArray Request = "request\r";
const QByteArray ReplyHead = "R";
const QByteArray ReplyTail = "eply of bytes\n";

// A server that answers each request in two writes, with the TCP small-packet delay on (as
// serial device servers have it by default): the tail leaves only once the head is
// acknowledged. Ends when the client goes, or when none comes or talks within the bound.
class PiecewiseServer
{
public:
    explicit PiecewiseServer(int listening) : m_thread([listening] { serve(listening); }) {}
    ~PiecewiseServer() { m_thread.join(); }

private:
    static void serve(int listening)
    {
        pollfd waiting{listening, POLLIN, 0};
        if (::poll(&waiting, 1, Bound) != 1)
            return;
        const int client = ::accept(listening, nullptr, nullptr);
        const timeval bound{Bound / 1000, 0};
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
        QByteArray request(Request.size(), '\0');
        while (::recv(client, request.data(), size_t(request.size()), MSG_WAITALL) ==
                   request.size() &&
               ::send(client, ReplyHead.constData(), size_t(ReplyHead.size()), 0) > 0 &&
               ::send(client, ReplyTail.constData(), size_t(ReplyTail.size()), 0) > 0) {
        }
        ::close(client);
    }

    std::thread m_thread;
};

} // namespace

class SocketTuningTest : public QObject
{
    Q_OBJECT

private slots:
    // A reply sent in pieces arrives whole without waiting, piece by piece, for an
    // acknowledgement held back by the client: each exchange takes far less than the delay.
    void replyInPiecesIsNotHeldBack()
    {
        LoopbackPort port;
        QVERIFY(::listen(port.socket(), 1) == 0);
        PiecewiseServer server(port.socket());
        NetworkLine line;
        const PortOpener::Failure opened =
            line.open(QStringLiteral("tcp://127.0.0.1:%1").arg(port.port()), 0);
        QCOMPARE(opened.code, int(ExitCode::Ok));
        QElapsedTimer clock;
        clock.start();
        for (int exchange = 0; exchange < Exchanges; ++exchange) {
            QCOMPARE(line.write(Request), qint64(Request.size()));
            QByteArray reply;
            while (reply.size() < ReplyHead.size() + ReplyTail.size() &&
                   (line.bytesAvailable() > 0 || line.waitForReadyRead(Bound)))
                reply += line.readAll();
            QCOMPARE(reply, ReplyHead + ReplyTail);
        }
        QVERIFY2(
            clock.elapsed() < Exchanges * DelayedAck / 4,
            qPrintable(
                QStringLiteral("%1 exchanges took %2 ms").arg(Exchanges).arg(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(SocketTuningTest)
#include "tst_sockettuning.moc"
