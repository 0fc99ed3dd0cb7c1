#include "upgrademachine.h"

#include <QtTest>

using Action = UpgradeMachine::ReplyAction;

Q_DECLARE_METATYPE(UpgradeMachine::ReplyAction)

namespace {

constexpr int Chunk = 241; // bytes

// A machine that has reached `state`; while loading, `acks` chunks have been acknowledged.
UpgradeMachine reached(int state, int imageSize, int acks = 0,
                       UpgradeMachine::Policy policy = UpgradeMachine::Policy::Lenient)
{
    UpgradeMachine machine(policy);
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
    void replies_data();
    void replies();
    void replyRejected_data();
    void replyRejected();
};

void UpgradeMachineTest::replies_data()
{
    QTest::addColumn<bool>("strict");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("acks");
    QTest::addColumn<int>("replyType"); // -1: a rejected reply
    QTest::addColumn<int>("retries");   // re-sends left
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("stateAfter");
    QTest::addColumn<int>("offsetAfter");
    QTest::newRow("start acked") << false << 3 << 0 << 2 << 1 << Action::SendNext << 4 << 0;
    QTest::newRow("start ack while loading")
        << false << 4 << 1 << 2 << 2 << Action::OutOfStep << 4 << 241;
    QTest::newRow("last chunk acked") << false << 4 << 2 << 3 << 2 << Action::SendNext << 5 << 723;
    QTest::newRow("loading ack while ending")
        << false << 5 << 0 << 3 << 2 << Action::OutOfStep << 5 << 0;
    QTest::newRow("parameter reply") << false << 3 << 0 << 1 << 1 << Action::None << 3 << 0;
    // dr58ctl's policy: only the acknowledgement of the request's own step moves on; anything
    // else spends one of its re-sends, and with none left the upgrade fails.
    QTest::newRow("strict: end acked") << true << 5 << 0 << 4 << 0 << Action::Success << 5 << 0;
    QTest::newRow("strict: refused chunk re-sent")
        << true << 4 << 0 << -1 << 2 << Action::Resend << 4 << 0;
    QTest::newRow("strict: refused chunk, re-sends spent")
        << true << 4 << 0 << -1 << 0 << Action::Fail << 4 << 0;
    QTest::newRow("strict: start ack while loading")
        << true << 4 << 0 << 2 << 1 << Action::Resend << 4 << 0;
    QTest::newRow("strict: chunk ack while ending")
        << true << 5 << 0 << 3 << 0 << Action::Fail << 5 << 0;
    QTest::newRow("strict: parameter reply while starting")
        << true << 3 << 0 << 1 << 1 << Action::Resend << 3 << 0;
    QTest::newRow("strict: reply in the AT phase")
        << true << 1 << 0 << -1 << 0 << Action::None << 1 << 0;
}

void UpgradeMachineTest::replies()
{
    QFETCH(bool, strict);
    QFETCH(int, state);
    QFETCH(int, acks);
    QFETCH(int, replyType);
    QFETCH(int, retries);
    QFETCH(Action, action);
    QFETCH(int, stateAfter);
    QFETCH(int, offsetAfter);
    using Policy = UpgradeMachine::Policy;
    UpgradeMachine machine = reached(state, 500, acks, strict ? Policy::Strict : Policy::Lenient);
    machine.arm(retries);
    QCOMPARE(replyType < 0 ? machine.replyRejected(Chunk) : machine.replyAccepted(replyType, Chunk),
             action);
    QCOMPARE(machine.state(), stateAfter);
    QCOMPARE(machine.offset(), offsetAfter);
    QCOMPARE(machine.retriesLeft(), retries - (action == Action::Resend));
}

void UpgradeMachineTest::replyRejected_data()
{
    QTest::addColumn<int>("state");
    // Replies before the one checked: r rejected, a chunk acknowledged, o chunk acknowledged out
    // of step, n a new upgrade started and its start acknowledged.
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("takenAsAck");
    QTest::addColumn<int>("offsetAfter");
    QTest::newRow("third in a row") << 4 << "rr" << true << 723;
    QTest::newRow("fourth in a row") << 4 << "rrr" << false << 723;
    QTest::newRow("after a good acknowledgement") << 4 << "rrra" << true << 1205;
    QTest::newRow("after an unexpected acknowledgement") << 4 << "rrro" << true << 964;
    QTest::newRow("count survives a new upgrade") << 4 << "rrrn" << false << 0;
    for (const int state : {0, 1, 2, 3, 5})
        QTest::addRow("state %d", state) << state << "" << false << 0;
}

// A garbled reply while loading is taken for the acknowledgement it garbled, three times in a
// row at most; any loading acknowledgement, even out of step, gives the allowance back.
void UpgradeMachineTest::replyRejected()
{
    QFETCH(int, state);
    QFETCH(QString, before);
    QFETCH(bool, takenAsAck);
    QFETCH(int, offsetAfter);
    UpgradeMachine machine = reached(state, 5000);
    for (const QChar event : before) {
        if (event == 'r') {
            machine.replyRejected(Chunk);
        } else if (event == 'a') {
            machine.replyAccepted(3, Chunk);
        } else if (event == 'o') {
            machine.setState(UpgradeMachine::Ending);
            machine.replyAccepted(3, Chunk);
            machine.setState(UpgradeMachine::Loading);
        } else {
            machine.stop();
            machine.start(5000);
            machine.setState(UpgradeMachine::Starting);
            machine.replyAccepted(2, Chunk);
        }
    }
    QCOMPARE(machine.replyRejected(Chunk) == Action::SendNext, takenAsAck);
    QCOMPARE(machine.state(), state);
    QCOMPARE(machine.offset(), offsetAfter);
}

QTEST_APPLESS_MAIN(UpgradeMachineTest)
#include "tst_upgrademachine.moc"
