#include "atsession.h"

#include "atcommands.h"
#include "atlink.h"
#include "modemline.h"
#include "replymarkers.h"
#include "replyparser.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>

AtSession::AtSession(ModemLine &port) : m_port(port) {}

namespace {

AtSession::Waits waits(int silentPeriods, bool shortAnswer = false, bool stoppable = true)
{
    AtSession::Waits waits;
    waits.silentPeriods = silentPeriods;
    waits.shortAnswer = shortAnswer;
    waits.stoppable = stoppable;
    return waits;
}

} // namespace

bool AtSession::enter()
{
    transact(AtCommands::Escape, waits(AtCommands::EnterWaits, true));
    return m_outcome != ReplyWait::Outcome::Cut && m_reply.contains(ReplyMarkers::Greeting);
}

bool AtSession::checkAtMode()
{
    transact(AtCommands::AtModeCheck, waits(AtCommands::CheckWaits, true));
    const auto answer = ReplyParser::confirmedAnswer(m_reply);
    return answer && answer->name == AtCommands::CheckRegister.toLatin1() &&
           !answer->value.isEmpty();
}

bool AtSession::listing()
{
    return transact(AtCommands::Listing, waits(AtCommands::ListingWaits));
}

bool AtSession::query(const QString &name)
{
    return transact(AtCommands::queryCommand(name), waits(AtCommands::SingleQueryWaits));
}

bool AtSession::write(const QString &name, const QString &value)
{
    return transact(AtCommands::writeCommand(name, value), waits(AtCommands::WriteWaits));
}

bool AtSession::save()
{
    return transact(AtCommands::Store, waits(AtCommands::StoreWaits));
}

bool AtSession::exit()
{
    return exchange(AtCommands::DataMode, waits(AtCommands::ExitWaits, true, false));
}

bool AtSession::reset(int presetCode)
{
    return transact(AtCommands::resetCommand(presetCode), waits(AtCommands::ResetWaits));
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

bool AtSession::transact(const QString &command, const Waits &waits)
{
    if (stopped()) {
        m_reply.clear();
        m_outcome = ReplyWait::Outcome::NoAnswer;
        return false;
    }
    return exchange(command, waits);
}

bool AtSession::exchange(const QString &command, const Waits &waits)
{
    send(command, waits.stoppable);
    return receive(waits) == ReplyWait::Outcome::Complete;
}

void AtSession::send(const QString &command, bool stoppable)
{
    AtLink::writeCommand(m_port, command, stoppable ? m_stop : std::function<bool()>());
}

ReplyWait::Outcome AtSession::receive(const Waits &waits)
{
    ReplyWait::Bounds bounds;
    bounds.firstBytes = m_firstBytes;
    bounds.total = waits.shortAnswer ? m_firstBytes : DeviceConstants::TotalLimit;
    bounds.maxSize = waits.maxSize;
    if (waits.stoppable)
        bounds.stop = m_stop;
    m_outcome = ReplyWait::collect(m_port, m_reply, waits.silentPeriods, waits.completion, bounds);
    return m_outcome;
}
