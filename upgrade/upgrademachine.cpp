#include "upgrademachine.h"

#include "upgradeconstants.h"

#include <algorithm>

using namespace UpgradeConstants;

void UpgradeMachine::start(int imageSize)
{
    // The count of rejected replies deliberately survives: only a loading acknowledgement clears
    // it.
    m_upgrading = true;
    m_imageSize = imageSize;
    m_offset = 0;
}

void UpgradeMachine::stop()
{
    m_upgrading = false;
    m_state = Idle;
}

UpgradeMachine::Request UpgradeMachine::request() const
{
    switch (m_state) {
    case Starting:
        return {ApiProtocol::UPDATE_START, QT_TRANSLATE_NOOP("upgrade", "准备升级，请等待"),
                StartTimeout, StartResends};
    case Loading:
        return {ApiProtocol::UPDATE_LOADING, QT_TRANSLATE_NOOP("upgrade", "固件加载中..."),
                LoadingTimeout, LoadingResends};
    case Ending:
        return {ApiProtocol::UPDATE_END, QT_TRANSLATE_NOOP("upgrade", "固件更新中，请不要断电"),
                EndTimeout, EndResends};
    default:
        return {0, nullptr, 0, 0};
    }
}

UpgradeMachine::Chunk UpgradeMachine::chunk(int packetLen) const
{
    return {packetIndexOf(m_offset), m_offset, std::min(m_imageSize - m_offset, packetLen)};
}

UpgradeMachine::ReplyAction UpgradeMachine::replyAccepted(int replyType, int packetLen)
{
    const bool ofThisStep = (replyType == ApiProtocol::StartReply && m_state == Starting) ||
                            (replyType == ApiProtocol::LoadingReply && m_state == Loading) ||
                            (replyType == ApiProtocol::EndReply && m_state == Ending);
    if (m_policy == Policy::Strict && !ofThisStep)
        return refused();
    switch (replyType) {
    case ApiProtocol::StartReply:
        if (m_state != Starting)
            return ReplyAction::OutOfStep;
        m_state = Loading;
        m_offset = 0;
        return ReplyAction::SendNext;
    case ApiProtocol::LoadingReply:
        m_errorCount = 0;
        if (m_state != Loading)
            return ReplyAction::OutOfStep;
        advance(packetLen);
        return ReplyAction::SendNext;
    case ApiProtocol::EndReply:
        return m_state == Ending ? ReplyAction::Success : ReplyAction::OutOfStep;
    default:
        return ReplyAction::None;
    }
}

// While loading, a garbled reply most likely garbles a good acknowledgement, so a few in a row
// are taken as one; beyond that the frame timer decides.
UpgradeMachine::ReplyAction UpgradeMachine::replyRejected(int packetLen)
{
    if (m_policy == Policy::Strict)
        return refused();
    if (m_state != Loading || m_errorCount >= MaxRejectedAsAck)
        return ReplyAction::None;
    ++m_errorCount;
    advance(packetLen);
    return ReplyAction::SendNext;
}

// A reply that does not acknowledge the request in flight costs a re-send, as a lost one does.
UpgradeMachine::ReplyAction UpgradeMachine::refused()
{
    if (m_state < Starting)
        return ReplyAction::None;
    if (m_retriesLeft == 0)
        return ReplyAction::Fail;
    --m_retriesLeft;
    return ReplyAction::Resend;
}

UpgradeMachine::TimeoutAction UpgradeMachine::frameTimedOut()
{
    if (m_retriesLeft != 0) {
        --m_retriesLeft;
        return TimeoutAction::Resend;
    }
    return m_upgrading ? TimeoutAction::Fail : TimeoutAction::Stop;
}

UpgradeMachine::AtTimeoutAction UpgradeMachine::atTimedOut() const
{
    switch (m_state) {
    case UpdateSent:
        return AtTimeoutAction::JoinAt;
    case EscapeSent:
        return AtTimeoutAction::AtUpdate;
    default:
        return AtTimeoutAction::None;
    }
}

const char *UpgradeMachine::outOfStepTag(int replyType)
{
    switch (replyType) {
    case ApiProtocol::StartReply:
        return "UPDATE_START error  status=";
    case ApiProtocol::LoadingReply:
        return "UPDATE_LOADING error  status=";
    default:
        return "UPDATE_END error  status=";
    }
}

// The offset moves past the image before UPDATE_END: an image of whole chunks ends with an
// empty chunk.
void UpgradeMachine::advance(int packetLen)
{
    m_offset += packetLen;
    if (m_offset > m_imageSize)
        m_state = Ending;
}
