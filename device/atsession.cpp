#include "atsession.h"

#include "atcommands.h"
#include "atlink.h"
#include "replymarkers.h"
#include "replyparser.h"

#include <QIODevice>

AtSession::AtSession(QIODevice &port) : m_port(port) {}

bool AtSession::enter()
{
    transact(AtCommands::Escape, AtCommands::EnterWaits);
    return m_outcome != ReplyWait::Outcome::Cut && m_reply.contains(ReplyMarkers::Greeting);
}

bool AtSession::checkAtMode()
{
    transact(AtCommands::AtModeCheck, AtCommands::CheckWaits);
    const auto answer = ReplyParser::confirmedAnswer(m_reply);
    return answer && answer->name == AtCommands::CheckRegister.toLatin1() &&
           !answer->value.isEmpty();
}

bool AtSession::listing()
{
    return transact(AtCommands::Listing, AtCommands::ListingWaits);
}

bool AtSession::query(const QString &name)
{
    return transact(AtCommands::queryCommand(name), AtCommands::SingleQueryWaits);
}

bool AtSession::write(const QString &name, const QString &value)
{
    return transact(AtCommands::writeCommand(name, value), AtCommands::WriteWaits);
}

bool AtSession::save()
{
    return transact(AtCommands::Store, AtCommands::StoreWaits);
}

bool AtSession::exit()
{
    return exchange(AtCommands::DataMode, AtCommands::ExitWaits);
}

bool AtSession::reset(int presetCode)
{
    return transact(AtCommands::resetCommand(presetCode), AtCommands::ResetWaits);
}

bool AtSession::linePending()
{
    return m_port.bytesAvailable() > 0 || m_port.waitForReadyRead(0);
}

bool AtSession::transact(const QString &command, int silentPeriods)
{
    if (stopped()) {
        m_reply.clear();
        m_outcome = ReplyWait::Outcome::NoAnswer;
        return false;
    }
    return exchange(command, silentPeriods);
}

bool AtSession::exchange(const QString &command, int silentPeriods)
{
    AtLink::writeCommand(m_port, command);
    m_outcome = ReplyWait::collect(m_port, m_reply, silentPeriods, ReplyParser::Completion::OwnLine,
                                   m_firstBytes);
    return m_outcome == ReplyWait::Outcome::Complete;
}
