#include "upgradeengine.h"

#include "atlink.h"
#include "deviceconstants.h"
#include "modemline.h"
#include "replymarkers.h"
#include "upgradelog.h"

#include <QTimer>
#include <array>

using namespace UpgradeConstants;

UpgradeEngine::UpgradeEngine(QObject *parent, UpgradeMachine::Policy policy)
    : QObject(parent), m_machine(policy)
{
    m_frameTimer = new QTimer(this);
    m_frameTimer->setTimerType(Qt::PreciseTimer);
    m_atTimer = new QTimer(this);
    m_atTimer->setTimerType(Qt::PreciseTimer);

    connect(m_frameTimer, &QTimer::timeout, this, &UpgradeEngine::SendUart);
    connect(m_atTimer, &QTimer::timeout, this, &UpgradeEngine::ATCommmdTimeOut);
}

UpgradeEngine::~UpgradeEngine()
{
    if (m_port)
        disconnect(m_port, &QIODevice::readyRead, this, &UpgradeEngine::receive_Uartdata);
}

void UpgradeEngine::SetSerialPort(ModemLine *port)
{
    if (m_port)
        disconnect(m_port, &QIODevice::readyRead, this, &UpgradeEngine::receive_Uartdata);
    m_port = port;
    connect(m_port, &QIODevice::readyRead, this, &UpgradeEngine::receive_Uartdata);
}

void UpgradeEngine::start(const QByteArray &image)
{
    begin(image);
    UpdateAT();
}

void UpgradeEngine::resume(const QByteArray &image)
{
    begin(image);
    m_machine.setState(UpgradeMachine::Starting);
    SendUpdate();
}

void UpgradeEngine::begin(const QByteArray &image)
{
    m_image = image;
    m_packetLen = m_protocol.GetPacketLen(m_port ? m_port->baudRate() : 0);
    m_machine.start(int(m_image.size()));
}

void UpgradeEngine::cancel()
{
    m_machine.stop();
    m_atTimer->stop();
}

void UpgradeEngine::receive_Uartdata()
{
    if (m_machine.state() == UpgradeMachine::UpdateSent)
        receiveText();
    else
        receiveFrame();
}

// The frame timer's expiry: the request in flight is re-sent while re-sends remain.
void UpgradeEngine::SendUart()
{
    const UpgradeMachine::TimeoutAction action = m_machine.frameTimedOut();
    if (action == UpgradeMachine::TimeoutAction::Resend) {
        m_gatherer.clear();
        WriteFrame();
        return;
    }
    qCDebug(lcUpgrade) << "RECV TIMEOUT";
    m_frameTimer->stop();
    if (action == UpgradeMachine::TimeoutAction::Fail)
        fail();
}

void UpgradeEngine::SendUpdate()
{
    const UpgradeMachine::Request request = m_machine.request();
    if (request.step == 0)
        return;
    emit promptChanged(request.prompt);
    std::array<quint8, FrameBufferSize> frame{};
    const int length = buildRequest(frame.data(), request.step);
    SendFrame(frame.data(), length, request.timeout, request.resends);
    if (request.step == ApiProtocol::UPDATE_LOADING) {
        emit progressChanged(m_machine.offset());
        qCDebug(lcUpgrade) << m_machine.offset() << "/" << m_image.size();
    }
}

void UpgradeEngine::EnterAT()
{
    m_machine.setState(UpgradeMachine::EscapeSent);
    SendATString(QStringLiteral("+++"));
}

void UpgradeEngine::ExitAT()
{
    SendATString(QStringLiteral("ATA\r"));
}

void UpgradeEngine::UpdateAT()
{
    m_machine.setState(UpgradeMachine::UpdateSent);
    emit promptChanged(QT_TRANSLATE_NOOP("upgrade", "进入AT升级模式"));
    SendATString(QStringLiteral("\rAT&UP\r"));
}

void UpgradeEngine::ATCommmdTimeOut()
{
    m_atTimer->stop();
    switch (m_machine.atTimedOut()) {
    case UpgradeMachine::AtTimeoutAction::JoinAt:
        EnterAT();
        break;
    case UpgradeMachine::AtTimeoutAction::AtUpdate:
        UpdateAT();
        break;
    case UpgradeMachine::AtTimeoutAction::None:
        break;
    }
}

void UpgradeEngine::SendATString(const QString &text)
{
    qCDebug(lcUpgrade) << "sendbuf "
                       << "=" << text;
    if (m_port)
        m_port->write(text.toLatin1());
    m_atText.clear();
    m_atTimer->start(AtStringTimeout);
}

