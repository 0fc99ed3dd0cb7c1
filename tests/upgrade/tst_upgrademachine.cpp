#include "upgrademachine.h"

#include <QtTest>

using Action = UpgradeMachine::ReplyAction;
using Timeout = UpgradeMachine::TimeoutAction;
using AtAction = UpgradeMachine::AtTimeoutAction;

Q_DECLARE_METATYPE(UpgradeMachine::ReplyAction)
Q_DECLARE_METATYPE(UpgradeMachine::TimeoutAction)
Q_DECLARE_METATYPE(UpgradeMachine::AtTimeoutAction)

namespace {

constexpr int Chunk = 241; // bytes

// A machine that has reached `state`; while loading, `acks` chunks have been acknowledged.
UpgradeMachine reached(int state, int imageSize, int acks = 0)
{
    UpgradeMachine machine;
    machine.start(imageSize);
    machine.setState(UpgradeMachine::Starting);
    if (state >= UpgradeMachine::Loading)
        machine.replyAccepted(2, Chunk);
    for (int i = 0; i < acks; ++i)
        machine.replyAccepted(3, Chunk);
    if (state != UpgradeMachine::Loading)
        machine.setState(UpgradeMachine::State(state));
    return machine;
}

} // namespace

class UpgradeMachineTest : public QObject
{
    Q_OBJECT

private slots:
    void replyAccepted_data();
    void replyAccepted();
    void rejectedRepliesCountAsAcksThreeTimes();
    void rejectedReplyOutsideLoading_data();
    void rejectedReplyOutsideLoading();
    void errorCountSurvivesNewUpgrade();
    void frameTimeout_data();
    void frameTimeout();
    void atTimeout_data();
    void atTimeout();
    void request_data();
    void request();
    void requestsOfWholeUpgrade_data();
    void requestsOfWholeUpgrade();
};

void UpgradeMachineTest::replyAccepted_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("imageSize");
    QTest::addColumn<int>("acks");
    QTest::addColumn<int>("replyType");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("stateAfter");
    QTest::addColumn<int>("offsetAfter");

    QTest::newRow("start acked") << 3 << 500 << 0 << 2 << Action::SendNext << 4 << 0;
    QTest::newRow("start ack while loading") << 4 << 500 << 1 << 2 << Action::OutOfStep << 4 << 241;
    QTest::newRow("first chunk acked") << 4 << 500 << 0 << 3 << Action::SendNext << 4 << 241;
    QTest::newRow("last chunk acked") << 4 << 500 << 2 << 3 << Action::SendNext << 5 << 723;
    QTest::newRow("whole chunks need an empty one")
        << 4 << 482 << 1 << 3 << Action::SendNext << 4 << 482;
    QTest::newRow("empty chunk acked") << 4 << 482 << 2 << 3 << Action::SendNext << 5 << 723;
    QTest::newRow("empty image") << 4 << 0 << 0 << 3 << Action::SendNext << 5 << 241;
    QTest::newRow("loading ack while ending") << 5 << 500 << 0 << 3 << Action::OutOfStep << 5 << 0;
    QTest::newRow("loading ack when idle") << 0 << 500 << 0 << 3 << Action::OutOfStep << 0 << 0;
    QTest::newRow("end acked") << 5 << 500 << 0 << 4 << Action::Success << 5 << 0;
    QTest::newRow("end ack while loading") << 4 << 500 << 0 << 4 << Action::OutOfStep << 4 << 0;
    QTest::newRow("no update reply") << 4 << 500 << 0 << 0 << Action::None << 4 << 0;
    QTest::newRow("parameter reply") << 3 << 500 << 0 << 1 << Action::None << 3 << 0;
}

void UpgradeMachineTest::replyAccepted()
{
    QFETCH(int, state);
    QFETCH(int, imageSize);
    QFETCH(int, acks);
    QFETCH(int, replyType);
    QFETCH(Action, action);
    QFETCH(int, stateAfter);
    QFETCH(int, offsetAfter);
    UpgradeMachine machine = reached(state, imageSize, acks);
    QCOMPARE(machine.replyAccepted(replyType, Chunk), action);
    QCOMPARE(machine.state(), stateAfter);
    QCOMPARE(machine.offset(), offsetAfter);
}

void UpgradeMachineTest::rejectedRepliesCountAsAcksThreeTimes()
{
    UpgradeMachine machine = reached(UpgradeMachine::Loading, 2000);
    for (int i = 1; i <= 3; ++i) {
        QVERIFY(machine.replyRejected(Chunk));
        QCOMPARE(machine.offset(), i * Chunk);
    }
    QVERIFY(!machine.replyRejected(Chunk));
    QCOMPARE(machine.offset(), 3 * Chunk);

    // A good acknowledgement gives the allowance back; an unexpected one too.
    machine.replyAccepted(3, Chunk);
    QCOMPARE(machine.errorCount(), 0);
    QVERIFY(machine.replyRejected(Chunk));
    machine.setState(UpgradeMachine::Ending);
    machine.replyAccepted(3, Chunk);
    QCOMPARE(machine.errorCount(), 0);
}

void UpgradeMachineTest::rejectedReplyOutsideLoading_data()
{
    QTest::addColumn<int>("state");
    for (const int state : {0, 1, 2, 3, 5})
        QTest::newRow(qPrintable(QString::number(state))) << state;
}

