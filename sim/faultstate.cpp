#include "faultstate.h"

void FaultState::set(SimFault fault, int times)
{
    m_fault = times == 0 ? SimFault::None : fault;
    m_times = times;
}

SimFault FaultState::take(SimReply::Kind kind)
{
    const SimFault fault = m_fault;
    if (!affects(fault, kind))
        return SimFault::None;
    if (m_times > 0 && --m_times == 0)
        m_fault = SimFault::None;
    return fault;
}

bool FaultState::affects(SimFault fault, SimReply::Kind kind)
{
    using Kind = SimReply::Kind;
    switch (fault) {
    case SimFault::None:
    case SimFault::RateKept:
    case SimFault::UpgradeNewVersion:
    case SimFault::UpgradeResets:
        return false;
    case SimFault::NoGreeting:
    case SimFault::EscapeIgnored:
        return kind == Kind::Greeting;
    case SimFault::UpdateNeverAnnounce:
        return kind == Kind::Announcement;
    case SimFault::UpdateNoAnswer:
    case SimFault::UpdateBadCrc:
    case SimFault::UpdateFlagError:
    case SimFault::UpdateSplit:
    case SimFault::UpdateLate:
    case SimFault::UpdateTrailingByte:
        return kind == Kind::Acknowledgement || kind == Kind::ChunkAcknowledgement;
    case SimFault::UpdateRefuseChunk:
    case SimFault::UpdateDropChunk:
        return kind == Kind::ChunkAcknowledgement;
    case SimFault::QueryError:
        return kind == Kind::Query;
    default:
        return kind != Kind::Acknowledgement && kind != Kind::ChunkAcknowledgement;
    }
}

bool FaultState::keepsChunk(SimFault fault)
{
    return fault != SimFault::UpdateRefuseChunk && fault != SimFault::UpdateDropChunk;
}

QStringList faultNames()
{
    // In the order of SimFault.
    static const QStringList list = {
        "None",
        "Silent",
        "NoGreeting",
        "EscapeIgnored",
        "PartialThenSilent",
        "SplitReply",
        "Babble",
        "Garbage",
        "VerySlow",
        "DropBytes",
        "LateReply",
        "UpdateNoAnswer",
        "UpdateBadCrc",
        "UpdateFlagError",
        "UpdateSplit",
        "UpdateLate",
        "UpdateTrailingByte",
        "UpdateNeverAnnounce",
        "UpdateRefuseChunk",
        "UpdateDropChunk",
        "QueryError",
        "Chatter",
        "RateKept",
        "UpgradeNewVersion",
        "UpgradeResets",
    };
    return list;
}

std::optional<SimFault> faultFromName(const QString &name)
{
    for (int i = 0; i < faultNames().size(); ++i) {
        if (faultNames().at(i).compare(name, Qt::CaseInsensitive) == 0)
            return SimFault(i);
    }
    return std::nullopt;
}
