#pragma once

#include "apiprotocol.h"
#include "framegatherer.h"
#include "upgradeconstants.h"
#include "upgrademachine.h"

#include <QByteArray>
#include <QObject>
#include <functional>

class ModemLine;
class QTimer;

// A firmware upgrade over a borrowed serial port or modem line, free of widgets: switches the modem
// into its update mode with AT strings, then sends the image in acknowledged frames, each guarded
// by a timer with a bounded number of re-sends. Runs on the thread it lives in, driven by that
// thread's event loop; reports by signals what the upgrade dialog and dr58ctl show.
class UpgradeEngine : public QObject
{
    Q_OBJECT

public:
    explicit UpgradeEngine(QObject *parent = nullptr,
                           UpgradeMachine::Policy policy = UpgradeMachine::Policy::Lenient);
    ~UpgradeEngine() override;

    void SetSerialPort(ModemLine *port);
    // Asked while a frame is being written: a stop ends the wait for it to leave. None by default.
    void setStop(std::function<bool()> stop) { m_stop = std::move(stop); }

    // Starts sending `image` with "\rAT&UP\r".
    void start(const QByteArray &image);
    // Starts sending `image` with UPDATE_START, to a modem left in its update mode (by an upgrade
    // cut short): no AT string goes out.
    void resume(const QByteArray &image);
    // Returns to idle. A request in flight keeps its frame timer: it may still be re-sent until
    // its re-sends run out, and a late acknowledgement is only logged.
    void cancel();

    int imageSize() const { return int(m_image.size()); }
    int state() const { return m_machine.state(); }
    UpgradeMachine::Chunk chunk() const; // the chunk at the current offset

signals:
    void promptChanged(const char *sourceText); // a source text of the context "upgrade"
    void progressChanged(int offset);           // bytes of the image sent or being sent
    void announced();                           // the modem said "UPDATE\r\n"
    void started(); // the modem acknowledged UPDATE_START: it is in its update mode
    // Emitted before the engine returns to idle, so that a report shown meanwhile still finds
    // the upgrade where it ended.
    void finished(bool success);

private slots:
    void receive_Uartdata();
    void SendUart();
    void SendUpdate();
    void EnterAT();
    void ExitAT();
    void UpdateAT();
    void ATCommmdTimeOut();

private:
    void begin(const QByteArray &image);
    void SendATString(const QString &text);
    void SendFrame(const quint8 *frame, int length, int timeout, int retries);
    void WriteFrame();

    void receiveText();
    void receiveFrame();
    void replyAccepted();
    void replyRejected();
    void carryOut(UpgradeMachine::ReplyAction action);
    void fail();
    void succeed();
    int buildRequest(quint8 *frame, int step) const;

    ApiProtocol m_protocol;
    ModemLine *m_port = nullptr;
    FrameGatherer m_gatherer;
    QByteArray m_request;
    QByteArray m_atText;
    QTimer *m_frameTimer = nullptr;
    QTimer *m_atTimer = nullptr;
    QByteArray m_image;
    int m_packetLen = 0; // fixed by the port's rate when a run starts
    UpgradeMachine m_machine;
    std::function<bool()> m_stop;
};
