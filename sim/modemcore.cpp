#include "modemcore.h"

ModemCore::ModemCore() : m_dialogue(m_registers) {}

ModemCore::Mode ModemCore::mode() const
{
    if (m_updating)
        return Mode::Update;
    return m_dialogue.inCommandMode() ? Mode::Command : Mode::Data;
}

void ModemCore::powerCycle()
{
    m_registers.reload();
    m_dialogue.enterDataMode();
    m_updating = false;
}

QVector<SimReply> ModemCore::receive(const QByteArray &bytes, qint64 nowMs)
{
    QVector<SimReply> replies;
    for (const char byte : bytes) {
        auto reply = m_updating ? takeFrameByte(byte, nowMs) : takeText(byte, nowMs);
        if (reply)
            replies << *reply;
    }
    return replies;
}

std::optional<SimReply> ModemCore::takeText(char byte, qint64 nowMs)
{
    auto reply = m_dialogue.take(byte, nowMs);
    if (!reply)
        return std::nullopt;
    reply->fault = m_fault.take(reply->kind);
    if (reply->fault == SimFault::EscapeIgnored) {
        m_dialogue.ignoreEscape();
        return std::nullopt;
    }
    if (reply->kind != SimReply::Kind::Announcement)
        return reply;
    if (reply->fault == SimFault::UpdateNeverAnnounce)
        return std::nullopt;
    m_updating = true;
    m_update.begin();
    return reply;
}

std::optional<SimReply> ModemCore::takeFrameByte(char byte, qint64 nowMs)
{
    // The fault in force when a chunk completes is the one its acknowledgement takes.
    const auto step = m_update.take(byte, nowMs, FaultState::keepsChunk(m_fault.fault()));
    if (!step)
        return std::nullopt;
    const SimReply::Kind kind = *step == UpdateMode::Loading ? SimReply::Kind::ChunkAcknowledgement
                                                             : SimReply::Kind::Acknowledgement;
    const SimFault fault = m_fault.take(kind);
    if (fault == SimFault::UpdateNoAnswer || fault == SimFault::UpdateDropChunk)
        return std::nullopt;
    if (*step == UpdateMode::End) {
        m_updating = false;
        m_dialogue.enterDataMode();
        if (m_fault.fault() == SimFault::UpgradeResets)
            m_registers.resetKeepingRate();
        if (m_fault.fault() == SimFault::UpgradeResets ||
            m_fault.fault() == SimFault::UpgradeNewVersion)
            m_registers.takeNewVersion();
    }
    return SimReply{kind, UpdateMode::acknowledgement(*step), fault};
}