void UpgradeEngine::SendFrame(const quint8 *frame, int length, int timeout, int retries)
{
    m_request = QByteArray(reinterpret_cast<const char *>(frame), length);
    m_machine.arm(retries);
    m_frameTimer->start(timeout);
    m_gatherer.clear();
    WriteFrame();
}

// Stale bytes in either direction would be mistaken for part of the next exchange.
void UpgradeEngine::WriteFrame()
{
    if (!m_port)
        return;
    m_port->discardPending();
    m_port->write(m_request);
    AtLink::waitWritten(*m_port, DeviceConstants::WriteTimeout, m_stop);
}

void UpgradeEngine::receiveText()
{
    m_atText += m_port->readAll();
    qCDebug(lcUpgrade) << m_atText;
    const QByteArray &announcement = ReplyMarkers::UpdateAnnouncement;
    if (!m_atText.contains(announcement)) {
        // Only the bytes that may begin an announcement split across reads are kept, so a
        // modem that talks while the announcement is awaited does not grow the text.
        m_atText = m_atText.right(announcement.size() - 1);
        return;
    }
    m_atTimer->stop();
    m_atText.clear();
    m_machine.setState(UpgradeMachine::Starting);
    emit announced();
    QTimer::singleShot(StartDelay, Qt::PreciseTimer, this, [this] { SendUpdate(); });
}

void UpgradeEngine::receiveFrame()
{
    switch (m_gatherer.added(m_port->read(m_gatherer.space(), m_gatherer.room()), m_protocol)) {
    case FrameGatherer::Verdict::Accepted:
        replyAccepted();
        break;
    case FrameGatherer::Verdict::Rejected:
        replyRejected();
        break;
    case FrameGatherer::Verdict::Incomplete:
        break;
    }
}

void UpgradeEngine::replyAccepted()
{
    const int type = m_protocol.GetReplyType(m_gatherer.frame());
    const UpgradeMachine::ReplyAction action = m_machine.replyAccepted(type, m_packetLen);
    if (type == ApiProtocol::StartReply && action == UpgradeMachine::ReplyAction::SendNext)
        emit started();
    if (action != UpgradeMachine::ReplyAction::Resend)
        m_frameTimer->stop();
    if (action == UpgradeMachine::ReplyAction::OutOfStep)
        qCDebug(lcUpgrade) << UpgradeMachine::outOfStepTag(type) << m_machine.state();
    carryOut(action);
}

void UpgradeEngine::replyRejected()
{
    qCDebug(lcUpgrade) << "RECV ERROR";
    const UpgradeMachine::ReplyAction action = m_machine.replyRejected(m_packetLen);
    if (action == UpgradeMachine::ReplyAction::SendNext ||
        action == UpgradeMachine::ReplyAction::Fail)
        m_frameTimer->stop();
    carryOut(action);
}

void UpgradeEngine::carryOut(UpgradeMachine::ReplyAction action)
{
    switch (action) {
    case UpgradeMachine::ReplyAction::SendNext:
        SendUpdate();
        break;
    case UpgradeMachine::ReplyAction::Success:
        succeed();
        break;
    case UpgradeMachine::ReplyAction::Resend:
        m_frameTimer->start();
        WriteFrame();
        break;
    case UpgradeMachine::ReplyAction::Fail:
        fail();
        break;
    case UpgradeMachine::ReplyAction::OutOfStep:
    case UpgradeMachine::ReplyAction::None:
        break;
    }
}

void UpgradeEngine::fail()
{
    emit finished(false);
    m_machine.stop();
    emit promptChanged(QT_TRANSLATE_NOOP("upgrade", "升级失败"));
}

void UpgradeEngine::succeed()
{
    emit progressChanged(imageSize());
    emit promptChanged(QT_TRANSLATE_NOOP("upgrade", "升级成功"));
    emit finished(true);
    cancel();
}

int UpgradeEngine::buildRequest(quint8 *frame, int step) const
{
    switch (step) {
    case ApiProtocol::UPDATE_START:
        return m_protocol.UpdateStart(frame);
    case ApiProtocol::UPDATE_LOADING: {
        const UpgradeMachine::Chunk chunk = m_machine.chunk(m_packetLen);
        const auto *data = reinterpret_cast<const quint8 *>(m_image.constData()) + chunk.offset;
        return m_protocol.UpdateLoading(frame, chunk.index, data, chunk.length);
    }
    default:
        return m_protocol.UpdateEnd(frame);
    }
}

UpgradeMachine::Chunk UpgradeEngine::chunk() const
{
    return m_machine.chunk(m_packetLen);
}