void UpgradeMachineTest::rejectedReplyOutsideLoading()
{
    QFETCH(int, state);
    UpgradeMachine machine = reached(state, 500);
    QVERIFY(!machine.replyRejected(Chunk));
    QCOMPARE(machine.state(), state);
    QCOMPARE(machine.errorCount(), 0);
}

void UpgradeMachineTest::errorCountSurvivesNewUpgrade()
{
    UpgradeMachine machine = reached(UpgradeMachine::Loading, 5000);
    for (int i = 0; i < 3; ++i)
        machine.replyRejected(Chunk);
    machine.stop();
    machine.start(5000);
    machine.setState(UpgradeMachine::Starting);
    machine.replyAccepted(2, Chunk);
    QVERIFY(!machine.replyRejected(Chunk));
    QCOMPARE(machine.offset(), 0);
}

void UpgradeMachineTest::frameTimeout_data()
{
    QTest::addColumn<int>("resends");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QList<Timeout>>("expected");
    QTest::newRow("start") << 1 << false << QList<Timeout>{Timeout::Resend, Timeout::Fail};
    QTest::newRow("loading") << 2 << false
                             << QList<Timeout>{Timeout::Resend, Timeout::Resend, Timeout::Fail};
    QTest::newRow("cancelled loading")
        << 2 << true << QList<Timeout>{Timeout::Resend, Timeout::Resend, Timeout::Stop};
}

void UpgradeMachineTest::frameTimeout()
{
    QFETCH(int, resends);
    QFETCH(bool, cancelled);
    QFETCH(QList<Timeout>, expected);
    UpgradeMachine machine = reached(UpgradeMachine::Loading, 500);
    machine.arm(resends);
    if (cancelled)
        machine.stop();
    QList<Timeout> actions;
    for (int i = 0; i < expected.size(); ++i)
        actions << machine.frameTimedOut();
    QCOMPARE(actions, expected);
}

void UpgradeMachineTest::atTimeout_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<AtAction>("expected");
    QTest::newRow("update command unanswered") << 2 << AtAction::JoinAt;
    QTest::newRow("escape sent") << 1 << AtAction::AtUpdate;
    QTest::newRow("idle") << 0 << AtAction::None;
    QTest::newRow("starting") << 3 << AtAction::None;
    QTest::newRow("loading") << 4 << AtAction::None;
}

void UpgradeMachineTest::atTimeout()
{
    QFETCH(int, state);
    QFETCH(AtAction, expected);
    UpgradeMachine machine;
    machine.setState(UpgradeMachine::State(state));
    QCOMPARE(machine.atTimedOut(), expected);
}

void UpgradeMachineTest::request_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("resends");
    QTest::newRow("starting") << 3 << 1 << QString("准备升级，请等待") << 10000 << 1;
    QTest::newRow("loading") << 4 << 2 << QString("固件加载中...") << 1000 << 2;
    QTest::newRow("ending") << 5 << 3 << QString("固件更新中，请不要断电") << 30000 << 2;
    QTest::newRow("idle") << 0 << 0 << QString() << 0 << 0;
    QTest::newRow("update command sent") << 2 << 0 << QString() << 0 << 0;
}

void UpgradeMachineTest::request()
{
    QFETCH(int, state);
    QFETCH(int, step);
    QFETCH(QString, prompt);
    QFETCH(int, timeout);
    QFETCH(int, resends);
    UpgradeMachine machine;
    machine.setState(UpgradeMachine::State(state));
    const UpgradeMachine::Request request = machine.request();
    QCOMPARE(request.step, step);
    QCOMPARE(QString::fromUtf8(request.prompt), prompt);
    QCOMPARE(request.timeout, timeout);
    QCOMPARE(request.resends, resends);
}

void UpgradeMachineTest::requestsOfWholeUpgrade_data()
{
    QTest::addColumn<int>("imageSize");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << 0 << QStringList{"start", "0:0+0", "end"};
    QTest::newRow("two whole chunks")
        << 482 << QStringList{"start", "0:0+241", "1:241+241", "2:482+0", "end"};
    QTest::newRow("500 bytes") << 500
                               << QStringList{"start", "0:0+241", "1:241+241", "2:482+18", "end"};
    QTest::newRow("one byte") << 1 << QStringList{"start", "0:0+1", "end"};
}

// Acknowledges every request and writes down what the modem would receive.
void UpgradeMachineTest::requestsOfWholeUpgrade()
{
    QFETCH(int, imageSize);
    QFETCH(QStringList, expected);
    UpgradeMachine machine;
    machine.start(imageSize);
    machine.setState(UpgradeMachine::Starting);
    QStringList sent;
    for (int guard = 0; guard < 10; ++guard) {
        const int step = machine.request().step;
        if (step == 1) {
            sent << "start";
        } else if (step == 2) {
            const UpgradeMachine::Chunk chunk = machine.chunk(Chunk);
            sent << QString("%1:%2+%3").arg(chunk.index).arg(chunk.offset).arg(chunk.length);
        } else {
            sent << "end";
        }
        if (machine.replyAccepted(step + 1, Chunk) != Action::SendNext)
            break;
    }
    QCOMPARE(sent, expected);
}

QTEST_APPLESS_MAIN(UpgradeMachineTest)
#include "tst_upgrademachine.moc"
