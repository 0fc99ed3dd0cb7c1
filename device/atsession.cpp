#include "atsession.h"

#include "atcommands.h"
#include "atlink.h"
#include "replymarkers.h"
#include "replyparser.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QThread>
#include <algorithm>

AtSession::AtSession(QIODevice &port) : m_port(port) {}

bool AtSession::enter()
{
    transact(AtCommands::Escape, AtCommands::EnterWaits, Length::Short);
    return m_outcome != ReplyWait::Outcome::Cut && m_reply.contains(ReplyMarkers::Greeting);
}

bool AtSession::checkAtMode()
{
    transact(AtCommands::AtModeCheck, AtCommands::CheckWaits, Length::Short);
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
    return exchange(AtCommands::DataMode, AtCommands::ExitWaits, Length::Short, false);
}

bool AtSession::reset(int presetCode)
{
    return transact(AtCommands::resetCommand(presetCode), AtCommands::ResetWaits);
}

bool AtSession::linePending()
{
    return m_port.bytesAvailable() > 0 || m_port.waitForReadyRead(0);
}

bool AtSession::pause(int ms)
{
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms; left > 0 && !stopped(); left = ms - clock.elapsed())
        QThread::msleep(ulong(std::min<qint64>(left, DeviceConstants::StopPoll)));
    return !stopped();
}

bool AtSession::transact(const QString &command, int silentPeriods, Length length)
{
    if (stopped()) {
        m_reply.clear();
        m_outcome = ReplyWait::Outcome::NoAnswer;
        return false;
    }
    return exchange(command, silentPeriods, length, true);
}

bool AtSession::exchange(const QString &command, int silentPeriods, Length length, bool stoppable)
{
    ReplyWait::Bounds bounds;
    bounds.firstBytes = m_firstBytes;
    bounds.total = length == Length::Short ? m_firstBytes : DeviceConstants::TotalLimit;
    bounds.maxSize = DeviceConstants::MaxReplySize;
    if (stoppable)
        bounds.stop = m_stop;
    AtLink::writeCommand(m_port, command, bounds.stop);
    m_outcome = ReplyWait::collect(m_port, m_reply, silentPeriods, ReplyParser::Completion::OwnLine,
                                   bounds);
    return m_outcome == ReplyWait::Outcome::Complete;
}
